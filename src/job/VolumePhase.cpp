#include "job/VolumePhase.h"

#include "common/Log.h"
#include "common/MountTable.h"
#include "common/UniqueFd.h"
#include "freespace/FreeSpaceTrim.h"
#include "job/JobContext.h"

#include <algorithm>
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
    const ShredOptions& options = *m_context.options;
    if (m_context.isCancelled() || !options.hasVolumes ||
        !(options.eraseFreeSpace || options.eraseFreeSpaceOnly))
        return;
    logLine("Start Freespace Erase");
    for (const auto& path : m_context.pathCollection->paths()) {
        if (m_context.isVolume(path))
            wipeFreeSpaceOf(path, false);
    }
}

void VolumePhase::wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion)
{
    if (m_context.isCancelled() || !m_context.isVolume(mountPath))
        return;
    m_context.freespaceCoordinator->freespaceEraseAtPath(mountPath);
    std::vector<ShredVolume>& volumes = m_context.result->volumes;
    auto volume = std::find_if(volumes.begin(), volumes.end(), [&](const ShredVolume& known) {
        return known.volume.mountPoint == mountPath;
    });
    if (volume == volumes.end()) {
        TargetVolume target = TargetVolume::of(mountPath, MountTable::read()).value_or(TargetVolume{});
        target.mountPoint = mountPath;
        volume = volumes.insert(volumes.end(), ShredVolume{.volume = std::move(target)});
    }
    if (m_context.isCancelled() || m_context.freespaceCoordinator->failed())
        return;
    volume->freeSpaceWiped = true;
    volume->wipedAfterDeletion = afterDeletion;
    volume->unwrittenBytes = m_context.freespaceCoordinator->unwrittenBytes();
    const FreeSpaceTrim::Outcome trim = FreeSpaceTrim::trim(mountPath);
    volume->trim = trim.trim;
    volume->trimDetail = trim.detail;
}

void VolumePhase::wipeFreeSpaceAfterDeletion()
{
    const ShredOptions& options = *m_context.options;
    if (m_context.isCancelled() || !options.thenWipeFree || options.eraseFreeSpaceOnly ||
        options.formatVolume)
        return;
    std::vector<std::string> mountPaths;
    for (const ShredVolume& volume : m_context.result->volumes) {
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
    if (m_context.isCancelled())
        return;
    for (const auto& path : m_context.pathCollection->paths()) {
        if (!m_context.isVolume(path))
            continue;
        logLine("Flush Logs");
        const auto flushed = m_context.fileshredCoordinator->flushLog(path, kFlushCount);
        // A volume whose free space could not be wiped has its error already; its flush failing
        // too says nothing new.
        if (!flushed && !m_context.hasFailureAt(path))
            m_context.addFailure(ShredItem::Kind::Step, path, "Flushing the volume failed", flushed.error());
    }
}

} // namespace cv
