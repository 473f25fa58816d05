#include "targets/PreparedExcludes.h"

#include "common/PathText.h"

#include <functional>

namespace cv {

struct PreparedExcludes::Node
{
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    std::unordered_map<std::string, std::unique_ptr<Node>, Hash, std::equal_to<>> children;
    bool excluded = false;
};

PreparedExcludes::PreparedExcludes() : m_root(std::make_unique<Node>()) {}

PreparedExcludes::PreparedExcludes(const std::vector<std::string>& excluded) : PreparedExcludes()
{
    for (const auto& path : excluded)
        exclude(path);
}
PreparedExcludes::~PreparedExcludes() = default;
PreparedExcludes::PreparedExcludes(PreparedExcludes&&) noexcept = default;
PreparedExcludes& PreparedExcludes::operator=(PreparedExcludes&&) noexcept = default;

PreparedExcludes::Node* PreparedExcludes::add(std::string_view path)
{
    Node* node = m_root.get();
    forEachComponent(path, [&node](std::string_view part) {
        auto found = node->children.find(part);
        if (found == node->children.end())
            found = node->children.emplace(std::string(part), std::make_unique<Node>()).first;
        node = found->second.get();
        return true;
    });
    return node;
}

void PreparedExcludes::exclude(std::string_view path)
{
    if (!path.empty())
        add(path)->excluded = true;
}

void PreparedExcludes::keep(std::string_view path)
{
    if (!path.empty())
        add(path);
}

bool PreparedExcludes::empty() const
{
    return m_root->children.empty() && !m_root->excluded;
}

PreparedExcludes::Position PreparedExcludes::at(std::string_view path) const
{
    Position position;
    position.m_node = m_root.get();
    position.m_covered = m_root->excluded;
    forEachComponent(path, [&](std::string_view part) {
        position = child(position, part);
        return position.m_node != nullptr && !position.m_covered;
    });
    return position;
}

PreparedExcludes::Position PreparedExcludes::child(const Position& folder, std::string_view name) const
{
    Position position;
    if (folder.m_covered) {
        position.m_covered = true;
    } else if (folder.m_node) {
        const auto found = folder.m_node->children.find(name);
        if (found != folder.m_node->children.end()) {
            position.m_node = found->second.get();
            position.m_covered = position.m_node->excluded;
        }
    }
    return position;
}

bool PreparedExcludes::covers(std::string_view path) const
{
    return at(path).covered();
}

bool PreparedExcludes::contains(std::string_view path) const
{
    const Position position = at(path);
    if (position.m_node == m_root.get())
        return m_root->excluded; // "/" is on the way to everything, but never kept for that alone
    return position.keeps();
}

} // namespace cv
