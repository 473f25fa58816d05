#pragma once

#include "targets/PathCollection.h"
#include "targets/PreparedExcludes.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace cv {

// Turns a selection into a filled PathCollection: walks every selected folder once, counting
// sizes and entries, honouring the user's excludes, and builds the three-level tree the file
// explorer shows; a selected volume counts with its used space. Also merges collections.
//
// Walks never follow links and never leave the selected folder's file system. Sizes are logical
// sizes of regular files; folders, links and special files have none of their own. An exclude
// covers its path and everything below it on path-component boundaries (excluding /x/ab leaves
// /x/abc selected), so the totals match what a job shreds.
//
// Plain synchronous calls without Qt; the window runs them on a worker thread. A factory keeps no
// state between calls.
class PathCollectionFactory
{
public:
    // A new collection of these paths, scanned.
    std::unique_ptr<PathCollection> createPathCollection(std::vector<std::string> paths) const;
    // Rescans a collection in place: counters and trees are replaced, excludes kept, and paths kept
    // but folded (foldedPaths).
    void updatePathCollection(PathCollection& collection) const;

    // Scans one file or folder into the collection, with the collection's excludes.
    void updatePathCollectionForPath(PathCollection& collection, const std::string& path) const;
    // Adds a volume's used space and a volume root to the collection.
    void updatePathCollectionForVolume(PathCollection& collection, const std::string& mountPath) const;

    // A new collection with the summed counters, paths and excludes of the given ones, and no trees.
    // Paths of one that lie inside paths of another are folded into them, and the merged
    // collection is then counted afresh, so that nothing counts twice.
    static std::unique_ptr<PathCollection>
    mergePathCollections(const std::vector<const PathCollection*>& collections);

    // The paths with every path that lies at or below another one left out (the first of equal
    // ones stays), in their order: a target inside another target is folded into it, so that
    // each file is overwritten once and counted once. A path on another mount inside the outer
    // one stays, since no walk crosses into another mount. Paths are compared as written, on
    // whole components; they are expected resolved alike (PathOperand).
    static std::vector<std::string> foldedPaths(const std::vector<std::string>& paths);

private:
    void scanPath(PathCollection& collection, const std::string& path,
                  const PreparedExcludes& excludes) const;
};

} // namespace cv
