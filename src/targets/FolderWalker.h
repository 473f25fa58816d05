#pragma once

#include "common/UniqueFd.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace cv {

// Walks everything below one folder, depth first and in the order the file system lists names,
// through directory descriptors: each folder on the way down is opened with
// openat(O_NOFOLLOW | O_DIRECTORY) and checked to be the very folder that was examined, so a
// folder swapped for a link during the walk is never followed, and paths longer than PATH_MAX
// work. Symbolic links are reported, never followed. A folder where another mount begins (another
// file system, or a bind mount of the same one) is reported but never entered. At most maxOpenLevels
// descriptors are held: ancestors falling out of that window are closed and reopened (and checked again) when
// the walk climbs back to them.
//
// A folder's names are read in full before its entries are visited, so a visitor may rename or
// remove the entry it is given. Iterative, so the depth of a tree never exhausts the stack.
class FolderWalker
{
public:
    static constexpr std::size_t kMaxOpenLevels = 48;

    struct Entry
    {
        int dirFd;               // the folder holding the entry, for *at() calls
        std::string_view name;   // the entry's name in that folder (NUL-terminated)
        std::string_view path;   // the root's path joined with every name on the way down
        const struct stat& info; // from fstatat(AT_SYMLINK_NOFOLLOW)
        std::size_t depth;       // 1 for the entries directly inside the root
    };

    // Called for every entry before anything below it; for a folder, false skips its contents.
    using PreVisit = std::function<bool(const Entry&)>;
    // Called for every folder after its contents, and for every other entry right after PreVisit.
    using PostVisit = std::function<void(const Entry&)>;

    // maxOpenLevels counts the descriptors the walk opens itself (at least 2).
    explicit FolderWalker(std::size_t maxOpenLevels = kMaxOpenLevels);

    // Walks the contents of the folder open as rootFd (which stays the caller's), whose path is
    // rootPath. Entries that vanish between listing and examination are left out.
    void walk(int rootFd, std::string_view rootPath, const PreVisit& pre, const PostVisit& post = {});

    // Opens path as a folder without following a link in its last component; -1 with errno set
    // otherwise.
    static int openFolder(const std::string& path);

    // Folders that could not be listed or entered, met by the last walk (each one is logged).
    std::size_t errorCount() const { return m_errorCount; }

private:
    struct Level
    {
        std::string name; // within the parent; empty for the root
        struct stat info;
        UniqueFd fd;         // closed while the level is outside the window; never set for the root
        std::string names;   // the folder's names, each followed by a NUL
        std::size_t next;    // offset of the next name to visit
        std::size_t pathEnd; // length of the folder's own path in m_path
    };

    bool descend(int parentFd, std::string_view name, const struct stat& info);
    void listNames(Level& level, int fd);
    int levelFd(std::size_t level);
    void fail(std::string_view what, int error);

    std::size_t m_maxOpenLevels;
    int m_rootFd = -1;
    std::vector<Level> m_levels;
    std::string m_path;
    std::size_t m_errorCount = 0;
};

} // namespace cv
