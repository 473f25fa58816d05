#pragma once

#include "targets/PathCollection.h"

#include <cstdint>
#include <memory>

namespace cv {

// The outcome of one category of the temporary-data search: which category, and its folders
// scanned into a collection that the temporary-data screen shows and merges into a job.
struct TempResult
{
    std::int32_t type = 0; // 0 logs, 1 system caches, 2 user caches
    std::shared_ptr<PathCollection> pathColection;
};

} // namespace cv
