#include "targets/TreeItem.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace cv {

TreeItem* TreeItem::addChild(std::unique_ptr<TreeItem> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

void TreeItem::setSelectionState(bool state)
{
    m_deselected = !state;
    for (const auto& child : m_children)
        child->setSelectionState(state);
}

void TreeItem::setVisibleState(bool state)
{
    m_visible = state;
    m_openFolder = state;
    for (const auto& child : m_children) {
        if (state) {
            child->m_visible = true;
        } else {
            child->m_openFolder = false;
            child->setVisibleState(false);
        }
    }
}

std::int64_t TreeItem::visibleDescendantsCount() const
{
    std::int64_t count = 0;
    for (const auto& child : m_children) {
        if (child->m_visible)
            ++count;
        count += child->visibleDescendantsCount();
    }
    return count;
}

bool TreeItem::hasActiveDescendants() const
{
    return std::any_of(m_children.begin(), m_children.end(), [](const auto& child) {
        return !child->m_deselected || child->hasActiveDescendants();
    });
}

bool TreeItem::hasDeactiveDescendants() const
{
    return std::any_of(m_children.begin(), m_children.end(), [](const auto& child) {
        return child->m_deselected || child->hasDeactiveDescendants();
    });
}

void TreeItem::appendDeactivatedPaths(std::vector<std::string>& into) const
{
    if (m_deselected && (!m_isFolder || !hasActiveDescendants()))
        into.push_back(m_path);
    for (const auto& child : m_children)
        child->appendDeactivatedPaths(into);
}

std::vector<std::string> TreeItem::getDeactivatedPaths() const
{
    std::vector<std::string> paths;
    appendDeactivatedPaths(paths);
    return paths;
}

std::int64_t TreeItem::getSelectedSize() const
{
    const bool countsThroughChildren = m_isFolder && (m_level == 0 || !m_children.empty());
    std::int64_t size = (m_deselected || countsThroughChildren) ? 0 : m_totalSize;
    for (const auto& child : m_children)
        size += child->getSelectedSize();
    return size;
}

std::int64_t TreeItem::getSelectedCount() const
{
    std::int64_t count = 0;
    if (!m_isFolder)
        count = m_deselected ? 0 : 1;
    else if (m_children.empty())
        count = m_deselected ? 0 : m_totalCount;
    for (const auto& child : m_children)
        count += child->getSelectedCount();
    return count;
}

bool TreeItem::isPreviewPossible() const
{
    // The extension is what follows the last dot of the last component, as long as the dot does
    // not start the name.
    const auto slash = m_path.rfind('/');
    const std::string_view name =
        slash == std::string::npos ? std::string_view(m_path) : std::string_view(m_path).substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return false;
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const std::array<std::string_view, 6> previewable{"jpg", "gif", "png", "tiff", "jpeg", "pdf"};
    return std::find(previewable.begin(), previewable.end(), extension) != previewable.end();
}

} // namespace cv
