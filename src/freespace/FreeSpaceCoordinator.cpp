#include "freespace/FreeSpaceCoordinator.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "freespace/FillRecord.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace cv {

namespace {

// How many numbers a wipe skips over at most, past files of a fill file's name that are not its own.
constexpr int kMaxNameTries = 10000;

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

void FreeSpaceCoordinator::cancel()
{
    m_cancel.store(true, std::memory_order_relaxed);
    m_writer.cancel();
}

void FreeSpaceCoordinator::freespaceWrittenBytes(double bytes)
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

std::uint64_t FreeSpaceCoordinator::getPreferedFileSizeToErase(double space) const
{
    const double size = std::ceil(space / 10.0);
    return static_cast<std::uint64_t>(
        std::clamp(size, static_cast<double>(kMinFileSize), static_cast<double>(kMaxFileSize)));
}

std::uint64_t FreeSpaceCoordinator::getFileCountFor(double space, double maxFileSize)
{
    if (!(space > 0) || !(maxFileSize > 0))
        return 0;
    return static_cast<std::uint64_t>(std::ceil(space / maxFileSize));
}

std::uint64_t FreeSpaceCoordinator::getPreferedBlockSizeForSpaceToErase(double space) const
{
    const double block = std::ceil(std::max(space, 0.0) / 100.0);
    const double capped = std::min(static_cast<double>(m_writer.maxDataBufferSize()), block);
    // Never a block of 0 bytes, however little there is to fill.
    return std::max<std::uint64_t>(static_cast<std::uint64_t>(capped), 1);
}

std::string FreeSpaceCoordinator::getDeletionPathFor(const std::string& mountPath) const
{
    if (mountPath != "/")
        return mountPath;
    const std::string folder = joinPath(m_homeFolder, "Ostrevane");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        logMessage("Error: Create folder failed ", folder);
    return folder;
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

std::size_t FreeSpaceCoordinator::removeLeftoverFillFiles(const std::string& folder) const
{
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::size_t removed = 0;
    if (folderFd)
        FillRecord::removeLeftovers(folderFd.get(), folder, m_excludes, &removed);
    return removed;
}

std::int64_t FreeSpaceCoordinator::recalcFreespace(const std::string& path, bool isOs)
{
    double free = m_probe.freeBytes ? m_probe.freeBytes(path) : 0.0;
    if (isOs)
        free = std::max(0.0, free - std::max(kOsReserveMinimum, kOsReserveFraction * free));
    logMessage("Recalcuation free space to write -> ", std::to_string(free));
    return static_cast<std::int64_t>(std::trunc(free));
}

void FreeSpaceCoordinator::freespaceEraseAtPath(const std::string& mountPath)
{
    if (isCancelled() || !m_probe.isVolume || !m_probe.isVolume(mountPath))
        return;
    m_isOsVolume = mountPath == "/";
    m_workingPath = mountPath;
    m_failed = false;
    m_writtenOnVolume = 0;
    const std::string folder = getDeletionPathFor(mountPath);
    if (m_delegate)
        m_delegate->freespaceVolumeTitle(getVolumeNameFor(mountPath));
    // Leftovers first: after a wipe that was killed they hold the very space to wipe.
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd &&
        FillRecord::removeLeftovers(folderFd.get(), folder, m_excludes) == FillRecord::Leftovers::Busy) {
        fail(localized("Another wipe of this volume is running"), 0);
        return;
    }
    const double free = m_probe.freeBytes ? m_probe.freeBytes(mountPath) : 0.0;
    const double space = m_isOsVolume ? free - kOsReserveFraction * free : free;
    if (m_delegate) {
        m_delegate->freespaceBytesToWrite(free * static_cast<double>(m_algorithm->cycles()));
        m_delegate->freespaceAvailableFreeBytes(free);
    }
    freespaceErase(space, folder, static_cast<double>(getPreferedFileSizeToErase(space)));
}

void FreeSpaceCoordinator::freespaceErase(double space, const std::string& folder, double maxFileSize)
{
    const std::uint64_t block = getPreferedBlockSizeForSpaceToErase(space);
    const std::uint64_t count = getFileCountFor(space, maxFileSize);
    const double spaceAtStart = space;
    const double writtenAtStart = m_writtenOnVolume;
    if (count == 0 || isCancelled())
        return;
    const std::string failedToWrite = localized("Failed to write file");
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
        const double fileSize = std::min(space, maxFileSize);
        maxFileSize = fileSize;
        m_writer.setStartDataBufferSize(block);
        m_writer.writeIntoFile(file.get(), fileSize);
        file.reset();
        if (m_writer.lastError() != 0) {
            fail(failedToWrite, m_writer.lastError());
            break;
        }

        if (!m_notEnoughSpaceWarning && (i + 2 < count || count == 1)) {
            space -= fileSize;
        } else {
            logMessage("Recalcuation trigger from coordinator at ", i);
            space = static_cast<double>(recalcFreespace(m_workingPath, m_isOsVolume));
        }
    }
    record.removeAll(folderFd.get(), folder);
    // A volume with room to spare of which not one byte could be written was not wiped, whatever
    // the reason (a quota, blocks reserved for others).
    if (!isCancelled() && spaceAtStart >= static_cast<double>(kMinFileSize) &&
        m_writtenOnVolume == writtenAtStart)
        fail(failedToWrite, ENOSPC);
}

} // namespace cv
