#include "engine/RegularFileOpener.h"

#include "common/FileTypeName.h"
#include "common/KernelFileSystem.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

namespace cv {

RegularFileOpener::Result RegularFileOpener::open(int dirFd, const char* name)
{
    struct stat info = {};
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        Result result;
        result.error = errno;
        result.status = errno == ENOENT ? Status::Missing : Status::OpenFailed;
        return result;
    }
    return openExamined(dirFd, name, info);
}

RegularFileOpener::Result RegularFileOpener::openExamined(int dirFd, const char* name,
                                                          const struct stat& expected, FileSystem where)
{
    Result result;
    result.info = expected;
    if (!S_ISREG(expected.st_mode)) {
        result.status = Status::NotRegular;
        return result;
    }
    // The file without access first: what it lies on decides whether it may be opened for writing.
    const UniqueFd entry(::openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat entryInfo = {};
    struct statfs fileSystem = {};
    if (!entry || ::fstat(entry.get(), &entryInfo) != 0) {
        result.error = errno;
        result.status = errno == ENOENT ? Status::Missing : Status::OpenFailed;
        return result;
    }
    if (!S_ISREG(entryInfo.st_mode) || entryInfo.st_dev != expected.st_dev ||
        entryInfo.st_ino != expected.st_ino) {
        result.status = Status::Replaced;
        return result;
    }
    // A file the caller vouches for lies on its walk's file system, checked when the walk began;
    // its file system is looked at only to tell why it cannot be opened.
    bool examined = false;
    if (where != FileSystem::HoldsData) {
        examined = ::fstatfs(entry.get(), &fileSystem) == 0;
        if (const auto kernel =
                examined ? KernelFileSystem::of(fileSystem, entryInfo) : KernelFileSystem::of(entry.get())) {
            result.status = Status::KernelFile;
            result.fileSystem = kernel->describe();
            return result;
        }
    }

    const int fd = ::openat(dirFd, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.error = errno;
        switch (errno) {
        case ELOOP: // the entry became a symbolic link since it was examined
        case ENXIO: // ... or a socket or device
            result.status = Status::Replaced;
            break;
        case EROFS:
            result.status = Status::ReadOnly;
            break;
        case EACCES:
        case EPERM:
            // On a read-only mount the permissions are checked before the mount is: no owner and
            // no mode would let anybody write there.
            if (!examined)
                examined = ::fstatfs(entry.get(), &fileSystem) == 0;
            if (examined && (fileSystem.f_flags & ST_RDONLY) != 0) {
                result.error = EROFS;
                result.status = Status::ReadOnly;
                break;
            }
            [[fallthrough]];
        case ETXTBSY:
            result.status = Status::NotWritable;
            break;
        case ENOENT:
            result.status = Status::Missing;
            break;
        default:
            result.status = Status::OpenFailed;
        }
        return result;
    }
    result.fd.reset(fd);
    struct stat opened = {};
    if (FolderWalker::examineOpened(fd, opened, result.birth) != 0) {
        result.error = errno;
        result.fd.reset();
        result.status = Status::OpenFailed;
        return result;
    }
    if (!S_ISREG(opened.st_mode) || opened.st_dev != expected.st_dev || opened.st_ino != expected.st_ino) {
        result.fd.reset();
        result.status = Status::Replaced;
        return result;
    }
    // Regular files never block; clear the flag so that writes behave plainly (none of the other
    // flags F_SETFL changes was asked for).
    ::fcntl(fd, F_SETFL, 0);
    result.info = opened;
    result.status = Status::Opened;
    return result;
}

std::string RegularFileOpener::describe(const Result& result)
{
    switch (result.status) {
    case Status::Opened:
        return "opened";
    case Status::Missing:
        return "no such file";
    case Status::NotRegular:
        return std::string("not a regular file (") + fileTypeName(result.info.st_mode) + ")";
    case Status::Replaced:
        return "the file was replaced while it was being opened";
    case Status::KernelFile:
        return "it lies on " + result.fileSystem + ", not data";
    case Status::NotWritable:
    case Status::ReadOnly:
    case Status::OpenFailed:
        return std::strerror(result.error);
    }
    return "unknown error";
}

RegularFileOpener::Result RegularFileOpener::handedOver(UniqueFd fd, const struct stat& expected)
{
    Result result;
    result.info = expected;
    struct stat opened = {};
    if (FolderWalker::examineOpened(fd.get(), opened, result.birth) != 0) {
        result.error = errno;
        result.status = Status::OpenFailed;
        return result;
    }
    if (!S_ISREG(opened.st_mode) || opened.st_dev != expected.st_dev || opened.st_ino != expected.st_ino) {
        result.status = Status::Replaced;
        return result;
    }
    if (const auto kernel = KernelFileSystem::of(fd.get())) {
        result.status = Status::KernelFile;
        result.fileSystem = kernel->describe();
        return result;
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) != O_RDWR) {
        result.error = flags < 0 ? errno : EBADF;
        result.status = Status::OpenFailed;
        return result;
    }
    result.fd = std::move(fd);
    result.info = opened;
    result.status = Status::Opened;
    return result;
}

} // namespace cv
