#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cv {

// What a shred job must leave in place, as a tree of path components: the excluded paths (each
// with everything below it, whatever appears there during the job), the paths that only keep
// their own name and place (a volume's mount point, whose contents are shredded), and every folder
// on the way to either, which keeps its name and stays while its other contents are shredded.
//
// A walk asks about one entry at a time from its folder's Position, at the cost of one lookup of
// the entry's name: never of its whole path, so deep trees cost no more per entry than flat ones.
class PreparedExcludes
{
    struct Node;

public:
    // Where a walk stands: outside everything kept, on the way to something kept, or inside an
    // excluded path.
    class Position
    {
    public:
        // Excluded, or below an excluded path: neither overwritten, renamed nor deleted.
        bool covered() const { return m_covered; }
        // Keeps its name and place: covered, kept, or a folder on the way to something kept.
        bool keeps() const { return m_covered || m_node != nullptr; }

    private:
        friend class PreparedExcludes;
        const Node* m_node = nullptr;
        bool m_covered = false;
    };

    PreparedExcludes();
    // The user's excludes, each with everything below it (excluded folders are not listed: what
    // lies below them is covered by them, also what appears there while a job runs).
    explicit PreparedExcludes(const std::vector<std::string>& excluded);
    ~PreparedExcludes();
    PreparedExcludes(PreparedExcludes&&) noexcept;
    PreparedExcludes& operator=(PreparedExcludes&&) noexcept;

    // Leaves path and everything below it in place.
    void exclude(std::string_view path);
    // Leaves path itself in place under its name; what lies below it is not protected by this.
    void keep(std::string_view path);

    bool empty() const;
    // The path is excluded or lies below an excluded path.
    bool covers(std::string_view path) const;
    // The path keeps its name and place: covered, kept, or a folder on the way to either ("/"
    // itself only when it is excluded).
    bool contains(std::string_view path) const;

    // The position of a whole path (a walk's root), and of an entry of the folder at `folder`.
    Position at(std::string_view path) const;
    Position child(const Position& folder, std::string_view name) const;

private:
    Node* add(std::string_view path);

    std::unique_ptr<Node> m_root; // "/"; relative paths hang below it as they are written
};

} // namespace cv
