#pragma once

#include "engine/ItemPath.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

// The outcome for one regular file a job examined.
struct ShredItem
{
    ItemPath path;                    // the full path before any renaming (bytes, as on disk)
    std::int64_t fileSize = 0;        // the size when the file was examined
    bool success = false;             // the file was opened and every pass written
    std::optional<std::string> error; // the localized reason when success is false
};

} // namespace cv
