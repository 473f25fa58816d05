#include "helper/FileOperations.h"

#include "common/FileTypeName.h"
#include "common/KernelFileSystem.h"
#include "helper/ArgumentCheck.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

std::string errorText(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

// The one guard of the program against writing into the kernel (KernelFileSystem), as the engine
// uses it: what cannot be told counts as the kernel's.
HelperResult refuseVirtualFileSystem(int fd, const std::string& path)
{
    if (const auto kernel = KernelFileSystem::of(fd))
        return HelperError::invalidArgument("Refusing to touch " + path + ": it lies on " +
                                            kernel->describe() +
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

// Whether the open folder dirFd holds any entry but "." and "..": the reading stops at the first
// name, so that a folder of a hundred thousand entries costs no more than one of a single entry.
// Nothing when the folder cannot be read (errno tells why).
std::optional<bool> holdsAnything(int dirFd)
{
    const int listFd = ::dup(dirFd);
    if (listFd < 0)
        return std::nullopt;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return std::nullopt;
    }
    errno = 0;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            found = true;
            break;
        }
        errno = 0;
    }
    const int error = found ? 0 : errno;
    ::closedir(dir);
    errno = error;
    if (error != 0)
        return std::nullopt;
    return found;
}

// The entry's path, as it may be shown in messages.
std::string shownPath(const FileOperations::Entry& entry)
{
    return ArgumentCheck::shown(entry.folder == "/" ? "/" + entry.name : entry.folder + "/" + entry.name,
                                2 * ArgumentCheck::kMaxPathLength);
}

HelperResult checkArguments(const FileOperations::Entry& entry)
{
    if (const auto checked = ArgumentCheck::checkPath(entry.folder); !checked)
        return HelperError::invalidArgument(checked.error());
    if (const auto checked = ArgumentCheck::checkName(entry.name); !checked)
        return HelperError::invalidArgument(checked.error());
    return {};
}

bool isExamined(const struct stat& info, const FileOperations::Entry& entry)
{
    return info.st_dev == entry.device && info.st_ino == entry.inode;
}

Unexpected<HelperError> notExamined(const std::string& path)
{
    return HelperError::invalidArgument(path + " is no longer the file that was examined; it is left alone");
}

// The folder holding an entry, opened after its arguments are checked, refused on a virtual file
// system: the first steps of every call on one examined entry.
Expected<UniqueFd, HelperError> openEntryFolder(const FileOperations::Entry& entry, const std::string& path)
{
    if (auto checked = checkArguments(entry); !checked)
        return Unexpected(checked.error());
    auto folder = FileOperations::openFolder(entry.folder);
    if (!folder)
        return Unexpected(folder.error());
    if (auto checked = refuseVirtualFileSystem(folder->get(), path); !checked)
        return Unexpected(checked.error());
    return folder;
}

// The entry to delete, opened and checked on its descriptor to be the one examined.
struct OpenedEntry
{
    UniqueFd folder;
    UniqueFd item; // O_PATH for a file or link, the folder itself for a folder
    struct stat info = {};
    bool gone = false; // nothing is at the name any more
};

Expected<OpenedEntry, HelperError> openForDeletion(const FileOperations::Entry& entry)
{
    const std::string path = shownPath(entry);
    auto folder = openEntryFolder(entry, path);
    if (!folder)
        return Unexpected(folder.error());
    OpenedEntry opened;
    opened.folder = std::move(*folder);
    const int parent = opened.folder.get();

    struct stat info = {};
    if (::fstatat(parent, entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return HelperError::failed(errorText("Cannot examine", path, errno));
        opened.gone = true;
        return opened;
    }
    if (isSpecialFile(info.st_mode))
        return HelperError::invalidArgument(std::string("Refusing to delete a ") +
                                            fileTypeName(info.st_mode) + ": " + path +
                                            "; only files, folders and links are deleted");
    if (!isExamined(info, entry))
        return notExamined(path);
    const bool isFolder = S_ISDIR(info.st_mode);
    struct stat parentInfo = {};
    if (::fstat(parent, &parentInfo) != 0)
        return HelperError::failed(errorText("Cannot examine the folder holding", path, errno));
    if (isMountRoot(parent, entry.name.c_str(), info, parentInfo.st_dev))
        return HelperError::invalidArgument(path + " is a mount point; it is not deleted");

    const int flags =
        isFolder ? O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC : O_PATH | O_NOFOLLOW | O_CLOEXEC;
    opened.item = UniqueFd(::openat(parent, entry.name.c_str(), flags));
    if (!opened.item)
        return HelperError::failed(errorText("Cannot open", path, errno));
    if (::fstat(opened.item.get(), &opened.info) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (!isExamined(opened.info, entry) || S_ISDIR(opened.info.st_mode) != isFolder)
        return notExamined(path);
    if (isFolder) {
        // Removing a folder never removes what it holds: a folder that is not empty stays.
        const std::optional<bool> holds = holdsAnything(opened.item.get());
        if (!holds)
            return HelperError::failed(errorText("Cannot read the folder", path, errno));
        if (*holds)
            return HelperError::failed(path + " is not empty; it stays, with what it holds");
    }
    return opened;
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

namespace {

// The entry to rename, checked on an O_PATH descriptor to be the one examined, in its folder.
Expected<OpenedEntry, HelperError> openForRenaming(const FileOperations::Entry& entry,
                                                   const std::string& newName)
{
    if (auto checked = checkArguments(entry); !checked)
        return Unexpected(checked.error());
    if (const auto checked = ArgumentCheck::checkName(newName); !checked)
        return HelperError::invalidArgument("The new name: " + checked.error());
    const std::string path = shownPath(entry);
    auto folder = openEntryFolder(entry, path);
    if (!folder)
        return Unexpected(folder.error());
    OpenedEntry opened;
    opened.folder = std::move(*folder);
    const int parent = opened.folder.get();
    opened.item = UniqueFd(::openat(parent, entry.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!opened.item || ::fstat(opened.item.get(), &opened.info) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (isSpecialFile(opened.info.st_mode))
        return HelperError::invalidArgument(std::string("Refusing to rename a ") +
                                            fileTypeName(opened.info.st_mode) + ": " + path);
    if (!isExamined(opened.info, entry))
        return notExamined(path);
    struct stat parentInfo = {};
    if (::fstat(parent, &parentInfo) != 0)
        return HelperError::failed(errorText("Cannot examine the folder holding", path, errno));
    if (S_ISDIR(opened.info.st_mode) &&
        isMountRoot(parent, entry.name.c_str(), opened.info, parentInfo.st_dev))
        return HelperError::invalidArgument(path + " is a mount point; it is not renamed");
    struct stat existing = {};
    if (::fstatat(parent, newName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return HelperError::failed(errorText("Cannot rename", path, EEXIST));
    return opened;
}

} // namespace

Expected<UniqueFd, HelperError> FileOperations::openFolder(const std::string& path)
{
    if (const auto checked = ArgumentCheck::checkPath(path); !checked)
        return HelperError::invalidArgument(checked.error());
    UniqueFd folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return HelperError::failed(errorText("Cannot open", "/", errno));
    std::string walked;
    for (const auto& name : ArgumentCheck::components(path)) {
        walked += "/" + name;
        UniqueFd next(::openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            const int error = errno;
            struct stat info = {};
            if (::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode))
                return HelperError::invalidArgument("The path leads through the symbolic link " +
                                                    ArgumentCheck::shown(walked) +
                                                    "; links are not followed");
            return HelperError::failed(
                errorText("Cannot open the folder", ArgumentCheck::shown(walked), error));
        }
        folder = std::move(next);
    }
    return folder;
}

namespace {

Unexpected<HelperError> missing(const std::string& path)
{
    return HelperError::failed(path + " is missing; nothing was deleted");
}

} // namespace

HelperResult FileOperations::checkDeleteEntry(const Entry& entry)
{
    const auto opened = openForDeletion(entry);
    if (!opened)
        return Unexpected(opened.error());
    if (opened->gone)
        return missing(shownPath(entry));
    return {};
}

HelperResult FileOperations::deleteEntry(const Entry& entry)
{
    auto opened = openForDeletion(entry);
    if (!opened)
        return Unexpected(opened.error());
    const std::string path = shownPath(entry);
    if (opened->gone)
        return missing(path);
    const bool isFolder = S_ISDIR(opened->info.st_mode);
    // The kernel removes by name only: the name is looked at once more on the folder's descriptor
    // held since the checks, right before it is removed through that same descriptor, so that an
    // entry swapped in meanwhile (a folder emptiness check may take a while) is left alone.
    struct stat now = {};
    if (::fstatat(opened->folder.get(), entry.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? missing(path)
                               : HelperError::failed(errorText("Cannot examine", path, errno));
    if (!isExamined(now, entry) || S_ISDIR(now.st_mode) != isFolder)
        return notExamined(path);
    // One entry, never what lies in it: rmdir fails on a folder that holds anything, also on one
    // that was filled since it was looked at.
    if (::unlinkat(opened->folder.get(), entry.name.c_str(), isFolder ? AT_REMOVEDIR : 0) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return missing(path);
        if (error == ENOTEMPTY || error == EEXIST)
            return HelperError::failed(path + " is not empty; it stays, with what it holds");
        return HelperError::failed(
            errorText(isFolder ? "Cannot delete the folder" : "Cannot delete", path, error));
    }
    // The name was checked on a descriptor before; should another file have been put under it in
    // the moment between, the examined file still has its links, and that is said.
    struct stat after = {};
    const bool replaced = ::fstat(opened->item.get(), &after) == 0 &&
                          (isFolder ? after.st_nlink != 0 : after.st_nlink >= opened->info.st_nlink);
    if (replaced)
        return HelperError::failed(path +
                                   " was replaced just before it was deleted; the other entry was removed");
    return {};
}

HelperResult FileOperations::checkRenameEntry(const Entry& entry, const std::string& newName)
{
    const auto opened = openForRenaming(entry, newName);
    if (!opened)
        return Unexpected(opened.error());
    return {};
}

HelperResult FileOperations::renameEntry(const Entry& entry, const std::string& newName)
{
    const auto opened = openForRenaming(entry, newName);
    if (!opened)
        return Unexpected(opened.error());
    const std::string path = shownPath(entry);
    const int folder = opened->folder.get();
    if (::renameat2(folder, entry.name.c_str(), folder, newName.c_str(), RENAME_NOREPLACE) != 0)
        return HelperError::failed(errorText("Cannot rename", path, errno));
    // Checked on a descriptor before; should another entry have been put under the name in the
    // moment between, it is put back and that is said.
    struct stat renamed = {};
    if (::fstatat(folder, newName.c_str(), &renamed, AT_SYMLINK_NOFOLLOW) != 0 ||
        !isExamined(renamed, entry)) {
        ::renameat2(folder, newName.c_str(), folder, entry.name.c_str(), RENAME_NOREPLACE);
        return notExamined(path);
    }
    return {};
}

} // namespace cv
