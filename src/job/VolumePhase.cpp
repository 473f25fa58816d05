#include "job/VolumePhase.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "freespace/FreeSpaceTrim.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"
#include "job/JobTools.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr std::uint64_t kFlushCount = FileShredCoordinator::kFlushCount;

} // namespace

void VolumePhase::freeSpaceErase()
{
    const ShredOptions& options = m_settings.options();
    if (m_settings.isCancelled() || !options.hasVolumes ||
        !(options.eraseFreeSpace || options.eraseFreeSpaceOnly))
        return;
    logLine("Start Freespace Erase");
    for (const auto& path : m_targets.paths()) {
        if (m_settings.isVolume(path))
            wipeFreeSpaceOf(path, false);
    }
}

void VolumePhase::wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion)
{
    if (m_settings.isCancelled() || !m_settings.isVolume(mountPath))
        return;
    FreeSpaceCoordinator& coordinator = m_tools.freespaceCoordinator();
    coordinator.freespaceEraseAtPath(mountPath);
    ShredVolume& volume = m_result.volumeAt(mountPath);
    if (m_settings.isCancelled() || coordinator.failed())
        return;
    volume.freeSpaceWiped = true;
    volume.wipedAfterDeletion = afterDeletion;
    volume.unwrittenBytes = coordinator.unwrittenBytes();
    const FreeSpaceTrim::Outcome trim = FreeSpaceTrim::trim(mountPath);
    volume.trim = trim.trim;
    volume.trimDetail = trim.detail;
}

void VolumePhase::wipeFreeSpaceAfterDeletion()
{
    const ShredOptions& options = m_settings.options();
    if (m_settings.isCancelled() || !options.thenWipeFree || options.eraseFreeSpaceOnly ||
        options.formatVolume)
        return;
    std::vector<std::string> mountPaths;
    for (const ShredVolume& volume : m_result.volumes()) {
        if (volume.volume.copyOnWrite && !volume.freeSpaceWiped)
            mountPaths.push_back(volume.volume.mountPoint);
    }
    if (mountPaths.empty()) {
        logLine("No target lies on a copy-on-write file system: no free space to wipe after the deletion");
        return;
    }
    logLine("Start Freespace Erase after Deletion");
    for (const std::string& mountPath : mountPaths) {
        // The deleted files' blocks count as free once the file system has committed the deletion.
        if (UniqueFd volumeFd(::open(mountPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            !volumeFd || ::syncfs(volumeFd.get()) != 0)
            logMessage("Cannot sync ", mountPath, " before its free space is wiped: ", std::strerror(errno));
        wipeFreeSpaceOf(mountPath, true);
    }
}

void VolumePhase::flushLog()
{
    if (m_settings.isCancelled())
        return;
    for (const auto& path : m_targets.paths()) {
        if (!m_settings.isVolume(path))
            continue;
        logLine("Flush Logs");
        const auto flushed = m_tools.fileshredCoordinator().flushLog(path, kFlushCount);
        // A volume whose free space could not be wiped has its error already; its flush failing
        // too says nothing new.
        if (!flushed && !m_result.hasFailureAt(path))
            m_result.addFailure(ShredItem::Kind::Step, path, "Flushing the volume failed", flushed.error());
    }
}

} // namespace cv
