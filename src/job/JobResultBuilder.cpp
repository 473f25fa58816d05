#include "job/JobResultBuilder.h"

#include "common/Log.h"
#include "job/JobContext.h"

#include <algorithm>

namespace cv {

void JobResultBuilder::settleHistory()
{
    JobContext& job = m_context;
    if (!job.fileshredCoordinator)
        return;
    // Unread folders that the deletion (if it ran) did not find empty are reported, and counted,
    // before the files' states are settled.
    job.fileshredCoordinator->finishDeleting();
    if (!job.options->eraseFreeSpaceOnly)
        job.fileshredCoordinator->settle(job.result->history);
    const bool deleting = !job.options->eraseFreeSpaceOnly;
    std::uint64_t fileErrors = 0;
    std::uint64_t otherErrors = 0;
    std::uint64_t filesSettled = 0;
    for (const ShredItem& item : job.result->history) {
        const bool isFile = item.kind == ShredItem::Kind::File;
        if (isFile && !(item.cancelled && !item.success))
            ++filesSettled;
        if (item.failed(deleting))
            ++(isFile ? fileErrors : otherErrors);
    }
    job.progress.update([&](JobProgress::Counters& counters) {
        counters.errorCount = fileErrors;
        counters.otherErrorCount = otherErrors;
        counters.filesSettled = filesSettled;
        // The walk may meet more files than the scan counted (files made since): the totals grow so
        // that no figure exceeds its total.
        counters.fileCount = std::max(counters.fileCount, counters.fileProgress);
        counters.bytesCount = std::max(counters.bytesCount, counters.bytesProgress);
    });
}

void JobResultBuilder::finishUpResult()
{
    JobContext& job = m_context;
    const std::uint64_t passes =
        job.freespaceWriter ? job.freespaceWriter->passesCounted() : job.algorithm->cycles();
    settleHistory();
    // What was really done, not what progress booked: a file cut short by a cancel, or one booked
    // as done after a failure, is neither overwritten nor removed.
    const FileShredCoordinator::Totals done =
        job.fileshredCoordinator ? job.fileshredCoordinator->totals() : FileShredCoordinator::Totals{};
    ShredResult& result = *job.result;
    job.progress.update([&](JobProgress::Counters& counters) {
        result.fileCountTotal = std::max<std::uint64_t>(result.fileCountTotal, counters.filesSettled);
        result.fileCountFinished = counters.filesSettled;
        // A method without passes writes nothing; it must not divide by zero either.
        const std::int64_t freeSpace =
            passes == 0 ? 0
                        : static_cast<std::int64_t>(
                              static_cast<std::uint64_t>(counters.freespaceBytesProgress) / passes);
        result.bytesCountFinished = done.bytesOverwritten + freeSpace;
        // Files that grew since the scan, and free space measured larger than at the start: the
        // total grows with what the job met, so that no figure exceeds it.
        result.bytesCountTotal = std::max(result.bytesCountTotal, result.bytesCountFinished);
        result.fileCountRemoved = done.filesRemoved;
        result.bytesCountRemoved = done.bytesRemoved;
        result.errorCount = counters.errorCount;
        result.otherErrorCount = counters.otherErrorCount;
    });
    result.canceled = job.isCancelled();
    result.lastState = job.progress.getState();
    result.end = ShredResult::Clock::now();
    logLine("Finished");
}

} // namespace cv
