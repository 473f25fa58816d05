#include "tempdata/TrashCan.h"

#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "targets/FolderWalker.h"
#include "targets/PathCollectionFactory.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr std::string_view kRecordSuffix = ".trashinfo";

// The names in the open folder fd, "." and ".." left out; none when it cannot be read.
std::vector<std::string> namesIn(int fd)
{
    std::vector<std::string> names;
    FolderWalker::DirectoryReader reader;
    std::string listing; // the names, each ended by a NUL byte
    if (fd < 0 || FolderWalker::readNames(fd, listing, reader) != 0)
        return names;
    for (std::size_t offset = 0; offset < listing.size();) {
        names.emplace_back(listing.data() + offset);
        offset += names.back().size() + 1;
    }
    return names;
}

// The folder name inside the trash folder trashFd, never through a link: a link in its place
// (`info` pointing elsewhere) would have files outside the Trash taken for the Trash's.
UniqueFd openInside(int trashFd, const char* name)
{
    if (trashFd < 0)
        return UniqueFd();
    UniqueFd fd(::openat(trashFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd && errno == ELOOP)
        logMessage("The Trash's ", name, " folder is a link; it is left alone");
    return fd;
}

// Whether name in the open folder fd is a regular file (not a link); false when fd is not open.
bool isRegularIn(int fd, const std::string& name)
{
    struct stat info;
    return fd >= 0 && ::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

// Whether anything is at path, a link included (the refusal then names it).
bool exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::string homeTrashFolder()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/')
        return joinPath(std::string(withoutTrailingSlashes(data)), "Trash");
    std::string home;
    if (const char* value = std::getenv("HOME"); value && *value)
        home = value;
    else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        home = entry->pw_dir;
    return joinPath(std::string(withoutTrailingSlashes(home.empty() ? "/" : home)), ".local/share/Trash");
}

// Counts a regular file into the collection's totals (a record is shredded, so it is counted).
void countFile(PathCollection& collection, const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    collection.setFileCount(collection.fileCount() + 1);
    collection.setTotalSize(collection.totalSize() + info.st_size);
}

} // namespace

std::optional<std::string> TrashCan::refusal(const std::string& folder, uid_t uid)
{
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0)
        return folder + ": " + std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return folder + ": the trash folder is a link; links are never followed";
    if (!S_ISDIR(info.st_mode))
        return folder + ": the trash folder is not a folder";
    if (info.st_uid != uid)
        return folder + ": the trash folder is not the user's";
    return std::nullopt;
}

TrashCan::Found TrashCan::find(uid_t uid, const std::string& homeTrash, const std::vector<MountEntry>& mounts)
{
    Found found;
    std::vector<std::string> candidates;
    if (exists(homeTrash))
        candidates.push_back(homeTrash);
    const std::string id = std::to_string(uid);
    for (const MountEntry& mount : mounts) {
        if (MountTable::isHidden(mount))
            continue;
        const std::string top = std::string(withoutTrailingSlashes(mount.mountPoint));
        // $topdir/.Trash is shared by all users: only a sticky folder, never a link, is trusted
        // to hold this user's folder.
        const std::string shared = joinPath(top.empty() ? "/" : top, ".Trash");
        struct stat info;
        if (::lstat(shared.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0) {
                if (exists(joinPath(shared, id)))
                    candidates.push_back(joinPath(shared, id));
            } else {
                found.refused.push_back(shared +
                                        ": not a sticky folder (or a link): its trash is left alone");
            }
        }
        const std::string own = joinPath(top.empty() ? "/" : top, ".Trash-" + id);
        if (exists(own))
            candidates.push_back(own);
    }
    for (const std::string& folder : candidates) {
        if (std::find(found.folders.begin(), found.folders.end(), folder) != found.folders.end())
            continue;
        if (auto why = refusal(folder, uid))
            found.refused.push_back(*why);
        else
            found.folders.push_back(folder);
    }
    return found;
}

TrashCan::Found TrashCan::find()
{
    if (const char* named = std::getenv(kFolderVariable)) {
        Found found;
        std::string_view rest = named;
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            const std::string folder(rest.substr(0, colon));
            if (!folder.empty() && folder.front() == '/') {
                if (auto why = refusal(folder, ::getuid()))
                    found.refused.push_back(*why);
                else
                    found.folders.push_back(folder);
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return found;
    }
    return find(::getuid(), homeTrashFolder(), MountTable::read());
}

std::shared_ptr<PathCollection> TrashCan::collect(const std::vector<std::string>& folders)
{
    std::vector<std::string> targets;
    std::vector<std::pair<std::string, std::string>> records;
    for (const std::string& folder : folders) {
        // Every part of the Trash opened from the trash folder's descriptor, none through a link.
        const UniqueFd trashFd(FolderWalker::openFolder(folder));
        const UniqueFd filesFd = openInside(trashFd.get(), "files");
        const UniqueFd infoFd = openInside(trashFd.get(), "info");
        const UniqueFd expungedFd = openInside(trashFd.get(), "expunged");
        struct stat filesInfo;
        const bool noFiles = !filesFd && trashFd &&
                             ::fstatat(trashFd.get(), "files", &filesInfo, AT_SYMLINK_NOFOLLOW) != 0 &&
                             errno == ENOENT;
        const std::string files = joinPath(folder, "files");
        const std::string info = joinPath(folder, "info");
        for (const std::string& name : namesIn(filesFd.get())) {
            const std::string item = joinPath(files, name);
            targets.push_back(item);
            const std::string recordName = name + std::string(kRecordSuffix);
            if (isRegularIn(infoFd.get(), recordName))
                records.emplace_back(item, joinPath(info, recordName));
        }
        // A record whose item is gone records only where a file was: it goes too.
        for (const std::string& name : namesIn(infoFd.get())) {
            if (name.size() <= kRecordSuffix.size() || !std::string_view(name).ends_with(kRecordSuffix))
                continue;
            const std::string itemName = name.substr(0, name.size() - kRecordSuffix.size());
            struct stat itemInfo;
            const bool itemGone =
                filesFd ? ::fstatat(filesFd.get(), itemName.c_str(), &itemInfo, AT_SYMLINK_NOFOLLOW) != 0 &&
                              errno == ENOENT
                        : noFiles;
            if (itemGone)
                targets.push_back(joinPath(info, name));
        }
        const std::string expunged = joinPath(folder, "expunged");
        for (const std::string& name : namesIn(expungedFd.get()))
            targets.push_back(joinPath(expunged, name));
        // The sizes of trashed folders, cached for the file manager: stale once they go.
        if (isRegularIn(trashFd.get(), "directorysizes"))
            targets.push_back(joinPath(folder, "directorysizes"));
    }
    auto collection = std::make_shared<PathCollection>();
    collection->setPaths(std::move(targets));
    if (!collection->paths().empty())
        PathCollectionFactory().updatePathCollection(*collection);
    for (const auto& [item, record] : records)
        countFile(*collection, record);
    collection->setRecords(std::move(records));
    collection->setWholeTargets(collection->paths());
    return collection;
}

} // namespace cv
