#include "targets/PathCollection.h"

namespace cv {

TreeItem* PathCollection::addTreeItem(std::unique_ptr<TreeItem> root)
{
    m_trees.push_back(std::move(root));
    return m_trees.back().get();
}

void PathCollection::resetCounts()
{
    m_totalSize = 0;
    m_fileCount = 0;
    m_hiddenCount = 0;
    m_folderCount = 0;
    m_symlinkCount = 0;
    m_trees.clear();
}

std::int64_t PathCollection::getSelectedSize() const
{
    std::int64_t size = 0;
    for (const auto& tree : m_trees)
        size += tree->getSelectedSize();
    return size;
}

std::int64_t PathCollection::getSelectedCount() const
{
    std::int64_t count = 0;
    for (const auto& tree : m_trees)
        count += tree->getSelectedCount();
    return count;
}

} // namespace cv
