#include "engine/ProtectedEntries.h"

#include "common/KernelFileSystem.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

// Whether the process may change what the folder dirFd holds (add, rename, remove entries).
bool mayChangeFolder(int dirFd, const char* folder)
{
    return ::faccessat(dirFd, folder, W_OK | X_OK, AT_EACCESS) == 0;
}

// Whether the regular file with one name needs the helper to be opened for writing.
bool needsOpening(int dirFd, const char* name, const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_nlink == 1 && ::faccessat(dirFd, name, W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EPERM);
}

} // namespace

std::vector<ProtectedEntries::Listed> ProtectedEntries::collect(const std::vector<std::string>& targets,
                                                                const PreparedExcludes& excludes,
                                                                FolderWalker::DirectoryReader* reader)
{
    std::vector<Listed> listed;
    for (const std::string& target : targets)
        collectTarget(std::string(withoutTrailingSlashes(target)), excludes, reader, listed);
    return listed;
}

void ProtectedEntries::collectTarget(const std::string& path, const PreparedExcludes& excludes,
                                     FolderWalker::DirectoryReader* reader, std::vector<Listed>& listed)
{
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0 || mountRoot ||
        KernelFileSystem::atPath(path))
        return;
    const PreparedExcludes::Position position = excludes.at(path);
    const std::string parent = splitPath(path).parent;
    if (!position.keeps() && (!mayChangeFolder(AT_FDCWD, parent.empty() ? "." : parent.c_str()) ||
                              needsOpening(AT_FDCWD, path.c_str(), info)))
        listed.emplace_back(path, info);
    if (!S_ISDIR(info.st_mode) || position.covered())
        return;
    UniqueFd rootFd(FolderWalker::openFolder(path));
    if (!rootFd)
        return; // the job names the folder it cannot read
    FolderWalker walker;
    walker.setDirectoryReader(reader);
    // Whether the process may change the folder being listed, looked up once per folder.
    std::string lastFolder;
    bool lastChangeable = true;
    const auto folderChangeable = [&](const FolderWalker::Entry& entry) {
        const std::string_view folder = entry.path.substr(0, entry.path.size() - entry.name.size());
        if (lastFolder.empty() || lastFolder != folder) {
            lastFolder = folder;
            lastChangeable = mayChangeFolder(entry.dirFd, ".");
        }
        return lastChangeable;
    };
    walker.walk(rootFd.get(), path, [&](const FolderWalker::Entry& entry) {
        const PreparedExcludes::Position at = excludes.at(entry.path);
        if (at.covered() || entry.mountRoot)
            return false;
        if (!at.keeps() &&
            (!folderChangeable(entry) || needsOpening(entry.dirFd, entry.name.data(), entry.info)))
            listed.emplace_back(std::string(entry.path), entry.info);
        return S_ISDIR(entry.info.st_mode);
    });
}

} // namespace cv
