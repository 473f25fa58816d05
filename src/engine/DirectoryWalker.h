#pragma once

#include "common/UniqueFd.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace cv {

// Walks everything below one folder depth first, through directory descriptors: every folder on
// the way down is opened with openat(O_NOFOLLOW | O_DIRECTORY) and checked to be the folder that
// was listed, so a folder swapped for a link mid-walk is never followed, and paths longer than
// PATH_MAX work. Symbolic links are reported, never followed; folders of another file system are
// left out entirely. At most kMaxOpenLevels descriptors are held; deeper ancestors are closed and
// reopened (and checked again) when the walk climbs back to them.
//
// Each folder's names are read in full before its entries are visited, so visitors may rename or
// remove the entry they are given.
class DirectoryWalker
{
public:
    static constexpr std::size_t kMaxOpenLevels = 48;

    struct Entry
    {
        int dirFd;               // the folder holding the entry, for *at() calls
        const std::string& name; // the entry's name in that folder
        const std::string& path; // the full path, for messages and exclude lookups
        const struct stat& info; // from fstatat(AT_SYMLINK_NOFOLLOW)
        std::size_t depth;       // 1 for the entries directly inside the root
    };

    // Called for every entry before anything below it; for a folder, returning false skips its contents.
    using PreVisit = std::function<bool(const Entry&)>;
    // Called for every folder after its contents (and for every other entry right after PreVisit).
    using PostVisit = std::function<void(const Entry&)>;

    explicit DirectoryWalker(std::string root, const std::atomic<bool>* cancel = nullptr);

    // Walks the root's contents; false when the root could not be opened as a folder (errno set).
    bool walk(const PreVisit& pre, const PostVisit& post);

    // Listing or opening failures met on the way (the walk goes on past them).
    std::size_t errorCount() const { return m_errorCount; }

private:
    struct Level
    {
        std::string name;
        dev_t dev;
        ino_t ino;
        UniqueFd fd;
    };

    void walkLevel(std::size_t depth, const PreVisit& pre, const PostVisit& post);
    bool descend(const std::string& name, const struct stat& info);
    void ascend();
    int levelFd(std::size_t level);
    std::vector<std::string> listNames(int dirFd);
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }

    std::string m_root;
    const std::atomic<bool>* m_cancel;
    std::vector<Level> m_levels;
    std::string m_path;
    std::size_t m_errorCount = 0;
};

} // namespace cv
