#include "helper/MountedDevice.h"

#include "common/UniqueFd.h"
#include "helper/FileOperations.h"

#include <fcntl.h>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace cv {

namespace {

// BLKGETDISKSEQ of linux/fs.h, which cannot be included beside sys/mount.h.
constexpr unsigned long kGetDiskSequence = _IOR(0x12, 128, std::uint64_t);

bool sameFile(int first, int second)
{
    struct stat a = {};
    struct stat b = {};
    return ::fstat(first, &a) == 0 && ::fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace

std::optional<std::string> MountedDevice::blockDevice(const MountEntry& entry)
{
    const dev_t wanted = entry.device;
    struct stat info = {};
    if (!entry.source.empty() && entry.source.front() == '/' && ::stat(entry.source.c_str(), &info) == 0 &&
        S_ISBLK(info.st_mode) && (info.st_rdev == wanted || major(wanted) == 0))
        return entry.source;
    std::ifstream uevent("/sys/dev/block/" + std::to_string(major(wanted)) + ":" +
                         std::to_string(minor(wanted)) + "/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.rfind("DEVNAME=", 0) != 0)
            continue;
        const std::string node = "/dev/" + line.substr(8);
        if (::stat(node.c_str(), &info) == 0 && S_ISBLK(info.st_mode) && info.st_rdev == wanted)
            return node;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> MountedDevice::mountId(int fd)
{
    struct statx info = {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) != 0 || !(info.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    return info.stx_mnt_id;
}

std::optional<std::uint64_t> MountedDevice::diskSequence(int fd)
{
    std::uint64_t sequence = 0;
    if (::ioctl(fd, kGetDiskSequence, &sequence) != 0)
        return std::nullopt;
    return sequence;
}

bool MountedDevice::stillLeadsTo(const std::string& path, int parent, int folder)
{
    const auto parentNow = FileOperations::openParent(path);
    if (!parentNow || parentNow->missing || !sameFile(parentNow->folder.get(), parent))
        return false;
    const UniqueFd folderNow(::openat(parentNow->folder.get(), parentNow->name.c_str(),
                                      O_PATH | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC));
    return folderNow && sameFile(folderNow.get(), folder);
}

} // namespace cv
