#include "targets/PathCollectionFactory.h"

#include "common/Log.h"
#include "common/MountTable.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "targets/FolderWalker.h"
#include "targets/VolumeProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace cv {

namespace {

struct Totals
{
    std::int64_t size = 0;
    std::uint64_t files = 0;
    std::uint64_t hidden = 0;
    std::uint64_t folders = 0;
    std::uint64_t others = 0; // links and special files

    void addTo(PathCollection& collection) const
    {
        collection.setTotalSize(collection.totalSize() + size);
        collection.setFileCount(collection.fileCount() + files);
        collection.setHiddenCount(collection.hiddenCount() + hidden);
        collection.setFolderCount(collection.folderCount() + folders);
        collection.setSymlinkCount(collection.symlinkCount() + others);
    }
};

// One entry's share in a folder's content totals: its size, counted when it is not empty.
void addContent(TreeItem* folder, std::int64_t size)
{
    if (!folder || size == 0)
        return;
    folder->setTotalSize(folder->totalSize() + size);
    folder->setTotalCount(folder->totalCount() + 1);
}

} // namespace

std::unique_ptr<PathCollection>
PathCollectionFactory::createPathCollection(std::vector<std::string> paths) const
{
    auto collection = std::make_unique<PathCollection>();
    collection->setPaths(std::move(paths));
    updatePathCollection(*collection);
    return collection;
}

void PathCollectionFactory::updatePathCollection(PathCollection& collection) const
{
    collection.resetCounts();
    if (auto folded = foldedPaths(collection.paths()); folded.size() != collection.paths().size())
        collection.setPaths(std::move(folded));
    const PreparedExcludes excludes(collection.excludes());
    // The mount point of a mounted volume is accounted with the volume's used space, not walked.
    const VolumeProbe volumes = VolumeProbe::system();
    for (const auto& path : collection.paths()) {
        if (volumes.isVolume(path))
            updatePathCollectionForVolume(collection, path);
        else
            scanPath(collection, path, excludes);
    }
    collection.setVolumes(TargetVolume::forPaths(collection.paths()));
}

void PathCollectionFactory::updatePathCollectionForPath(PathCollection& collection,
                                                        const std::string& path) const
{
    scanPath(collection, path, PreparedExcludes(collection.excludes()));
}

void PathCollectionFactory::scanPath(PathCollection& collection, const std::string& path,
                                     const PreparedExcludes& excludes) const
{
    auto root = std::make_unique<TreeItem>();
    root->setPath(path);
    struct stat info;
    const bool examined = ::lstat(path.c_str(), &info) == 0;
    if (!examined || !S_ISDIR(info.st_mode)) {
        // A file, link, special file or missing path counts as one file. A link is never
        // followed, so it brings no size: the job renames and removes the link, nothing more.
        const bool excluded = excludes.covers(path);
        const std::int64_t size = examined && S_ISREG(info.st_mode) ? info.st_size : 0;
        if (!excluded) {
            collection.setFileCount(collection.fileCount() + 1);
            collection.setTotalSize(collection.totalSize() + size);
        }
        root->setTotalSize(size);
        root->setDeselected(excluded);
        collection.addTreeItem(std::move(root));
        return;
    }

    root->setIsFolder(true);
    TreeItem* rootItem = collection.addTreeItem(std::move(root));
    UniqueFd fd(FolderWalker::openFolder(path));
    struct stat opened;
    if (!fd || ::fstat(fd.get(), &opened) != 0 || opened.st_dev != info.st_dev ||
        opened.st_ino != info.st_ino) {
        logMessage("Cannot scan ", path, ": ", fd ? "it changed while it was opened" : std::strerror(errno));
        return;
    }

    // The root itself is never deselected, but an exclude at or above it covers all below it.
    // Each entry is looked up by its name from its folder's position, never by its whole path.
    std::vector<PreparedExcludes::Position> positions{excludes.at(path)};
    TreeItem* level1 = nullptr; // the level-1 and level-2 folders the walk is in, if any
    TreeItem* level2 = nullptr;
    Totals totals;

    FolderWalker walker;
    walker.walk(fd.get(), path, [&](const FolderWalker::Entry& entry) {
        const std::size_t depth = entry.depth;
        if (depth == 1)
            level1 = nullptr;
        if (depth <= 2)
            level2 = nullptr;
        if (positions.size() <= depth)
            positions.resize(depth + 1);
        positions[depth] = excludes.child(positions[depth - 1], entry.name);
        const bool excluded = positions[depth].covered();
        const mode_t mode = entry.info.st_mode;

        if (S_ISLNK(mode)) {
            ++totals.others;
            return false;
        }
        const std::int64_t size = S_ISREG(mode) ? entry.info.st_size : 0;
        if (!excluded)
            totals.size += size;
        rootItem->setTotalSize(rootItem->totalSize() + size);
        if (depth >= 2)
            addContent(level1, size);
        if (depth >= 3)
            addContent(level2, size);

        const bool hidden = entry.name.front() == '.';
        if (hidden && !excluded)
            ++totals.hidden;
        const bool isFile = S_ISREG(mode);
        const bool isFolder = S_ISDIR(mode);
        if (!isFile && !isFolder) {
            // FIFO, socket or device: counted with the links, left out of the tree.
            if (!excluded)
                ++totals.others;
            return false;
        }
        if (!excluded)
            ++(isFile ? totals.files : totals.folders);

        if (depth <= 2) {
            auto item = std::make_unique<TreeItem>();
            item->setPath(std::string(entry.path));
            std::string_view parentPath = entry.path.substr(0, entry.path.size() - entry.name.size() - 1);
            item->setParentPath(parentPath.empty() ? std::string("/") : std::string(parentPath));
            item->setLevel(depth);
            item->setTotalSize(size);
            item->setDeselected(excluded);
            item->setIsHidden(hidden);
            item->setIsFile(isFile);
            item->setIsFolder(isFolder);
            TreeItem* parent = depth == 1 ? rootItem : level1;
            TreeItem* added = parent->addChild(std::move(item));
            if (isFolder)
                (depth == 1 ? level1 : level2) = added;
        }
        return true;
    });
    totals.addTo(collection);
}

void PathCollectionFactory::updatePathCollectionForVolume(PathCollection& collection,
                                                          const std::string& mountPath) const
{
    // Used space is what the files of the volume occupy; blocks reserved for root count as free.
    struct statvfs info;
    if (::statvfs(mountPath.c_str(), &info) == 0) {
        const auto used = static_cast<std::int64_t>((info.f_blocks - info.f_bfree) * info.f_frsize);
        collection.setTotalSize(collection.totalSize() + used);
    } else {
        logMessage("Cannot read the capacity of ", mountPath, ": ", std::strerror(errno));
    }
    auto root = std::make_unique<TreeItem>();
    root->setPath(mountPath);
    root->setIsVolume(true);
    collection.addTreeItem(std::move(root));
}

std::unique_ptr<PathCollection>
PathCollectionFactory::mergePathCollections(const std::vector<const PathCollection*>& collections)
{
    auto merged = std::make_unique<PathCollection>();
    std::vector<std::string> paths;
    std::vector<std::pair<std::string, std::string>> records;
    std::vector<std::string> whole;
    for (const PathCollection* collection : collections) {
        merged->setTotalSize(merged->totalSize() + collection->totalSize());
        merged->setFileCount(merged->fileCount() + collection->fileCount());
        merged->setFolderCount(merged->folderCount() + collection->folderCount());
        merged->setSymlinkCount(merged->symlinkCount() + collection->symlinkCount());
        merged->setHiddenCount(merged->hiddenCount() + collection->hiddenCount());
        paths.insert(paths.end(), collection->paths().begin(), collection->paths().end());
        merged->excludes().insert(merged->excludes().end(), collection->excludes().begin(),
                                  collection->excludes().end());
        records.insert(records.end(), collection->records().begin(), collection->records().end());
        whole.insert(whole.end(), collection->wholeTargets().begin(), collection->wholeTargets().end());
    }
    merged->setPaths(std::move(paths));
    merged->setRecords(std::move(records));
    merged->setWholeTargets(std::move(whole));
    if (foldedPaths(merged->paths()).size() != merged->paths().size())
        PathCollectionFactory().updatePathCollection(*merged);
    return merged;
}

std::vector<std::string> PathCollectionFactory::foldedPaths(const std::vector<std::string>& paths)
{
    const std::unordered_set<std::string_view> all(paths.begin(), paths.end());
    std::optional<std::vector<MountEntry>> mounts; // read once, and only when a path lies inside another
    std::unordered_set<std::string_view> kept;
    std::vector<std::string> folded;
    folded.reserve(paths.size());
    for (const std::string& path : paths) {
        // The nearest selected folder above, looked up folder by folder: a drop of many files
        // stays linear.
        std::string_view outer;
        for (std::string_view above = path; outer.empty();) {
            const auto slash = above.rfind('/');
            if (slash == std::string_view::npos || above == "/")
                break;
            above = slash == 0 ? std::string_view("/") : above.substr(0, slash);
            if (all.contains(above))
                outer = above;
        }
        // A walk of the outer path never enters another mount, so a path at or below a mount point
        // inside it is not covered by it and stays a target of its own.
        bool inside = !outer.empty();
        if (inside) {
            if (!mounts)
                mounts = MountTable::read();
            inside = std::none_of(mounts->begin(), mounts->end(), [&](const MountEntry& mount) {
                return mount.mountPoint != outer && isAtOrBelow(mount.mountPoint, outer) &&
                       isAtOrBelow(path, mount.mountPoint);
            });
        }
        if (!inside && kept.insert(path).second)
            folded.push_back(path);
    }
    return folded;
}

} // namespace cv
