#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace cv {

// The path of one entry a job met, held as its folder and its own name. The folder's path is
// shared with every other entry of that folder and with its subfolders, so a job's history costs
// each folder's path once, not once per file: in a tree n levels deep the history stays as large as
// the tree instead of growing with the square of its depth. Reads as the whole path (str(), or as
// a std::string wherever one is expected); a path given whole is kept as it is.
class ItemPath
{
public:
    // A folder's path: its parent folder and its name there, or, at the top, the path given whole.
    class Folder
    {
    public:
        static std::shared_ptr<const Folder> top(std::string path);
        static std::shared_ptr<const Folder> below(std::shared_ptr<const Folder> parent,
                                                   std::string_view name);
        std::string str() const;

    private:
        friend class ItemPath;
        Folder(std::shared_ptr<const Folder> parent, std::string name);
        std::shared_ptr<const Folder> m_parent;
        std::string m_name;
        std::size_t m_length; // of the whole path
    };

    ItemPath() = default;
    ItemPath(std::string path) : m_name(std::move(path)) {}
    ItemPath(const char* path) : m_name(path) {}
    ItemPath(std::shared_ptr<const Folder> folder, std::string_view name);

    // The whole path, built anew on each call: keep it where it is used more than once.
    std::string str() const;
    operator std::string() const { return str(); }
    bool empty() const { return !m_folder && m_name.empty(); }

    friend bool operator==(const ItemPath& a, const ItemPath& b) { return a.str() == b.str(); }
    friend std::ostream& operator<<(std::ostream& stream, const ItemPath& path)
    {
        return stream << path.str();
    }

private:
    // The whole path of name inside folder (none: name is the whole path).
    static std::string join(const Folder* folder, std::string_view name);

    std::shared_ptr<const Folder> m_folder; // none when m_name holds the whole path
    std::string m_name;
};

} // namespace cv
