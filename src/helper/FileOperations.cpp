#include "helper/FileOperations.h"

#include "helper/ArgumentCheck.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

// How deep a deletion goes into nested folders. The walk holds a descriptor and a stack frame per
// level; without a bound a tree nested tens of thousands deep (cheap for any user to make) runs the
// helper out of stack where it may keep that many files open, and kills it with every call in flight.
constexpr int kMaxFolderDepth = 1024;

std::string errorText(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

// True when the folder name in dirFd is the root of a mounted file system: another device, or a
// bind mount of the same one, which only statx can tell.
bool isMountRoot(int dirFd, const char* name, const struct stat& info, dev_t parentDevice)
{
    if (info.st_dev != parentDevice)
        return true;
    struct statx extended = {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &extended) == 0 &&
        (extended.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return (extended.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return false;
}

// Removes everything inside the open folder dirFd (on device dev, depth folders below the one
// asked for), depth first. Goes on after a failure so that as much as possible is removed, and
// keeps the first failure for the answer.
void removeContents(int dirFd, dev_t dev, int depth, const std::string& displayPath, std::string& firstError)
{
    const auto fail = [&firstError](std::string message) {
        if (firstError.empty())
            firstError = std::move(message);
    };
    const int listFd = ::dup(dirFd);
    if (listFd < 0) {
        fail(errorText("Cannot read the folder", displayPath, errno));
        return;
    }
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        fail(errorText("Cannot read the folder", displayPath, errno));
        ::close(listFd);
        return;
    }
    // The names are read first: removing entries while reading a folder may skip some.
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        fail(errorText("Cannot read the folder", displayPath, errno));
    ::closedir(dir);

    for (const auto& name : names) {
        const std::string childPath = displayPath + "/" + name;
        struct stat info = {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                fail(errorText("Cannot examine", childPath, errno));
            continue;
        }
        if (!S_ISDIR(info.st_mode)) {
            if (::unlinkat(dirFd, name.c_str(), 0) != 0 && errno != ENOENT)
                fail(errorText("Cannot delete", childPath, errno));
            continue;
        }
        if (isMountRoot(dirFd, name.c_str(), info, dev)) {
            fail(childPath + " is a mount point; it and what is mounted there were left in place");
            continue;
        }
        UniqueFd child(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat opened = {};
        if (!child || ::fstat(child.get(), &opened) != 0 || opened.st_ino != info.st_ino ||
            opened.st_dev != info.st_dev) {
            fail(child ? childPath + " changed while it was being deleted"
                       : errorText("Cannot open the folder", childPath, errno));
            continue;
        }
        if (depth >= kMaxFolderDepth) {
            fail(childPath + " lies deeper than " + std::to_string(kMaxFolderDepth) +
                 " nested folders; it was left in place");
            continue;
        }
        removeContents(child.get(), dev, depth + 1, childPath, firstError);
        child.reset();
        if (::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            fail(errorText("Cannot delete the folder", childPath, errno));
    }
}

} // namespace

HelperOutcome FileOperations::openParent(const std::string& path, UniqueFd& parent, std::string& name,
                                         bool& missing)
{
    missing = false;
    if (auto refusal = ArgumentCheck::checkPath(path))
        return HelperError::invalidArgument(*refusal);
    const auto names = ArgumentCheck::components(path);
    if (names.empty())
        return HelperError::invalidArgument("Refusing to act on the root folder /");

    UniqueFd folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return HelperError::failed(errorText("Cannot open", "/", errno));
    std::string walked;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        walked += "/" + names[i];
        UniqueFd next(
            ::openat(folder.get(), names[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            const int error = errno;
            struct stat info = {};
            if (error == ENOENT) {
                missing = true;
                return std::nullopt;
            }
            if (::fstatat(folder.get(), names[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode))
                return HelperError::invalidArgument("The path leads through the symbolic link " + walked +
                                                    "; links are not followed");
            return HelperError::failed(errorText("Cannot open the folder", walked, error));
        }
        folder = std::move(next);
    }
    parent = std::move(folder);
    name = names.back();
    return std::nullopt;
}

HelperOutcome FileOperations::changePermissions(const std::string& path, uid_t uid)
{
    UniqueFd parent;
    std::string name;
    bool missing = false;
    if (auto error = openParent(path, parent, name, missing))
        return error;
    if (missing)
        return HelperError::failed(errorText("Cannot open", path, ENOENT));

    struct stat info = {};
    if (::fstatat(parent.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (auto refusal = ArgumentCheck::checkPermissionTarget(info.st_mode))
        return HelperError::invalidArgument(*refusal + ": " + path);

    // O_NOFOLLOW and O_NONBLOCK: a file swapped for a link or a FIFO since it was examined is not
    // followed or waited on, and the descriptor is checked to be the very file examined.
    UniqueFd file(
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file)
        return HelperError::failed(errorText("Cannot open", path, errno));
    struct stat opened = {};
    if (::fstat(file.get(), &opened) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (!S_ISREG(opened.st_mode) || opened.st_dev != info.st_dev || opened.st_ino != info.st_ino)
        return HelperError::invalidArgument(path + " was replaced while it was being opened");
    // Another name of the same file may lie anywhere on the volume (a hard link of /etc/shadow in
    // the caller's folder): owning this name would hand over that one too, so such a file is refused.
    if (opened.st_nlink > 1)
        return HelperError::invalidArgument("Refusing to change the permissions of " + path + ": it has " +
                                            std::to_string(opened.st_nlink) +
                                            " hard links, and the others would change with it");

    if (::fchown(file.get(), uid, static_cast<gid_t>(-1)) != 0)
        return HelperError::failed(errorText("Cannot change the owner of", path, errno));
    const mode_t mode = (opened.st_mode & 0777) | S_IRUSR | S_IWUSR;
    if (::fchmod(file.get(), mode) != 0)
        return HelperError::failed(errorText("Cannot change the permissions of", path, errno));
    return std::nullopt;
}

HelperOutcome FileOperations::deleteItem(const std::string& path)
{
    UniqueFd parent;
    std::string name;
    bool missing = false;
    if (auto error = openParent(path, parent, name, missing))
        return error;
    if (missing)
        return std::nullopt; // nothing exists at the path already

    struct stat info = {};
    if (::fstatat(parent.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        return HelperError::failed(errorText("Cannot examine", path, errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        if (::unlinkat(parent.get(), name.c_str(), 0) != 0 && errno != ENOENT)
            return HelperError::failed(errorText("Cannot delete", path, errno));
        return std::nullopt;
    }

    struct stat parentInfo = {};
    if (::fstat(parent.get(), &parentInfo) != 0)
        return HelperError::failed(errorText("Cannot examine the folder holding", path, errno));
    if (isMountRoot(parent.get(), name.c_str(), info, parentInfo.st_dev))
        return HelperError::invalidArgument(path + " is a mount point; it is not deleted");
    UniqueFd folder(::openat(parent.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder)
        return HelperError::failed(errorText("Cannot open the folder", path, errno));
    struct stat opened = {};
    if (::fstat(folder.get(), &opened) != 0 || opened.st_dev != info.st_dev || opened.st_ino != info.st_ino)
        return HelperError::invalidArgument(path + " was replaced while it was being opened");

    std::string firstError;
    removeContents(folder.get(), info.st_dev, 1, path, firstError);
    folder.reset();
    if (!firstError.empty())
        return HelperError::failed(firstError);
    if (::unlinkat(parent.get(), name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        return HelperError::failed(errorText("Cannot delete the folder", path, errno));
    return std::nullopt;
}

} // namespace cv
