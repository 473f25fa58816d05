#include "job/PhaseListener.h"

#include "job/JobProgress.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTools.h"

#include <algorithm>

namespace cv {

using Counters = JobProgress::Counters;

void PhaseListener::fileshredWrittenBytes(std::int64_t bytes)
{
    m_progress.addWrittenBytes(bytes, false);
}

void PhaseListener::fileshredCurrentPath(const ItemPath& path)
{
    m_progress.update([&](Counters& counters) {
        ++counters.fileProgress;
        counters.fileCount = std::max(counters.fileCount, counters.fileProgress);
        counters.curPath = path;
    });
    m_progress.sendThrottledEvent();
}

void PhaseListener::fileshredAddShredItem(ShredItem item)
{
    m_result.addItem(std::move(item));
}

void PhaseListener::fileshredReportErrorForMissingBytes(std::int64_t bytes)
{
    m_progress.update([&](Counters& counters) {
        ++counters.errorCount;
        counters.bytesProgress += bytes;
        counters.bytesCount = std::max(counters.bytesCount, counters.bytesProgress);
    });
    m_progress.sendThrottledEvent();
}

void PhaseListener::fileshredFileGrew(std::int64_t bytes)
{
    // The totals grow with what the job meets: the addition is overwritten with every pass too.
    const std::int64_t passes =
        m_tools.made() ? static_cast<std::int64_t>(m_tools.writer().passesCounted()) : 1;
    m_progress.update([&](Counters& counters) { counters.bytesCount += passes * bytes; });
    m_result.addGrowth(bytes);
}

void PhaseListener::fileshredRenamingPath(const std::string& text)
{
    m_progress.setCurPath(text);
    m_progress.sendThrottledEvent();
}

void PhaseListener::fileshredFlushPath(const std::string& text)
{
    m_progress.setCurPath(text);
    m_progress.sendThrottledEvent();
}

void PhaseListener::fileshredWaitingForAuthorization(bool waiting)
{
    m_progress.setWaitingForAuthorization(waiting);
}

void PhaseListener::freespaceWrittenBytes(std::int64_t bytes)
{
    m_progress.addWrittenBytes(bytes, true);
}

void PhaseListener::freespaceAvailableFreeBytes(std::int64_t bytes)
{
    m_result.addFreeBytes(bytes, m_settings.options().eraseFreeSpaceOnly);
}

void PhaseListener::freespaceBytesToWrite(std::int64_t bytes)
{
    m_progress.update([&](Counters& counters) { counters.bytesCount += bytes; });
    m_progress.sendThrottledEvent();
}

void PhaseListener::freespaceVolumeTitle(const std::string& title)
{
    m_progress.setCurPath(title);
    m_progress.sendThrottledEvent();
}

void PhaseListener::freespaceFailed(const std::string& mountPath, const std::string& reason)
{
    // A volume whose free space was not wiped is an error of the job, listed under the volume's path.
    m_result.addFailure(ShredItem::Kind::Volume, mountPath, "Free space could not be wiped", reason);
}

} // namespace cv
