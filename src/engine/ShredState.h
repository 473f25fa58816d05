#pragma once

#include <cstdint>
#include <string>

namespace cv {

// One progress snapshot of a job; made afresh for every progress event and never changed after.
// Byte amounts count every pass.
struct ShredState
{
    std::string curAction;             // the job's action title, or "Canceling..."
    std::string path;                  // what is being worked on, or a status text
    std::uint64_t fileCount = 0;       // files the job will process
    std::uint64_t fileProgress = 0;    // files begun so far
    std::int64_t bytesCount = 0;       // bytes to write over all passes, free space included
    std::int64_t bytesProgress = 0;    // bytes counted as done, failed files included
    double timeSinceStart = 0;         // seconds
    std::uint64_t errorCount = 0;      // files that could not be overwritten so far
    std::uint64_t otherErrorCount = 0; // folders, mount points, volumes and steps that failed so far
    // The job waits while the user is asked to authorize a call of the privileged helper; path
    // says so ("Waiting for authorization...").
    bool waitingForAuthorization = false;
};

} // namespace cv
