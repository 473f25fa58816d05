#pragma once

#include "common/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace cv {

// Walks everything below one folder, depth first, through directory descriptors. In each folder the
// entries that the listing calls files, links or special files come first, then the folders (and
// the entries of a type the listing does not tell), each group in the order the file system lists
// them: a folder's last subfolder is then the last of its entries, so that leaving a deep chain of
// folders leaves nothing to come back for. Each folder on the way down is opened with each folder on the way
// down is opened with openat(O_NOFOLLOW | O_DIRECTORY) and checked to be the very folder that was examined,
// so a folder swapped for a link during the walk is never followed, and paths longer than PATH_MAX work.
// Symbolic links are reported, never followed. An entry where another mount begins (another file system, or a
// bind mount of the same one, a folder or a file) is reported as such and a folder of that kind is never
// entered. A root on one of the kernel's file systems (KernelFileSystem: proc, sysfs, ...) is not walked at
// all.
//
// Descriptors stay bounded whatever the depth: only the deepest few folders (a window of at most
// maxOpenLevels) are held open. A folder that fell out of the window is opened again only when it
// is needed: to visit its remaining entries, or to hand it to a post visit that needs it. It is
// reached upwards from the nearest folder still open below it, through "..", and checked to be the
// folder that was examined; a chain of folders with nothing left to visit is climbed out of
// without opening any of them. When the process runs out of descriptors (EMFILE) the window
// shrinks and the step is tried again; only when nothing is left to give up does the step fail,
// and it is reported as what it is.
//
// A folder's names are read in full before its entries are visited, so a visitor may rename or
// remove the entry it is given. Iterative, so the depth of a tree never exhausts the stack; every
// entry costs the same whatever its depth (the path is extended and cut back in place).
class FolderWalker
{
public:
    static constexpr std::size_t kMaxOpenLevels = 48;

    // Reads a folder's entries from its descriptor, in getdents64's format; tests stand in for the
    // file system here to make a listing fail.
    class DirectoryReader
    {
    public:
        virtual ~DirectoryReader() = default;
        // Bytes placed in buffer, 0 at the end of the folder, -1 with errno set on failure.
        virtual long readEntries(int fd, void* buffer, std::size_t size);
    };

    // A birth time as statx gives it (seconds and nanoseconds), where the file system keeps one.
    using BirthTime = std::optional<std::pair<std::int64_t, std::uint32_t>>;

    struct Entry
    {
        // The folder holding the entry, for *at() calls; -1 in the post visit of a folder when the
        // walker was told that post visits need no holder (setPostVisitNeedsHolder) and the holder
        // is not open.
        int dirFd;
        std::string_view name;   // the entry's name in that folder (NUL-terminated)
        std::string_view path;   // the root's path joined with every name on the way down
        const struct stat& info; // the entry itself, links not followed
        std::size_t depth;       // 1 for the entries directly inside the root
        bool mountRoot;          // another mount begins here: never entered, never to be changed
        // After a folder's contents: 0 when every one of its entries was visited, else the errno of
        // what kept the walk from them (opening, listing, examining, or climbing back).
        int error;
        // The entry's birth time, read with info (before anything below it only).
        BirthTime birth;
    };

    // Called for every entry before anything below it; for a folder, false skips its contents.
    using PreVisit = std::function<bool(const Entry&)>;
    // Called for every folder after its contents, and for every other entry right after PreVisit.
    using PostVisit = std::function<void(const Entry&)>;

    // maxOpenLevels counts the descriptors the walk opens itself (at least 2).
    explicit FolderWalker(std::size_t maxOpenLevels = kMaxOpenLevels);

    void setDirectoryReader(DirectoryReader* reader) { m_reader = reader ? reader : &m_systemReader; }
    // Whether the post visit of a folder uses the folder holding it (its dirFd); true unless set.
    // A walk whose post visits only look at the entry itself sets false, and is spared reopening
    // the folders above a deep one on the way back.
    void setPostVisitNeedsHolder(bool needs) { m_postNeedsHolder = needs; }

    // Walks the contents of the folder open as rootFd (which stays the caller's), whose path is
    // rootPath. Entries that vanish between listing and examination are left out. Returns 0 when
    // every entry of the root was visited, else the errno of what kept the walk from some (EPERM,
    // with nothing visited, for a root on a file system of the kernel's).
    int walk(int rootFd, std::string_view rootPath, const PreVisit& pre, const PostVisit& post = {});

    // Closes every descriptor of the walk but the one of the folder being visited, for a visitor
    // that ran out of descriptors; false when there was none to close.
    bool releaseDescriptors();

    // Opens path as a folder without following a link in its last component; -1 with errno set
    // otherwise.
    static int openFolder(const std::string& path);
    // Examines name in dirFd (AT_FDCWD for a plain path) without following a link; mountRoot tells
    // whether another mount begins there, birth (when given) the birth time read in the same call.
    // -1 with errno set when it cannot be examined.
    static int examine(int dirFd, const char* name, struct stat& info, bool& mountRoot,
                       BirthTime* birth = nullptr);
    // Examines what the descriptor fd holds, with its birth time; -1 with errno set on failure.
    static int examineOpened(int fd, struct stat& info, BirthTime& birth);
    // Opens name in dirFd as a folder only when it is still the folder `expected` describes (no
    // link followed); -1 with errno set otherwise (ESTALE for another folder).
    static int openExamined(int dirFd, const char* name, const struct stat& expected);
    // Appends the names of the folder open as fd to names, each followed by a NUL ("." and ".."
    // left out); with folders given, the names the listing calls folders (or gives no type) go
    // there instead. 0, or the errno of a listing that failed (the names read before it are kept).
    static int readNames(int fd, std::string& names, DirectoryReader& reader, std::string* folders = nullptr);
    // A walk error in words: "Folder changed during the walk" for a folder that is no longer the
    // one examined, else the system's text.
    static std::string describeError(int error);

    // Folders that could not be entered, listed or climbed back to in the last walk (each one is
    // logged).
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
        int error;           // why some of its entries were not visited, or 0
    };

    int descend(int parentFd, std::string_view name, const struct stat& info);
    int listNames(Level& level, int fd);
    // The deepest level's folder is done: back to its parent, then its post visit.
    void leaveFolder(std::size_t index, const PostVisit& post);
    // The descriptor of a level whose child is the deepest level, or -errno.
    int climbTo(std::size_t level);
    // Opens the folder `steps` folders above the open descriptor fromFd, checked to be the folder
    // `expected` describes; -1 with errno set otherwise.
    int openAbove(int fromFd, std::size_t steps, const struct stat& expected);
    int reopenFromAbove(std::size_t level);
    int openWithin(int dirFd, const char* name, const struct stat& expected);
    bool closeShallowest();
    void keepWindow();
    int levelFd(std::size_t level) const;
    void fail(std::string_view what, std::string_view path, int error);

    DirectoryReader m_systemReader;
    DirectoryReader* m_reader = &m_systemReader;
    std::size_t m_windowLimit;   // the most descriptors a walk holds
    std::size_t m_maxOpenLevels; // what it holds now, fewer after running out of descriptors
    int m_rootFd = -1;
    dev_t m_rootDevice = 0;
    std::vector<Level> m_levels;
    // The descriptor of a folder left without opening its parent again, kept as the way back up
    // until a folder above it is needed; m_anchorLevel is the level it had.
    UniqueFd m_anchor;
    std::size_t m_anchorLevel = 0;
    bool m_postNeedsHolder = true;
    std::string m_path;
    std::string m_laterNames; // the folders of a listing, while it is read
    std::size_t m_errorCount = 0;
};

} // namespace cv
