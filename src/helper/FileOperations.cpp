#include "helper/FileOperations.h"

#include "common/FileTypeName.h"
#include "common/MountTable.h"
#include "helper/ArgumentCheck.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <map>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

constexpr long kConfigfsMagic = 0x62656570; // not in linux/magic.h

std::string errorText(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

// The virtual file system fd lies on, in words ("a sysfs file system"), or nothing for a file
// system that holds files. devtmpfs reports itself as tmpfs, so for tmpfs the mount's type is looked
// up as well. What cannot be told counts as virtual: it is not touched.
std::optional<std::string> virtualFileSystem(int fd)
{
    static const std::map<long, const char*> kVirtual = {
        {PROC_SUPER_MAGIC, "proc"},     {SYSFS_MAGIC, "sysfs"},
        {CGROUP_SUPER_MAGIC, "cgroup"}, {CGROUP2_SUPER_MAGIC, "cgroup2"},
        {EFIVARFS_MAGIC, "efivarfs"},   {SECURITYFS_MAGIC, "securityfs"},
        {DEBUGFS_MAGIC, "debugfs"},     {TRACEFS_MAGIC, "tracefs"},
        {kConfigfsMagic, "configfs"},   {BPF_FS_MAGIC, "bpf"},
        {PSTOREFS_MAGIC, "pstore"},
    };
    const std::string unknown = "a file system of unknown type";
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return unknown;
    const long type = static_cast<long>(info.f_type);
    if (const auto found = kVirtual.find(type); found != kVirtual.end())
        return std::string("a ") + found->second + " file system";
    if (type != TMPFS_MAGIC && type != RAMFS_MAGIC)
        return std::nullopt;
    struct statx extended = {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &extended) != 0 || !(extended.stx_mask & STATX_MNT_ID))
        return unknown;
    const auto mounts = MountTable::readCurrent();
    if (!mounts)
        return unknown;
    for (const auto& entry : *mounts) {
        if (entry.mountId == extended.stx_mnt_id)
            return entry.fsType == "devtmpfs" ? std::optional<std::string>("a devtmpfs file system")
                                              : std::nullopt;
    }
    return unknown;
}

HelperResult refuseVirtualFileSystem(int fd, const std::string& path)
{
    if (const auto type = virtualFileSystem(fd))
        return HelperError::invalidArgument("Refusing to touch " + path + ": it lies on " + *type +
                                            ", whose files are settings of the kernel, not data");
    return {};
}

bool isSpecialFile(mode_t mode)
{
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
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

// The names in the open folder dirFd, without "." and "..". They are read before anything is
// removed: removing entries while reading a folder may skip some.
bool readNames(int dirFd, std::vector<std::string>& names)
{
    const int listFd = ::dup(dirFd);
    if (listFd < 0)
        return false;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return false;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    errno = error;
    return error == 0;
}

// Deletes everything inside the open folder top (the folder at topPath), depth first, going on after
// a failure so that as much as possible is removed and keeping the first failure for the answer.
// One folder descriptor is open at a time: the walk climbs back with "..", checked to be the folder
// it came down from, so that neither descriptors nor memory grow with more than the depth (a path
// per level would grow with its square).
HelperResult removeContents(UniqueFd top, const struct stat& topInfo, const std::string& topPath)
{
    // One folder on the way down: its name in the folder above, what it is, and its names.
    struct Level
    {
        std::string name;
        dev_t dev = 0;
        ino_t ino = 0;
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    std::vector<Level> levels;
    std::string firstError;
    const auto fail = [&firstError](std::string message) {
        if (firstError.empty())
            firstError = std::move(message);
    };
    const auto result = [&firstError]() -> HelperResult {
        if (firstError.empty())
            return {};
        return HelperError::failed(firstError);
    };
    // The path of name in the deepest folder, for messages; the folders in between are left out
    // when they would make it longer than any path the helper takes.
    const auto shownPath = [&](const std::string& name) {
        std::size_t length = topPath.size() + name.size() + 1;
        for (std::size_t i = 1; i < levels.size(); ++i)
            length += levels[i].name.size() + 1;
        std::string path = topPath;
        if (length <= ArgumentCheck::kMaxPathLength) {
            for (std::size_t i = 1; i < levels.size(); ++i)
                path += "/" + levels[i].name;
        } else {
            path += "/... (" + std::to_string(levels.size() - 1) + " folders) ...";
        }
        return ArgumentCheck::shown(path + "/" + name, 2 * ArgumentCheck::kMaxPathLength);
    };
    // Removes name in the deepest folder (open as dirFd) when it is no folder; opens it and returns
    // its descriptor, one level deeper, when it is a folder to walk into.
    const auto enter = [&](int dirFd, const std::string& name) {
        struct stat info = {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                fail(errorText("Cannot examine", shownPath(name), errno));
            return UniqueFd();
        }
        if (isSpecialFile(info.st_mode)) {
            fail(shownPath(name) + " is a " + fileTypeName(info.st_mode) + "; it was left in place");
            return UniqueFd();
        }
        if (!S_ISDIR(info.st_mode)) {
            if (::unlinkat(dirFd, name.c_str(), 0) != 0 && errno != ENOENT)
                fail(errorText("Cannot delete", shownPath(name), errno));
            return UniqueFd();
        }
        if (isMountRoot(dirFd, name.c_str(), info, levels.back().dev)) {
            fail(shownPath(name) + " is a mount point; it and what is mounted there were left in place");
            return UniqueFd();
        }
        if (levels.size() >= FileOperations::kMaxFolderDepth) {
            fail(shownPath(name) + " lies deeper than " + std::to_string(FileOperations::kMaxFolderDepth) +
                 " nested folders; it was left in place");
            return UniqueFd();
        }
        UniqueFd child(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat opened = {};
        if (!child || ::fstat(child.get(), &opened) != 0 || opened.st_ino != info.st_ino ||
            opened.st_dev != info.st_dev) {
            fail(child ? shownPath(name) + " changed while it was being deleted"
                       : errorText("Cannot open the folder", shownPath(name), errno));
            return UniqueFd();
        }
        Level level{name, info.st_dev, info.st_ino, {}, 0};
        if (!readNames(child.get(), level.names)) {
            fail(errorText("Cannot read the folder", shownPath(name), errno)); // it stays, with its contents
            return UniqueFd();
        }
        levels.push_back(std::move(level));
        return child;
    };

    levels.push_back({std::string(), topInfo.st_dev, topInfo.st_ino, {}, 0});
    if (!readNames(top.get(), levels.back().names))
        fail(errorText("Cannot read the folder", topPath, errno));
    UniqueFd current = std::move(top);
    while (true) {
        Level& level = levels.back();
        if (level.next < level.names.size()) {
            const std::string name = std::move(level.names[level.next++]);
            if (UniqueFd child = enter(current.get(), name))
                current = std::move(child);
            continue;
        }
        if (levels.size() == 1)
            return result(); // the top folder itself is removed by the caller, through its parent
        const Level done = std::move(levels.back());
        levels.pop_back();
        // ".." of a folder this walk entered is the folder above, unless someone moved it away
        // meanwhile; then the walk stops rather than removing names elsewhere.
        UniqueFd parent(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat parentInfo = {};
        if (!parent || ::fstat(parent.get(), &parentInfo) != 0 || parentInfo.st_dev != levels.back().dev ||
            parentInfo.st_ino != levels.back().ino) {
            fail(shownPath(done.name) + " was moved while it was being deleted; the deletion stopped there");
            return result();
        }
        current = std::move(parent);
        if (::unlinkat(current.get(), done.name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            fail(errorText("Cannot delete the folder", shownPath(done.name), errno));
    }
}

} // namespace

Expected<FileOperations::ParentFolder, HelperError> FileOperations::openParent(const std::string& path)
{
    if (const auto checked = ArgumentCheck::checkPath(path); !checked)
        return HelperError::invalidArgument(checked.error());
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
            if (error == ENOENT)
                return ParentFolder{UniqueFd(), std::string(), true};
            if (::fstatat(folder.get(), names[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode))
                return HelperError::invalidArgument("The path leads through the symbolic link " + walked +
                                                    "; links are not followed");
            return HelperError::failed(errorText("Cannot open the folder", walked, error));
        }
        folder = std::move(next);
    }
    return ParentFolder{std::move(folder), names.back(), false};
}

HelperResult FileOperations::changePermissions(const std::string& path, uid_t uid)
{
    const auto opened = openParent(path);
    if (!opened)
        return Unexpected(opened.error());
    if (opened->missing)
        return HelperError::failed(errorText("Cannot open", path, ENOENT));
    const int parent = opened->folder.get();
    const std::string& name = opened->name;
    if (auto checked = refuseVirtualFileSystem(parent, path); !checked)
        return checked;

    struct stat info = {};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (const auto checked = ArgumentCheck::checkPermissionTarget(info.st_mode); !checked)
        return HelperError::invalidArgument(checked.error() + ": " + path);

    // O_NOFOLLOW and O_NONBLOCK: a file swapped for a link or a FIFO since it was examined is not
    // followed or waited on, and the descriptor is checked to be the very file examined.
    UniqueFd file(::openat(parent, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file)
        return HelperError::failed(errorText("Cannot open", path, errno));
    struct stat fileInfo = {};
    if (::fstat(file.get(), &fileInfo) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (!S_ISREG(fileInfo.st_mode) || fileInfo.st_dev != info.st_dev || fileInfo.st_ino != info.st_ino)
        return HelperError::invalidArgument(path + " was replaced while it was being opened");
    // A file mounted over the name (a bind mount) may come from a file system of its own.
    if (auto checked = refuseVirtualFileSystem(file.get(), path); !checked)
        return checked;
    // Another name of the same file may lie anywhere on the volume (a hard link of /etc/shadow in
    // the caller's folder): owning this name would hand over that one too, so such a file is refused.
    if (fileInfo.st_nlink > 1)
        return HelperError::invalidArgument("Refusing to change the permissions of " + path + ": it has " +
                                            std::to_string(fileInfo.st_nlink) +
                                            " hard links, and the others would change with it");

    if (::fchown(file.get(), uid, static_cast<gid_t>(-1)) != 0)
        return HelperError::failed(errorText("Cannot change the owner of", path, errno));
    const mode_t mode = (fileInfo.st_mode & 0777) | S_IRUSR | S_IWUSR;
    if (::fchmod(file.get(), mode) != 0)
        return HelperError::failed(errorText("Cannot change the permissions of", path, errno));
    return {};
}

HelperResult FileOperations::deleteItem(const std::string& path)
{
    const auto opened = openParent(path);
    if (!opened)
        return Unexpected(opened.error());
    if (opened->missing)
        return {}; // nothing exists at the path already
    const int parent = opened->folder.get();
    const std::string& name = opened->name;
    if (auto checked = refuseVirtualFileSystem(parent, path); !checked)
        return checked;

    struct stat info = {};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return {};
        return HelperError::failed(errorText("Cannot examine", path, errno));
    }
    if (isSpecialFile(info.st_mode))
        return HelperError::invalidArgument(std::string("Refusing to delete a ") +
                                            fileTypeName(info.st_mode) + ": " + path +
                                            "; only files, folders and links are deleted");
    if (!S_ISDIR(info.st_mode)) {
        if (::unlinkat(parent, name.c_str(), 0) != 0 && errno != ENOENT)
            return HelperError::failed(errorText("Cannot delete", path, errno));
        return {};
    }

    struct stat parentInfo = {};
    if (::fstat(parent, &parentInfo) != 0)
        return HelperError::failed(errorText("Cannot examine the folder holding", path, errno));
    if (isMountRoot(parent, name.c_str(), info, parentInfo.st_dev))
        return HelperError::invalidArgument(path + " is a mount point; it is not deleted");
    UniqueFd folder(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder)
        return HelperError::failed(errorText("Cannot open the folder", path, errno));
    struct stat folderInfo = {};
    if (::fstat(folder.get(), &folderInfo) != 0 || folderInfo.st_dev != info.st_dev ||
        folderInfo.st_ino != info.st_ino)
        return HelperError::invalidArgument(path + " was replaced while it was being opened");

    if (auto removed = removeContents(std::move(folder), folderInfo, path); !removed)
        return removed;
    if (::unlinkat(parent, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
        return HelperError::failed(errorText("Cannot delete the folder", path, errno));
    return {};
}

} // namespace cv
