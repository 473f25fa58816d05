#include "job/PhaseListener.h"

#include "job/JobContext.h"

#include <algorithm>

namespace cv {

using Counters = JobProgress::Counters;

void PhaseListener::fileshredWrittenBytes(std::int64_t bytes)
{
    m_context.progress.addWrittenBytes(bytes, false);
}

void PhaseListener::fileshredCurrentPath(const ItemPath& path)
{
    m_context.progress.update([&](Counters& counters) {
        ++counters.fileProgress;
        counters.fileCount = std::max(counters.fileCount, counters.fileProgress);
        counters.curPath = path;
    });
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::fileshredAddShredItem(ShredItem item)
{
    if (item.kind != ShredItem::Kind::File)
        m_context.progress.update([](Counters& counters) { ++counters.otherErrorCount; });
    m_context.result->history.push_back(std::move(item));
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::fileshredReportErrorForMissingBytes(std::int64_t bytes)
{
    m_context.progress.update([&](Counters& counters) {
        ++counters.errorCount;
        counters.bytesProgress += bytes;
        counters.bytesCount = std::max(counters.bytesCount, counters.bytesProgress);
    });
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::fileshredFileGrew(std::int64_t bytes)
{
    // The totals grow with what the job meets: the addition is overwritten with every pass too.
    const std::int64_t passes =
        m_context.writer ? static_cast<std::int64_t>(m_context.writer->passesCounted()) : 1;
    m_context.progress.update([&](Counters& counters) {
        counters.bytesCount += passes * bytes;
        m_context.result->bytesCountTotal += bytes;
    });
}

void PhaseListener::fileshredRenamingPath(const std::string& text)
{
    m_context.progress.setCurPath(text);
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::fileshredFlushPath(const std::string& text)
{
    m_context.progress.setCurPath(text);
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::fileshredWaitingForAuthorization(bool waiting)
{
    m_context.progress.setWaitingForAuthorization(waiting);
}

void PhaseListener::freespaceWrittenBytes(std::int64_t bytes)
{
    m_context.progress.addWrittenBytes(bytes, true);
}

void PhaseListener::freespaceAvailableFreeBytes(std::int64_t bytes)
{
    m_context.progress.update([&](Counters&) {
        if (m_context.options->eraseFreeSpaceOnly)
            m_context.result->bytesCountTotal = bytes;
        else
            m_context.result->bytesCountTotal += bytes;
    });
}

void PhaseListener::freespaceBytesToWrite(std::int64_t bytes)
{
    m_context.progress.update([&](Counters& counters) { counters.bytesCount += bytes; });
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::freespaceVolumeTitle(const std::string& title)
{
    m_context.progress.setCurPath(title);
    m_context.progress.sendThrottledEvent();
}

void PhaseListener::freespaceFailed(const std::string& mountPath, const std::string& reason)
{
    // A volume whose free space was not wiped is an error of the job, listed under the volume's path.
    m_context.addFailure(ShredItem::Kind::Volume, mountPath, "Free space could not be wiped", reason);
}

} // namespace cv
