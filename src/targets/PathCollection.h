#pragma once

#include "targets/TargetVolume.h"
#include "targets/TreeItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cv {

// The targets of one shred job: the paths the user selected, the paths taken out of the selection
// (excludes), the totals a scan produced and one explorer tree per scanned path. A plain holder:
// the scanning factory fills it, the explorer edits selection and excludes, the job reads it.
class PathCollection
{
public:
    PathCollection() = default;
    PathCollection(const PathCollection&) = delete;
    PathCollection& operator=(const PathCollection&) = delete;

    std::int64_t totalSize() const { return m_totalSize; }
    void setTotalSize(std::int64_t value) { m_totalSize = value; }
    std::uint64_t fileCount() const { return m_fileCount; }
    void setFileCount(std::uint64_t value) { m_fileCount = value; }
    std::uint64_t hiddenCount() const { return m_hiddenCount; }
    void setHiddenCount(std::uint64_t value) { m_hiddenCount = value; }
    std::uint64_t folderCount() const { return m_folderCount; }
    void setFolderCount(std::uint64_t value) { m_folderCount = value; }
    std::uint64_t symlinkCount() const { return m_symlinkCount; }
    void setSymlinkCount(std::uint64_t value) { m_symlinkCount = value; }

    // The selection as given, in the user's order; paths are byte strings.
    const std::vector<std::string>& paths() const { return m_paths; }
    void setPaths(std::vector<std::string> paths) { m_paths = std::move(paths); }

    const std::vector<std::unique_ptr<TreeItem>>& trees() const { return m_trees; }
    TreeItem* addTreeItem(std::unique_ptr<TreeItem> root);

    const std::vector<std::string>& excludes() const { return m_excludes; }
    std::vector<std::string>& excludes() { return m_excludes; }
    void setExcludes(std::vector<std::string> excludes) { m_excludes = std::move(excludes); }

    // Records that go with a target and are removed only once the target is gone (a trashed
    // item's .trashinfo), as (target, record): a target that stays keeps its record.
    const std::vector<std::pair<std::string, std::string>>& records() const { return m_records; }
    void setRecords(std::vector<std::pair<std::string, std::string>> records)
    {
        m_records = std::move(records);
    }

    // Targets that go whole, folders and all, even in a job that keeps every folder (trashed
    // items beside the log and cache folders).
    const std::vector<std::string>& wholeTargets() const { return m_wholeTargets; }
    void setWholeTargets(std::vector<std::string> targets) { m_wholeTargets = std::move(targets); }

    // The volumes the paths lie on, with their file systems, as the last scan found them.
    const std::vector<TargetVolume>& volumes() const { return m_volumes; }
    void setVolumes(std::vector<TargetVolume> volumes) { m_volumes = std::move(volumes); }

    // Clears the counters and the trees, keeping paths and excludes, before a rescan.
    void resetCounts();
    std::int64_t getSelectedSize() const;
    std::int64_t getSelectedCount() const;

private:
    std::int64_t m_totalSize = 0;
    std::uint64_t m_fileCount = 0;
    std::uint64_t m_hiddenCount = 0;
    std::uint64_t m_folderCount = 0;
    std::uint64_t m_symlinkCount = 0;
    std::vector<std::string> m_paths;
    std::vector<std::unique_ptr<TreeItem>> m_trees;
    std::vector<std::string> m_excludes;
    std::vector<std::pair<std::string, std::string>> m_records;
    std::vector<std::string> m_wholeTargets;
    std::vector<TargetVolume> m_volumes;
};

} // namespace cv
