#include "freespace/FillFolder.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Whether this process may make files in the folder at path (effective ids, as open() decides);
// errno tells why not.
bool mayWriteIn(const std::string& path)
{
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The folder at relative below the volume opened as volumeFd, when it is on device and this
// process may write in it.
UniqueFd writableFolderOnDevice(int volumeFd, const std::string& volumePath, const std::string& relative,
                                dev_t device)
{
    UniqueFd folder(::openat(volumeFd, relative.c_str(), kFolderFlags));
    if (!folder || !FillFolder::isOnDevice(folder.get(), device) ||
        !mayWriteIn(joinPath(volumePath, relative)))
        return {};
    return folder;
}

std::string withVolume(std::string text, const std::string& mountPath)
{
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, mountPath);
    return text;
}

} // namespace

bool FillFolder::isOnDevice(int folderFd, dev_t device)
{
    struct stat status
    {};
    return ::fstat(folderFd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_dev == device;
}

std::string FillFolder::notOnVolumeReason()
{
    return localized("The fill folder lies on another volume");
}

Expected<FillFolder, std::string> FillFolder::choose(const std::string& mountPath, bool startupVolume,
                                                     const std::string& home, bool makeFolder)
{
    UniqueFd volumeFd(::open(mountPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat volume
    {};
    if (!volumeFd || ::fstat(volumeFd.get(), &volume) != 0)
        return Unexpected(localized("Failed to write file") + ": " + std::strerror(errno));
    FillFolder chosen;
    chosen.device = volume.st_dev;

    const bool rootWritable = mayWriteIn(mountPath);
    // A read-only volume keeps its root: the wipe fails there with the file system's own reason.
    if ((rootWritable && !startupVolume) || (!rootWritable && errno == EROFS)) {
        chosen.path = mountPath;
        chosen.fd = std::move(volumeFd);
        return chosen;
    }

    struct stat homeStatus
    {};
    if (!home.empty() && ::stat(home.c_str(), &homeStatus) == 0 && S_ISDIR(homeStatus.st_mode) &&
        homeStatus.st_dev == volume.st_dev) {
        std::string folder = joinPath(home, "Ostrevane");
        if (makeFolder && ::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            logMessage("Error: Create folder failed ", folder);
        struct stat made
        {};
        if (!makeFolder && ::lstat(folder.c_str(), &made) != 0)
            folder = home;
        UniqueFd folderFd(::open(folder.c_str(), kFolderFlags));
        if (folderFd) {
            // Made or found on the volume's device a moment ago, it may still be a mount point.
            if (!isOnDevice(folderFd.get(), volume.st_dev))
                return Unexpected(notOnVolumeReason());
            chosen.path = folder;
            chosen.fd = std::move(folderFd);
            return chosen;
        }
        logMessage("Cannot open the fill folder ", folder, ": ", std::strerror(errno));
    }

    // A job that may write the volume's root (a root job) takes it.
    if (rootWritable) {
        chosen.path = mountPath;
        chosen.fd = std::move(volumeFd);
        return chosen;
    }
    for (const char* relative : {"var/tmp", "tmp"}) {
        if (UniqueFd folderFd = writableFolderOnDevice(volumeFd.get(), mountPath, relative, volume.st_dev)) {
            chosen.path = joinPath(mountPath, relative);
            chosen.fd = std::move(folderFd);
            return chosen;
        }
    }
    return Unexpected(withVolume(localized("no folder on %1 where you may write"), mountPath));
}

} // namespace cv
