#include "freespace/FreeSpaceCoordinator.h"

#include "common/KernelFileSystem.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "freespace/FillFolder.h"
#include "freespace/FillRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

// How many numbers a wipe skips over at most, past files of a fill file's name that are not its own.
constexpr int kMaxNameTries = 10000;

// a / b rounded up, for a >= 0 and b > 0.
std::int64_t dividedRoundingUp(std::int64_t a, std::int64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

std::string defaultHome()
{
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/root";
}

} // namespace

FreeSpaceCoordinator::FreeSpaceCoordinator(std::shared_ptr<Algorithm> algorithm, FreeSpaceWriter& writer,
                                           VolumeProbe probe)
    : m_algorithm(std::move(algorithm)), m_writer(writer), m_probe(std::move(probe)),
      m_homeFolder(defaultHome())
{
    m_writer.setDelegate(this);
}

std::string FreeSpaceCoordinator::fillFileName(std::uint64_t number)
{
    return FillRecord::fillFileName(number);
}

void FreeSpaceCoordinator::fail(const std::string& reason, int error)
{
    if (m_failed)
        return; // one failure per volume: the first says what went wrong
    m_failed = true;
    const std::string text = error != 0 ? reason + ": " + std::strerror(error) : reason;
    logMessage("Free space wipe failed on ", m_workingPath, ": ", text);
    if (m_delegate)
        m_delegate->freespaceFailed(m_workingPath, text);
}

void FreeSpaceCoordinator::measureUnwritten()
{
    if (isCancelled() || m_failed || !m_probe.allFreeBytes)
        return;
    m_unwritten = std::max<std::int64_t>(m_probe.allFreeBytes(m_workingPath), 0);
    if (m_unwritten > 0)
        logMessage("Free space that could not be written on ", m_workingPath, ": ",
                   std::to_string(m_unwritten), " bytes");
}

void FreeSpaceCoordinator::cancel()
{
    m_cancel.store(true, std::memory_order_relaxed);
    m_writer.cancel();
}

void FreeSpaceCoordinator::freespaceWrittenBytes(std::int64_t bytes)
{
    m_writtenOnVolume += bytes;
    if (m_delegate)
        m_delegate->freespaceWrittenBytes(bytes);
}

std::int64_t FreeSpaceCoordinator::notEnoughSpaceToWrite(std::int64_t)
{
    logLine("Recalcuation trigger from writer");
    m_notEnoughSpaceWarning = true;
    return recalcFreespace(m_workingPath, m_isOsVolume);
}

std::int64_t FreeSpaceCoordinator::getPreferedFileSizeToErase(std::int64_t space) const
{
    // A tenth of the space, within the bounds.
    const std::int64_t size = dividedRoundingUp(std::max<std::int64_t>(space, 0), 10);
    return std::clamp(size, kMinFileSize, kMaxFileSize);
}

std::uint64_t FreeSpaceCoordinator::getFileCountFor(std::int64_t space, std::int64_t maxFileSize)
{
    if (space <= 0 || maxFileSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(dividedRoundingUp(space, maxFileSize));
}

std::uint64_t FreeSpaceCoordinator::getPreferedBlockSizeForSpaceToErase(std::int64_t space) const
{
    // A hundredth of the space, at most the writer's largest block.
    const auto block = static_cast<std::uint64_t>(dividedRoundingUp(std::max<std::int64_t>(space, 0), 100));
    // Never a block of 0 bytes, however little there is to fill.
    return std::max<std::uint64_t>(std::min(m_writer.maxDataBufferSize(), block), 1);
}

std::string FreeSpaceCoordinator::getDeletionPathFor(const std::string& mountPath) const
{
    auto folder = FillFolder::choose(mountPath, isStartupVolume(mountPath), m_homeFolder);
    return folder ? folder->path : std::string();
}

bool FreeSpaceCoordinator::isStartupVolume(const std::string& mountPath) const
{
    return mountPath == "/" || (m_probe.isHdd && m_probe.isHdd(mountPath));
}

std::string FreeSpaceCoordinator::getVolumeNameFor(const std::string& mountPath) const
{
    std::string shown = mountPath;
    if (mountPath == "/") {
        const std::string name = m_probe.volumeName ? m_probe.volumeName("/") : std::string();
        if (!name.empty())
            shown = "/ (" + name + ")";
    }
    return shown + " - " + localized("Securely wiping the freespace");
}

std::int64_t FreeSpaceCoordinator::recalcFreespace(const std::string& path, bool isOs)
{
    std::int64_t free = m_probe.freeBytes ? m_probe.freeBytes(path) : 0;
    if (isOs)
        free = std::max<std::int64_t>(
            0, free - std::max(kOsReserveMinimum, dividedRoundingUp(free, kOsReserveDivisor)));
    // The figure is logged as it always was, with six decimals.
    logMessage("Recalcuation free space to write -> ", std::to_string(static_cast<double>(free)));
    return free;
}

void FreeSpaceCoordinator::freespaceEraseAtPath(const std::string& mountPath)
{
    if (isCancelled() || !m_probe.isVolume || !m_probe.isVolume(mountPath))
        return;
    m_isOsVolume = isStartupVolume(mountPath);
    m_workingPath = mountPath;
    m_failed = false;
    m_writtenOnVolume = 0;
    m_unwritten = 0;
    m_volumeDevice.reset();
    if (m_delegate)
        m_delegate->freespaceVolumeTitle(getVolumeNameFor(mountPath));
    // Not a byte, and no fill folder, goes to a file system of the kernel's: its "free space" is the
    // machine's memory or its settings.
    if (const auto kernel = KernelFileSystem::atPath(mountPath)) {
        fail(localized("Kernel file system, left in place") + ": " + kernel->describe(), 0);
        return;
    }
    auto folder = FillFolder::choose(mountPath, m_isOsVolume, m_homeFolder);
    if (!folder) {
        fail(folder.error(), 0);
        return;
    }
    m_volumeDevice = folder->device;
    // Leftovers first: after a wipe that was killed they hold the very space to wipe.
    if (FillRecord::removeLeftovers(folder->fd.get(), folder->path, m_excludes) ==
        FillRecord::Leftovers::Busy) {
        fail(localized("Another wipe of this volume is running"), 0);
        return;
    }
    const std::int64_t free = m_probe.freeBytes ? m_probe.freeBytes(mountPath) : 0;
    const std::int64_t space =
        m_isOsVolume ? free - dividedRoundingUp(std::max<std::int64_t>(free, 0), kOsReserveDivisor) : free;
    if (m_delegate) {
        m_delegate->freespaceBytesToWrite(free * static_cast<std::int64_t>(m_writer.passesCounted()));
        m_delegate->freespaceAvailableFreeBytes(free);
    }
    freespaceErase(space, folder->path, getPreferedFileSizeToErase(space));
}

void FreeSpaceCoordinator::freespaceErase(std::int64_t space, const std::string& folder,
                                          std::int64_t maxFileSize)
{
    const std::uint64_t block = getPreferedBlockSizeForSpaceToErase(space);
    const std::uint64_t count = getFileCountFor(space, maxFileSize);
    const std::int64_t spaceAtStart = space;
    const std::int64_t writtenAtStart = m_writtenOnVolume;
    if (count == 0 || isCancelled()) {
        // Nothing this job may write is free; what the file system keeps may still be.
        measureUnwritten();
        return;
    }
    const std::string failedToWrite = localized("Failed to write file");
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    // Fill files always lie on the volume being wiped, whatever was mounted or moved meanwhile.
    if (folderFd && m_volumeDevice && !FillFolder::isOnDevice(folderFd.get(), *m_volumeDevice)) {
        fail(FillFolder::notOnVolumeReason(), 0);
        return;
    }
    // Not a byte goes to a file system of the kernel's: its "free space" is the machine's memory
    // or its settings.
    if (const auto kernel = folderFd ? KernelFileSystem::of(folderFd.get()) : std::nullopt) {
        fail(localized("Kernel file system, left in place") + ": " + kernel->describe(), 0);
        return;
    }
    FillRecord record;
    if (!folderFd || !record.create(folderFd.get())) {
        // EEXIST: a file of the record's name that is not a record, or a wipe that began meanwhile.
        fail(failedToWrite, errno);
        return;
    }

    std::uint64_t number = 0; // the fill-file number tried last
    for (std::uint64_t i = 1; i <= count; ++i) {
        if (space <= 0 || isCancelled())
            break;
        UniqueFd file;
        for (int tries = 0; !file && tries < kMaxNameTries; ++tries) {
            const std::string name = fillFileName(++number);
            const std::string path = joinPath(folder, name);
            if (m_excludes && m_excludes->contains(path))
                continue;
            file = record.createFillFile(folderFd.get(), name);
            if (!file && errno != EEXIST)
                break;
            if (!file)
                logMessage("A file of the fill file's name is not this wipe's; the next number is taken: ",
                           path);
        }
        if (!file) {
            const int error = errno;
            logMessage("Cannot create fill file in ", folder, ": ", std::strerror(error));
            // A full volume ends the wipe as planned; anything else means nothing more can be written.
            if (!FreeSpaceWriter::isFullVolume(error)) {
                fail(failedToWrite, error);
                break;
            }
        }
        const std::int64_t fileSize = std::min(space, maxFileSize);
        maxFileSize = fileSize;
        m_writer.setStartDataBufferSize(block);
        m_writer.writeIntoFile(file.get(), fileSize);
        file.reset();
        if (m_writer.verificationFailed()) {
            // A fill file that does not read back as written left the old data where it lay.
            const auto offset = m_writer.mismatchOffset();
            fail(offset ? localized("Verification failed") + ": " + localized("first difference at byte") +
                              " " + std::to_string(*offset)
                        : localized("Verification failed"),
                 offset ? 0 : m_writer.lastError());
            break;
        }
        if (m_writer.lastError() != 0) {
            fail(failedToWrite, m_writer.lastError());
            break;
        }

        if (!m_notEnoughSpaceWarning && (i + 2 < count || count == 1)) {
            space -= fileSize;
        } else {
            logMessage("Recalcuation trigger from coordinator at ", i);
            space = recalcFreespace(m_workingPath, m_isOsVolume);
        }
    }
    // A volume with room to spare of which not one byte could be written was not wiped, whatever
    // the reason (a quota, blocks reserved for others).
    if (!isCancelled() && spaceAtStart >= kMinFileSize && m_writtenOnVolume == writtenAtStart)
        fail(failedToWrite, ENOSPC);
    measureUnwritten();
    record.removeAll(folderFd.get(), folder);
}

} // namespace cv
