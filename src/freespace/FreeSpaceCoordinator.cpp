#include "freespace/FreeSpaceCoordinator.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "common/UniqueFd.h"
#include "targets/Volume.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

constexpr const char* kFillPrefix = "ErasingFreeSpace_";
constexpr const char* kFillSuffix = ".dat";

bool isFillFileName(const std::string& name)
{
    const std::string prefix = kFillPrefix;
    const std::string suffix = kFillSuffix;
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const auto digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return digits.find_first_not_of("0123456789") == std::string::npos;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
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
    return kFillPrefix + std::to_string(number) + kFillSuffix;
}

void FreeSpaceCoordinator::cancel()
{
    m_cancel.store(true, std::memory_order_relaxed);
    m_writer.cancel();
}

void FreeSpaceCoordinator::freespaceWrittenBytes(double bytes)
{
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
    UniqueFd dirFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return 0;
    std::vector<std::string> leftovers;
    if (DIR* dir = ::fdopendir(::dup(dirFd.get()))) {
        while (const dirent* entry = ::readdir(dir)) {
            if (isFillFileName(entry->d_name))
                leftovers.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::size_t removed = 0;
    for (const auto& name : leftovers) {
        struct stat info;
        // Only regular files are ours; a link or folder of that name is somebody else's business.
        if (::fstatat(dirFd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (::unlinkat(dirFd.get(), name.c_str(), 0) == 0) {
            logMessage("Removed fill file left by an interrupted wipe: ", joinPath(folder, name));
            ++removed;
        } else {
            logMessage("Cannot remove leftover fill file ", joinPath(folder, name), ": ",
                       std::strerror(errno));
        }
    }
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
    const std::string folder = getDeletionPathFor(mountPath);
    removeLeftoverFillFiles(folder);
    if (m_delegate)
        m_delegate->freespaceVolumeTitle(getVolumeNameFor(mountPath));
    m_workingPath = mountPath;
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
    std::vector<std::string> created;
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));

    for (std::uint64_t i = 1; i <= count; ++i) {
        if (space <= 0 || isCancelled())
            break;
        const std::string name = fillFileName(i);
        // O_EXCL: only files this wipe made are written and removed.
        UniqueFd file(folderFd ? ::openat(folderFd.get(), name.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                               : -1);
        if (file)
            created.push_back(name);
        else
            logMessage("Cannot create fill file ", joinPath(folder, name), ": ", std::strerror(errno));
        const double fileSize = std::min(space, maxFileSize);
        maxFileSize = fileSize;
        m_writer.setStartDataBufferSize(block);
        m_writer.writeIntoFile(file.get(), fileSize);
        file.reset();

        if (!m_notEnoughSpaceWarning && (i + 2 < count || count == 1)) {
            space -= fileSize;
        } else {
            logMessage("Recalcuation trigger from coordinator at ", i);
            space = static_cast<double>(recalcFreespace(m_workingPath, m_isOsVolume));
        }
    }
    for (const auto& name : created) {
        if (::unlinkat(folderFd.get(), name.c_str(), 0) != 0)
            logMessage("Cannot remove fill file ", joinPath(folder, name), ": ", std::strerror(errno));
    }
}

VolumeProbe VolumeProbe::system()
{
    VolumeProbe probe;
    probe.isVolume = [](const std::string& path) { return cv::isVolume(path); };
    probe.volumeName = [](const std::string& path) {
        for (const Volume& volume : findVolumes()) {
            // "/" is what an unlabelled root is called; that is no name worth showing.
            if (volume.path() == path)
                return volume.name() == "/" ? std::string() : volume.name();
        }
        return std::string();
    };
    probe.freeBytes = [](const std::string& path) {
        struct statvfs info;
        if (::statvfs(path.c_str(), &info) != 0)
            return 0.0;
        // f_bavail, not f_bfree: a wipe run as root leaves the blocks reserved for root alone.
        return static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize);
    };
    return probe;
}

} // namespace cv
