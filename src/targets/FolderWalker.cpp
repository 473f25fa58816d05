#include "targets/FolderWalker.h"

#include "common/KernelFileSystem.h"
#include "common/Log.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool outOfDescriptors(int error)
{
    return error == EMFILE || error == ENFILE;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An open descriptor is the folder that was examined: ESTALE otherwise.
int checkedFolder(int fd, const struct stat& expected)
{
    struct stat info;
    if (::fstat(fd, &info) != 0 || !sameFile(info, expected)) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

void fromStatx(const struct statx& extended, struct stat& info)
{
    info = {};
    info.st_dev = makedev(extended.stx_dev_major, extended.stx_dev_minor);
    info.st_ino = extended.stx_ino;
    info.st_mode = extended.stx_mode;
    info.st_nlink = extended.stx_nlink;
    info.st_uid = extended.stx_uid;
    info.st_gid = extended.stx_gid;
    info.st_rdev = makedev(extended.stx_rdev_major, extended.stx_rdev_minor);
    info.st_size = static_cast<off_t>(extended.stx_size);
    info.st_blksize = static_cast<blksize_t>(extended.stx_blksize);
    info.st_blocks = static_cast<blkcnt_t>(extended.stx_blocks);
    info.st_atim = {extended.stx_atime.tv_sec, extended.stx_atime.tv_nsec};
    info.st_mtim = {extended.stx_mtime.tv_sec, extended.stx_mtime.tv_nsec};
    info.st_ctim = {extended.stx_ctime.tv_sec, extended.stx_ctime.tv_nsec};
}

FolderWalker::BirthTime birthOf(const struct statx& extended)
{
    if ((extended.stx_mask & STATX_BTIME) == 0)
        return std::nullopt;
    return std::pair{static_cast<std::int64_t>(extended.stx_btime.tv_sec), extended.stx_btime.tv_nsec};
}

} // namespace

long FolderWalker::DirectoryReader::readEntries(int fd, void* buffer, std::size_t size)
{
    // getdents64 on the walk's own descriptor: no DIR stream, so listing costs no further descriptor.
    return ::getdents64(fd, buffer, size);
}

FolderWalker::FolderWalker(std::size_t maxOpenLevels)
    : m_windowLimit(std::max<std::size_t>(maxOpenLevels, 2)), m_maxOpenLevels(m_windowLimit)
{}

int FolderWalker::openFolder(const std::string& path)
{
    return ::open(path.c_str(), kFolderFlags);
}

int FolderWalker::examine(int dirFd, const char* name, struct stat& info, bool& mountRoot, BirthTime* birth)
{
    // statx tells in the same call whether a mount begins here: a bind mount of the same file
    // system (a folder or a single file) has the device of the folder around it.
    struct statx extended = {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME,
                &extended) != 0)
        return -1;
    fromStatx(extended, info);
    mountRoot = (extended.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                (extended.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    if (birth)
        *birth = birthOf(extended);
    return 0;
}

int FolderWalker::examineOpened(int fd, struct stat& info, BirthTime& birth)
{
    struct statx extended = {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &extended) != 0)
        return -1;
    fromStatx(extended, info);
    birth = birthOf(extended);
    return 0;
}

std::string FolderWalker::describeError(int error)
{
    if (error == ESTALE)
        return "Folder changed during the walk";
    return std::strerror(error);
}

int FolderWalker::walk(int rootFd, std::string_view rootPath, const PreVisit& pre, const PostVisit& post)
{
    m_errorCount = 0;
    m_maxOpenLevels = m_windowLimit;
    m_rootFd = rootFd;
    m_path.assign(rootPath);
    while (!m_path.empty() && m_path.back() == '/')
        m_path.pop_back(); // "/" walks as "" so that its entries read "/name"

    m_levels.clear();
    m_levels.push_back(Level{{}, {}, UniqueFd(), {}, 0, m_path.size(), 0});
    if (::fstat(rootFd, &m_levels.front().info) != 0) {
        const int error = errno;
        fail("Cannot examine ", m_path, error);
        return error;
    }
    m_rootDevice = m_levels.front().info.st_dev;
    // Every entry the walk hands out lies on the root's file system (another one begins at a mount
    // root, which is never entered): on one of the kernel's, nothing is handed out at all.
    if (const auto kernel = KernelFileSystem::of(rootFd)) {
        ++m_errorCount;
        logMessage("Not walking ", m_path.empty() ? std::string("/") : m_path, ": it lies on ",
                   kernel->describe());
        m_levels.clear();
        m_rootFd = -1;
        return EPERM;
    }
    m_levels.front().error = listNames(m_levels.front(), rootFd);

    while (!m_levels.empty()) {
        const std::size_t index = m_levels.size() - 1;
        if (m_levels[index].next >= m_levels[index].names.size()) {
            if (index == 0)
                break;
            leaveFolder(index, post);
            continue;
        }

        Level& level = m_levels[index];
        const std::string_view name(level.names.data() + level.next);
        level.next += name.size() + 1;
        const int dirFd = levelFd(index);
        m_path.resize(level.pathEnd);
        m_path.append("/").append(name);
        struct stat info;
        bool mountRoot = false;
        BirthTime birth;
        if (examine(dirFd, name.data(), info, mountRoot, &birth) != 0) {
            if (errno != ENOENT) { // else gone since it was listed
                level.error = errno;
                fail("Cannot examine ", m_path, level.error);
            }
            continue;
        }
        // A mount of another file system, or of a file system the walk cannot see the root of.
        mountRoot = mountRoot || info.st_dev != m_rootDevice;
        const Entry entry{dirFd, name, m_path, info, index + 1, mountRoot, 0, birth};
        const bool wantsContents = pre ? pre(entry) : true;
        if (S_ISDIR(info.st_mode) && wantsContents && !mountRoot) {
            const int error = descend(dirFd, name, info);
            if (error == 0)
                continue;                // reported after its contents
            if (post && error != ENOENT) // else gone since it was examined
                post(Entry{dirFd, name, m_path, info, index + 1, false, error, birth});
            continue;
        }
        if (post)
            post(entry);
    }
    const int rootError = m_levels.empty() ? 0 : m_levels.front().error;
    m_levels.clear();
    m_anchor.reset();
    m_rootFd = -1;
    return rootError;
}

void FolderWalker::leaveFolder(std::size_t index, const PostVisit& post)
{
    // The parent is opened again only when it is needed: for entries of its own still to visit,
    // or for a post visit that uses it. Otherwise the folder just left stays open as the way back
    // up, and a chain of folders with nothing left in them is left without opening any of them.
    const Level& parent = m_levels[index - 1];
    const bool parentNeeded = (post && m_postNeedsHolder) || parent.next < parent.names.size();
    const int parentFd = parentNeeded ? climbTo(index - 1) : levelFd(index - 1);
    Level finished = std::move(m_levels.back());
    m_levels.pop_back();
    if (parentFd < 0 && finished.fd) {
        m_anchor = std::move(finished.fd);
        m_anchorLevel = index;
    }
    finished.fd.reset();
    m_path.resize(finished.pathEnd);
    if (parentNeeded && parentFd < 0) {
        // The parent cannot be reached again: what it holds beyond here stays unvisited.
        Level& above = m_levels.back();
        above.error = -parentFd;
        above.next = above.names.size();
    } else if (post) {
        post(Entry{parentFd, finished.name, m_path, finished.info, index, false, finished.error, {}});
    }
    m_path.resize(m_levels.back().pathEnd);
}

int FolderWalker::descend(int parentFd, std::string_view name, const struct stat& info)
{
    const int fd = openWithin(parentFd, name.data(), info);
    if (fd < 0) {
        const int error = errno;
        if (error != ENOENT)
            fail("Cannot open folder ", m_path, error);
        return error;
    }
    // Going down again: the way back up is through the new folder.
    m_anchor.reset();
    Level level{std::string(name), info, UniqueFd(fd), {}, 0, m_path.size(), 0};
    level.error = listNames(level, fd);
    m_levels.push_back(std::move(level));
    keepWindow();
    return 0;
}

int FolderWalker::openWithin(int dirFd, const char* name, const struct stat& expected)
{
    for (;;) {
        const int fd = openExamined(dirFd, name, expected);
        if (fd >= 0)
            return fd;
        // Out of descriptors: give up the shallowest one the walk holds, and hold fewer from now on.
        if (!outOfDescriptors(errno) || !closeShallowest())
            return -1;
        m_maxOpenLevels = std::max<std::size_t>(2, m_maxOpenLevels - 1);
    }
}

int FolderWalker::climbTo(std::size_t level)
{
    if (level == 0)
        return m_rootFd;
    Level& parent = m_levels[level];
    if (parent.fd)
        return parent.fd.get();
    // The parent fell out of the window: its folder lies above the nearest folder still open below
    // it (the child, or the folder last left without coming back up), when that is still the
    // folder examined on the way down. Otherwise (a folder was moved meanwhile) it is looked for
    // again from the top, through the names examined on the way down.
    const bool childOpen = level + 1 < m_levels.size() && m_levels[level + 1].fd;
    // Held here while it is used, so that running out of descriptors cannot close it meanwhile.
    const UniqueFd anchor = std::move(m_anchor);
    if (childOpen || anchor) {
        const int fromFd = childOpen ? m_levels[level + 1].fd.get() : anchor.get();
        const std::size_t steps = childOpen ? 1 : m_anchorLevel - level;
        const int fd = openAbove(fromFd, steps, parent.info);
        if (fd >= 0) {
            parent.fd.reset(fd);
            keepWindow();
            return fd;
        }
        if (outOfDescriptors(errno)) {
            const int error = errno;
            fail("Cannot open folder ", std::string_view(m_path).substr(0, parent.pathEnd), error);
            return -error;
        }
    }
    if (level + 1 < m_levels.size())
        m_levels[level + 1].fd.reset();
    return reopenFromAbove(level);
}

int FolderWalker::openAbove(int fromFd, std::size_t steps, const struct stat& expected)
{
    // "../.." as long as a path may be. The folders passed on the way may have been left long ago:
    // only the one arrived at is checked, and it must be the one examined.
    constexpr std::size_t kStepsPerHop = (PATH_MAX - 1) / 3;
    const auto up = [](std::size_t count) {
        std::string path("..");
        path.reserve(3 * count);
        for (std::size_t i = 1; i < count; ++i)
            path.append("/..");
        return path;
    };
    UniqueFd between;
    int fd = fromFd;
    for (; steps > kStepsPerHop; steps -= kStepsPerHop) {
        int next;
        while ((next = ::openat(fd, up(kStepsPerHop).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) < 0) {
            if (!outOfDescriptors(errno) || !closeShallowest())
                return -1;
        }
        between.reset(next);
        fd = next;
    }
    return openWithin(fd, up(steps).c_str(), expected);
}

int FolderWalker::reopenFromAbove(std::size_t level)
{
    std::size_t open = level;
    while (open > 0 && !m_levels[open].fd)
        --open;
    int fd = levelFd(open);
    UniqueFd between;
    for (std::size_t i = open + 1; i <= level; ++i) {
        const int next = openExamined(fd, m_levels[i].name.c_str(), m_levels[i].info);
        if (next < 0) {
            const int error = errno;
            fail("Cannot open folder again ", std::string_view(m_path).substr(0, m_levels[i].pathEnd), error);
            return -error;
        }
        if (i == level)
            m_levels[i].fd.reset(next);
        else
            between.reset(next);
        fd = next;
    }
    keepWindow();
    return fd;
}

bool FolderWalker::closeShallowest()
{
    // The way back up is given up first: without it the walk reopens folders from above.
    if (m_anchor) {
        m_anchor.reset();
        return true;
    }
    // The folder being visited (the deepest level) is never given up. Open levels all lie within
    // reach of the bottom, so the search never costs the depth.
    const std::size_t reach = 2 * m_windowLimit + 2;
    for (std::size_t i = m_levels.size() > reach ? m_levels.size() - reach : 1; i + 1 < m_levels.size();
         ++i) {
        if (m_levels[i].fd) {
            m_levels[i].fd.reset();
            return true;
        }
    }
    return false;
}

void FolderWalker::keepWindow()
{
    // Only the deepest levels can be open: those outside the window were closed on the way down.
    // Counting from the bottom and closing just past the window costs the window's size, not
    // the depth.
    std::size_t open = 0;
    for (std::size_t i = m_levels.size(); i-- > 1 && i + 2 * m_windowLimit + 2 >= m_levels.size();) {
        if (m_levels[i].fd && ++open > m_maxOpenLevels)
            m_levels[i].fd.reset();
    }
}

bool FolderWalker::releaseDescriptors()
{
    bool released = static_cast<bool>(m_anchor);
    m_anchor.reset();
    for (std::size_t i = m_levels.size() - 1; i-- > 1 && i + 2 * m_windowLimit + 2 >= m_levels.size();) {
        if (m_levels[i].fd) {
            m_levels[i].fd.reset();
            released = true;
        }
    }
    return released;
}

int FolderWalker::listNames(Level& level, int fd)
{
    // The names read so far are still visited; the folder carries the error.
    const int error = readNames(fd, level.names, *m_reader, &m_laterNames);
    level.names.append(m_laterNames);
    m_laterNames.clear();
    if (error != 0)
        fail("Cannot list ", m_path, error);
    return error;
}

int FolderWalker::readNames(int fd, std::string& names, DirectoryReader& reader, std::string* folders)
{
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const long length = reader.readEntries(fd, buffer, sizeof buffer);
        if (length == 0)
            return 0;
        if (length < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (long offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            const bool later = folders && (entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN);
            (later ? *folders : names).append(name, std::strlen(name) + 1);
        }
    }
}

int FolderWalker::openExamined(int dirFd, const char* name, const struct stat& expected)
{
    const int fd = ::openat(dirFd, name, kFolderFlags);
    return fd < 0 ? -1 : checkedFolder(fd, expected);
}

int FolderWalker::levelFd(std::size_t level) const
{
    return level == 0 ? m_rootFd : m_levels[level].fd.get();
}

void FolderWalker::fail(std::string_view what, std::string_view path, int error)
{
    ++m_errorCount;
    logMessage(what, path.empty() ? std::string_view("/") : path, ": ", describeError(error));
}

} // namespace cv
