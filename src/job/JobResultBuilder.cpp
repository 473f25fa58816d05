#include "job/JobResultBuilder.h"

#include "common/Log.h"
#include "common/MountTable.h"
#include "job/JobProgress.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"
#include "job/JobTools.h"

#include <algorithm>

namespace cv {

void JobResultBuilder::begin(const JobSettings& settings, const JobTargets& targets)
{
    m_result = std::make_shared<ShredResult>();
    m_result->algorithm = settings.algorithm();
    m_result->paths = targets.collection();
    m_result->targets = targets.paths();
    m_result->options = settings.sharedOptions();
    for (TargetVolume& volume : TargetVolume::forPaths(targets.paths())) {
        logMessage("Volume ", volume.mountPoint, ": ", volume.fileSystem,
                   volume.copyOnWrite ? " (copy-on-write)" : "", volume.snapshots ? ", with snapshots" : "");
        m_result->volumes.push_back(ShredVolume{.volume = std::move(volume)});
    }
}

void JobResultBuilder::setTotals(std::uint64_t files, std::int64_t bytes)
{
    m_result->fileCountTotal = files;
    m_result->bytesCountTotal = bytes;
}

void JobResultBuilder::addItem(ShredItem item)
{
    if (item.kind != ShredItem::Kind::File)
        m_progress.update([](JobProgress::Counters& counters) { ++counters.otherErrorCount; });
    m_result->history.push_back(std::move(item));
    m_progress.sendThrottledEvent();
}

void JobResultBuilder::addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                                  std::string detail)
{
    logMessage("Failed: ", path, ": ", reasonKey, detail.empty() ? "" : ": ", detail);
    m_progress.update([&](JobProgress::Counters& counters) {
        m_result->addFailure(kind, path, reasonKey, std::move(detail));
        ++counters.otherErrorCount;
    });
    m_progress.sendThrottledEvent();
}

bool JobResultBuilder::hasFailureAt(const std::string& path) const
{
    return std::any_of(m_result->history.begin(), m_result->history.end(), [&](const ShredItem& item) {
        return item.kind != ShredItem::Kind::File && item.path.str() == path;
    });
}

void JobResultBuilder::addGrowth(std::int64_t bytes)
{
    m_result->bytesCountTotal += bytes;
}

void JobResultBuilder::addFreeBytes(std::int64_t bytes, bool freeSpaceOnly)
{
    if (freeSpaceOnly)
        m_result->bytesCountTotal = bytes;
    else
        m_result->bytesCountTotal += bytes;
}

ShredVolume& JobResultBuilder::volumeAt(const std::string& mountPath)
{
    std::vector<ShredVolume>& volumes = m_result->volumes;
    const auto known = std::find_if(volumes.begin(), volumes.end(), [&](const ShredVolume& volume) {
        return volume.volume.mountPoint == mountPath;
    });
    if (known != volumes.end())
        return *known;
    TargetVolume target = TargetVolume::of(mountPath, MountTable::read()).value_or(TargetVolume{});
    target.mountPoint = mountPath;
    return volumes.emplace_back(ShredVolume{.volume = std::move(target)});
}

void JobResultBuilder::settleHistory(const JobSettings& settings, JobTools& tools)
{
    if (!tools.made())
        return;
    // Unread folders that the deletion (if it ran) did not find empty are reported, and counted,
    // before the files' states are settled.
    tools.fileshredCoordinator().finishDeleting();
    const bool deleting = !settings.options().eraseFreeSpaceOnly;
    if (deleting)
        tools.fileshredCoordinator().settle(m_result->history);
    std::uint64_t fileErrors = 0;
    std::uint64_t otherErrors = 0;
    std::uint64_t filesSettled = 0;
    for (const ShredItem& item : m_result->history) {
        const bool isFile = item.kind == ShredItem::Kind::File;
        if (isFile && !(item.cancelled && !item.success))
            ++filesSettled;
        if (item.failed(deleting))
            ++(isFile ? fileErrors : otherErrors);
    }
    m_progress.update([&](JobProgress::Counters& counters) {
        counters.errorCount = fileErrors;
        counters.otherErrorCount = otherErrors;
        counters.filesSettled = filesSettled;
        // The walk may meet more files than the scan counted (files made since): the totals grow so
        // that no figure exceeds its total.
        counters.fileCount = std::max(counters.fileCount, counters.fileProgress);
        counters.bytesCount = std::max(counters.bytesCount, counters.bytesProgress);
    });
}

void JobResultBuilder::finish(const JobSettings& settings, JobTools& tools)
{
    const std::uint64_t passes =
        tools.made() ? tools.freespaceWriter().passesCounted() : settings.algorithm()->cycles();
    settleHistory(settings, tools);
    // What was really done, not what progress booked: a file cut short by a cancel, or one booked
    // as done after a failure, is neither overwritten nor removed.
    const FileShredCoordinator::Totals done =
        tools.made() ? tools.fileshredCoordinator().totals() : FileShredCoordinator::Totals{};
    ShredResult& result = *m_result;
    m_progress.update([&](JobProgress::Counters& counters) {
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
    result.canceled = settings.isCancelled();
    result.lastState = m_progress.getState();
    result.end = ShredResult::Clock::now();
    logLine("Finished");
}

} // namespace cv
