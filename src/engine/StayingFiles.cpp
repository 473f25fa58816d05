#include "engine/StayingFiles.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "engine/ShredRecord.h"
#include "targets/FolderWalker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unordered_map>

namespace cv {

bool StayingFiles::namesItsFile(const ShredItem& item)
{
    struct stat info;
    return ::lstat(item.path.str().c_str(), &info) == 0 && ShredRecord::idOf(info) == ShredRecord::idOf(item);
}

void StayingFiles::locate(std::vector<ShredItem>& history, const std::vector<std::string>& targetsNow)
{
    // Without a rename phase (a job that keeps its files, a cancel before it) nothing was moved.
    if (targetsNow.empty())
        return;
    // The rows of files that stay and whose path names another file now, or none.
    std::unordered_map<ShredRecord::FileId, std::vector<ShredItem*>, ShredRecord::FileIdHash> lost;
    for (ShredItem& item : history) {
        const bool gone = item.state == ShredItem::State::Deleted || item.state == ShredItem::State::NameKept;
        if (item.kind == ShredItem::Kind::File && !gone && item.inode != 0 && !namesItsFile(item))
            lost[ShredRecord::idOf(item)].push_back(&item);
    }
    if (lost.empty())
        return;
    // Each name found gives one row of that file its place (a file with several names has a row
    // for each).
    const auto found = [&](const struct stat& info, std::string_view path) {
        if (!S_ISREG(info.st_mode))
            return;
        const auto rows = lost.find(ShredRecord::idOf(info));
        if (rows == lost.end() || rows->second.empty())
            return;
        ShredItem& item = *rows->second.front();
        rows->second.erase(rows->second.begin());
        item.formerPath = std::move(item.path);
        item.path = ItemPath(std::string(path));
        logMessage("The file ", item.formerPath, " stays, now at ", item.path);
    };
    for (const std::string& target : targetsNow) {
        struct stat info;
        bool mountRoot = false;
        if (FolderWalker::examine(AT_FDCWD, target.c_str(), info, mountRoot) != 0 || mountRoot)
            continue;
        if (!S_ISDIR(info.st_mode)) {
            found(info, target);
            continue;
        }
        UniqueFd folderFd(FolderWalker::openFolder(target));
        if (!folderFd)
            continue;
        FolderWalker walker;
        walker.walk(
            folderFd.get(), target, [](const FolderWalker::Entry& entry) { return !entry.mountRoot; },
            [&](const FolderWalker::Entry& entry) { found(entry.info, entry.path); });
    }
    for (const auto& [id, rows] : lost) {
        for (const ShredItem* item : rows)
            logMessage("The file ", item->path, " stays, but was not found under the targets");
    }
}

} // namespace cv
