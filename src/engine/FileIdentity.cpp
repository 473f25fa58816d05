#include "engine/FileIdentity.h"

#include "common/UniqueFd.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace cv {

namespace {

// The birth time, when the file system keeps one; regular tells whether the entry is a regular file.
std::optional<std::pair<std::int64_t, std::uint32_t>> birthOf(int dirFd, const char* name, int flags,
                                                              bool& regular)
{
    struct statx info;
    regular = false;
    if (::statx(dirFd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_BTIME,
                &info) != 0)
        return std::nullopt;
    regular = S_ISREG(info.stx_mode);
    if ((info.stx_mask & STATX_BTIME) == 0)
        return std::nullopt;
    return std::pair{static_cast<std::int64_t>(info.stx_btime.tv_sec), info.stx_btime.tv_nsec};
}

std::optional<std::uint32_t> generationOf(int fd)
{
    // The kernel's answer is an int whatever the request's declared type says.
    int generation = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(generation);
}

} // namespace

FileIdentity FileIdentity::of(int fd)
{
    bool regular = false;
    return FileIdentity{generationOf(fd), birthOf(fd, "", AT_EMPTY_PATH, regular)};
}

FileIdentity FileIdentity::of(int fd, const Birth& birth)
{
    return FileIdentity{generationOf(fd), birth};
}

FileIdentity FileIdentity::at(int dirFd, const char* name, const FileIdentity& known)
{
    if (!known.generation && !known.birth)
        return {};
    bool regular = false;
    const Birth birth = birthOf(dirFd, name, 0, regular);
    return regular ? examined(dirFd, name, known, birth) : FileIdentity{std::nullopt, birth};
}

FileIdentity FileIdentity::examined(int dirFd, const char* name, const FileIdentity& known,
                                    const Birth& birth)
{
    FileIdentity identity;
    if (!known.generation && !known.birth)
        return identity;
    identity.birth = birth;
    if (!known.generation)
        return identity;
    // Non-blocking and without following: whatever took the name meanwhile (a FIFO, a link) is
    // never waited on or followed; only a regular file gives a generation.
    UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info;
    if (fd && ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode))
        identity.generation = generationOf(fd.get());
    return identity;
}

bool FileIdentity::couldBe(const FileIdentity& other) const
{
    if (generation && other.generation && *generation != *other.generation)
        return false;
    return !(birth && other.birth && *birth != *other.birth);
}

} // namespace cv
