#include "common/PrivateFile.h"

#include "common/PathText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

std::string failure(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

} // namespace

Expected<void, std::string> PrivateFile::createFolders(const std::string& folder)
{
    if (folder.empty())
        return Unexpected(std::string("no folder given"));
    std::string prefix = folder.front() == '/' ? "/" : "";
    std::string problem;
    forEachComponent(folder, [&](std::string_view component) {
        prefix = joinPath(prefix, component);
        if (::mkdir(prefix.c_str(), kFolderMode) != 0 && errno != EEXIST) {
            problem = failure("cannot create the folder", prefix, errno);
            return false;
        }
        struct stat info = {};
        if (::stat(prefix.c_str(), &info) != 0) {
            problem = failure("cannot create the folder", prefix, errno);
            return false;
        }
        if (!S_ISDIR(info.st_mode)) {
            problem = failure("cannot create the folder", prefix, ENOTDIR);
            return false;
        }
        return true;
    });
    if (!problem.empty())
        return Unexpected(std::move(problem));
    return {};
}

namespace {

Expected<UniqueFd, std::string> openForAppendAt(int dirFd, const std::string& name, const std::string& path)
{
    // O_NONBLOCK: a FIFO put in the file's place never stalls the program; it is refused below.
    UniqueFd fd(::openat(dirFd, name.c_str(),
                         O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC,
                         PrivateFile::kFileMode));
    if (!fd && errno == ELOOP)
        return Unexpected("refused to open " + path + ": it is a symbolic link");
    if (!fd)
        return Unexpected(failure("cannot open", path, errno));
    if (auto checked = PrivateFile::checkOwnFile(fd.get()); !checked)
        return Unexpected(checked.error() + ": " + path);
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Unexpected(failure("cannot open", path, errno));
    return fd;
}

} // namespace

Expected<UniqueFd, std::string> PrivateFile::openForAppend(const std::string& path)
{
    return openForAppendAt(AT_FDCWD, path, path);
}

Expected<UniqueFd, std::string> PrivateFile::openForAppendIn(const std::string& folder,
                                                             const std::string& name)
{
    const UniqueFd folderFd(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat info = {};
    // A link opened with O_DIRECTORY and O_NOFOLLOW fails with ELOOP or ENOTDIR: lstat tells.
    if (!folderFd && (errno == ELOOP || errno == ENOTDIR) && ::lstat(folder.c_str(), &info) == 0 &&
        S_ISLNK(info.st_mode))
        return Unexpected("refused to use the folder " + folder + ": it is a symbolic link");
    if (!folderFd)
        return Unexpected(failure("cannot open the folder", folder, errno));
    if (::fstat(folderFd.get(), &info) != 0)
        return Unexpected(failure("cannot examine the folder", folder, errno));
    if (info.st_uid != ::geteuid())
        return Unexpected("refused to use the folder " + folder + ": it belongs to user " +
                          std::to_string(info.st_uid) + ", not to user " + std::to_string(::geteuid()));
    return openForAppendAt(folderFd.get(), name, joinPath(folder, name));
}

Expected<void, std::string> PrivateFile::checkOwnFile(int fd)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return Unexpected(std::string("cannot examine the file: ") + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Unexpected(std::string("not a regular file"));
    if (info.st_uid != ::geteuid())
        return Unexpected("the file belongs to user " + std::to_string(info.st_uid) + ", not to user " +
                          std::to_string(::geteuid()));
    if (info.st_nlink > 1)
        return Unexpected(std::string("the file has other hard links"));
    if ((info.st_mode & 07777) != kFileMode && ::fchmod(fd, kFileMode) != 0)
        return Unexpected(std::string("cannot make the file private: ") + std::strerror(errno));
    return {};
}

Expected<void, std::string> PrivateFile::restrictFile(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return Unexpected(failure("cannot open", path, errno));
    if (auto checked = checkOwnFile(fd.get()); !checked)
        return Unexpected(checked.error() + ": " + path);
    return {};
}

} // namespace cv
