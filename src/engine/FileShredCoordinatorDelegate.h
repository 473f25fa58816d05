#pragma once

#include "engine/ItemPath.h"
#include "engine/ShredItem.h"

#include <cstdint>
#include <string>

namespace cv {

// Told what per-file shredding does, step by step; the shred job implements it.
class FileShredCoordinatorDelegate
{
public:
    virtual ~FileShredCoordinatorDelegate() = default;
    virtual void fileshredWrittenBytes(std::int64_t bytes) = 0;
    virtual void fileshredCurrentPath(const ItemPath& path) = 0;
    virtual void fileshredAddShredItem(ShredItem item) = 0;
    // A file that could not be overwritten: the rest of its byte amount, booked as done.
    virtual void fileshredReportErrorForMissingBytes(std::int64_t bytes) = 0;
    // The file being overwritten grew by bytes (one pass's worth) during its passes: the job has
    // that much more to do.
    virtual void fileshredFileGrew(std::int64_t bytes) { static_cast<void>(bytes); }
    virtual void fileshredRenamingPath(const std::string& text) = 0;
    virtual void fileshredFlushPath(const std::string& text) = 0;
    // The job waits while the user is asked to authorize a call of the privileged helper (true),
    // and goes on (false).
    virtual void fileshredWaitingForAuthorization(bool waiting) { static_cast<void>(waiting); }
};

} // namespace cv
