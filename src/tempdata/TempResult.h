#pragma once

#include "targets/PathCollection.h"
#include "tempdata/SystemState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv {

// The outcome of one category of the temporary-data search: which category, and its folders
// scanned into a collection that the temporary-data screen shows and merges into a job.
struct TempResult
{
    std::int32_t type = 0; // the category: its row in TempCategories
    std::shared_ptr<PathCollection> pathColection;
    std::vector<SystemState::Kept> kept; // state under the category's folders, left out of it
    std::vector<std::string> refused;    // folders of the category left alone, and why
};

} // namespace cv
