#pragma once

#include "job/FileShredder.h"

#include <cstddef>
#include <memory>
#include <string>

namespace cv::cli {

// Runs one shred job from a terminal: the job on a worker thread, SIGINT and SIGTERM turned into
// the job's cancel, and, when standard error is a terminal, one updating progress line. Signals
// that come with the end are spent; the signal mask is left as the caller had it (the job
// commands keep SIGINT and SIGTERM blocked until they exit).
class JobRunner
{
public:
    explicit JobRunner(FileShredder& job, bool showProgress);
    // What a job run from a terminal works with: the helper for root's work (may be null),
    // logind's sleep inhibitor and the home folder of the user the command runs as. The job's
    // thread keeps the priority the command was started with: on a terminal that is the
    // caller's to choose (nice), as for shred or dd.
    static JobEnvironment environment(HelperToolClient* helper);
    // Runs the job to its end and returns its result (cancelled or not).
    std::shared_ptr<ShredResult> run();
    // The progress line for state, at most width bytes: the action, the share done, the amounts
    // ("1.2 GB of 3.4 GB", in the language of the engine's texts as the action is), the time
    // taken, and as much of the path as fits, its end kept.
    static std::string progressLine(const ShredState& state, std::size_t width);

private:
    FileShredder& m_job;
    bool m_showProgress;
};

} // namespace cv::cli
