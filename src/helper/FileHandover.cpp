#include "helper/FileHandover.h"

#include "common/FileTypeName.h"
#include "common/KernelFileSystem.h"
#include "helper/ArgumentCheck.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace cv {

namespace {

std::string shownPath(const FileOperations::Entry& entry)
{
    return ArgumentCheck::shown(entry.folder == "/" ? "/" + entry.name : entry.folder + "/" + entry.name,
                                2 * ArgumentCheck::kMaxPathLength);
}

std::string errorText(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

bool isExamined(const struct stat& info, const FileOperations::Entry& entry)
{
    return info.st_dev == entry.device && info.st_ino == entry.inode;
}

Unexpected<HelperError> notExamined(const std::string& path)
{
    return HelperError::invalidArgument(path + " is no longer the file that was examined; it is left alone");
}

HelperResult refuseKernelFile(int fd, const std::string& path)
{
    if (const auto kernel = KernelFileSystem::of(fd))
        return HelperError::invalidArgument("Refusing to touch " + path + ": it lies on " +
                                            kernel->describe() +
                                            ", whose files are settings of the kernel, not data");
    return {};
}

// The folder of the entry, opened link-free, on a file system that holds data.
Expected<UniqueFd, HelperError> openEntryFolder(const FileOperations::Entry& entry, const std::string& path)
{
    if (const auto checked = ArgumentCheck::checkPath(entry.folder); !checked)
        return HelperError::invalidArgument(checked.error());
    if (const auto checked = ArgumentCheck::checkName(entry.name); !checked)
        return HelperError::invalidArgument(checked.error());
    auto folder = FileOperations::openFolder(entry.folder);
    if (!folder)
        return Unexpected(folder.error());
    if (auto checked = refuseKernelFile(folder->get(), path); !checked)
        return Unexpected(checked.error());
    return folder;
}

// What a regular file must be to be handed out, checked on its descriptor.
HelperResult checkOpenedFile(int fd, const struct stat& info, const std::string& path,
                             const SystemFolders& systemFolders)
{
    if (info.st_mode & (S_ISUID | S_ISGID))
        return HelperError::invalidArgument("Refusing to hand out " + path +
                                            " for writing: it has set-user-ID or set-group-ID bits");
    if (auto checked = refuseKernelFile(fd, path); !checked)
        return checked;
    // Another name of the same file may lie anywhere on the volume (a hard link of a system file
    // in the caller's folder): writing through this one would change that one too.
    if (info.st_nlink > 1)
        return HelperError::invalidArgument("Refusing to hand out " + path + " for writing: it has " +
                                            std::to_string(info.st_nlink) +
                                            " hard links, and the others would change with it");
    return systemFolders.refuseInside(fd, path);
}

} // namespace

Expected<UniqueFd, HelperError> FileHandover::open(const FileOperations::Entry& entry) const
{
    const std::string path = shownPath(entry);
    auto folder = openEntryFolder(entry, path);
    if (!folder)
        return Unexpected(folder.error());
    struct stat info = {};
    if (::fstatat(folder->get(), entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (const auto checked = ArgumentCheck::checkPermissionTarget(info.st_mode); !checked)
        return HelperError::invalidArgument(checked.error() + ": " + path);
    if (!isExamined(info, entry))
        return notExamined(path);
    // O_NOFOLLOW and O_NONBLOCK: a file swapped for a link or a FIFO since it was examined is not
    // followed or waited on; the descriptor is then checked to be the very file examined.
    UniqueFd file(
        ::openat(folder->get(), entry.name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file)
        return HelperError::failed(errorText("Cannot open", path, errno));
    struct stat opened = {};
    if (::fstat(file.get(), &opened) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (!S_ISREG(opened.st_mode) || !isExamined(opened, entry))
        return notExamined(path);
    if (auto checked = checkOpenedFile(file.get(), opened, path, m_systemFolders); !checked)
        return Unexpected(checked.error());
    // The caller writes its passes without waiting on each: the descriptor blocks as usual.
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return HelperError::failed(errorText("Cannot prepare the descriptor of", path, errno));
    return file;
}

HelperResult FileHandover::check(const FileOperations::Entry& entry) const
{
    const auto file = open(entry);
    if (!file)
        return Unexpected(file.error());
    return {};
}

HelperResult FileHandover::checkListed(const FileOperations::Entry& entry) const
{
    const std::string path = shownPath(entry);
    auto folder = openEntryFolder(entry, path);
    if (!folder)
        return Unexpected(folder.error());
    UniqueFd item(::openat(folder->get(), entry.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info = {};
    if (!item || ::fstat(item.get(), &info) != 0)
        return HelperError::failed(errorText("Cannot examine", path, errno));
    if (!isExamined(info, entry))
        return notExamined(path);
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return HelperError::invalidArgument(std::string("Refusing a ") + fileTypeName(info.st_mode) + ": " +
                                            path + "; only files, folders and links are shredded");
    if (info.st_mode & (S_ISUID | S_ISGID) && S_ISREG(info.st_mode))
        return HelperError::invalidArgument("Refusing " + path + ": it has set-user-ID or set-group-ID bits");
    if (auto checked = refuseKernelFile(item.get(), path); !checked)
        return checked;
    return m_systemFolders.refuseInside(item.get(), path);
}

} // namespace cv
