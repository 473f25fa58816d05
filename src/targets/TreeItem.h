#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv {

// One node of the three-level tree the file explorer shows for a scanned path: a root (level 0),
// the entries directly inside it (level 1) and one level further down (level 2). A node owns its
// children; `parent` is a plain back reference. Level-2 folders have no children: their contents
// are summed up in totalSize and totalCount.
class TreeItem
{
public:
    TreeItem() = default;
    explicit TreeItem(TreeItem* parent) : m_parent(parent) {}
    TreeItem(const TreeItem&) = delete;
    TreeItem& operator=(const TreeItem&) = delete;

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }
    // Empty for roots.
    const std::string& parentPath() const { return m_parentPath; }
    void setParentPath(std::string parentPath) { m_parentPath = std::move(parentPath); }

    TreeItem* parent() const { return m_parent; }
    void setParent(TreeItem* parent) { m_parent = parent; }
    const std::vector<std::unique_ptr<TreeItem>>& children() const { return m_children; }
    // Takes ownership of child and makes this node its parent.
    TreeItem* addChild(std::unique_ptr<TreeItem> child);

    std::uint64_t level() const { return m_level; }
    void setLevel(std::uint64_t level) { m_level = level; }
    std::int64_t totalSize() const { return m_totalSize; }
    void setTotalSize(std::int64_t totalSize) { m_totalSize = totalSize; }
    std::int64_t totalCount() const { return m_totalCount; }
    void setTotalCount(std::int64_t totalCount) { m_totalCount = totalCount; }

    bool isFile() const { return m_isFile; }
    void setIsFile(bool value) { m_isFile = value; }
    bool isFolder() const { return m_isFolder; }
    void setIsFolder(bool value) { m_isFolder = value; }
    bool isSymlink() const { return m_isSymlink; }
    void setIsSymlink(bool value) { m_isSymlink = value; }
    bool isVolume() const { return m_isVolume; }
    void setIsVolume(bool value) { m_isVolume = value; }
    bool isHidden() const { return m_isHidden; }
    void setIsHidden(bool value) { m_isHidden = value; }
    bool deselected() const { return m_deselected; }
    void setDeselected(bool value) { m_deselected = value; }
    bool visible() const { return m_visible; }
    void setVisible(bool value) { m_visible = value; }
    bool openFolder() const { return m_openFolder; }
    void setOpenFolder(bool value) { m_openFolder = value; }

    // Selects (state true) or deselects this node and everything below it.
    void setSelectionState(bool state);
    // Opens (true) this node showing its direct children, or closes (false) its whole subtree.
    void setVisibleState(bool state);
    // Rows below this node the explorer currently shows.
    std::int64_t visibleDescendantsCount() const;
    bool hasActiveDescendants() const;
    bool hasDeactiveDescendants() const;
    // The paths the user took out of the selection, in the order the excludes list wants them.
    std::vector<std::string> getDeactivatedPaths() const;
    void appendDeactivatedPaths(std::vector<std::string>& into) const;
    std::int64_t getSelectedSize() const;
    std::int64_t getSelectedCount() const;
    bool isPreviewPossible() const;

private:
    std::string m_path;
    std::string m_parentPath;
    TreeItem* m_parent = nullptr;
    std::vector<std::unique_ptr<TreeItem>> m_children;
    std::uint64_t m_level = 0;
    std::int64_t m_totalSize = 0;
    std::int64_t m_totalCount = 0;
    bool m_isFile = false;
    bool m_isFolder = false;
    bool m_isSymlink = false;
    bool m_isVolume = false;
    bool m_isHidden = false;
    bool m_deselected = false;
    bool m_visible = false;
    bool m_openFolder = false;
};

} // namespace cv
