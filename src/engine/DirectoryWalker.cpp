#include "engine/DirectoryWalker.h"

#include "common/Log.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Opens name in dirFd as a folder only when it is still the folder (dev, ino) that was listed.
int openCheckedDir(int dirFd, const char* name, dev_t dev, ino_t ino)
{
    const int fd = ::openat(dirFd, name, kDirFlags);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || info.st_dev != dev || info.st_ino != ino) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

} // namespace

DirectoryWalker::DirectoryWalker(std::string root, const std::atomic<bool>* cancel)
    : m_root(std::move(root)), m_cancel(cancel)
{
    while (m_root.size() > 1 && m_root.back() == '/')
        m_root.pop_back();
}

bool DirectoryWalker::walk(const PreVisit& pre, const PostVisit& post)
{
    UniqueFd rootFd(::open(m_root.c_str(), kDirFlags));
    if (!rootFd)
        return false;
    struct stat info;
    if (::fstat(rootFd.get(), &info) != 0)
        return false;
    m_levels.clear();
    m_levels.push_back({m_root, info.st_dev, info.st_ino, std::move(rootFd)});
    m_path = m_root == "/" ? std::string() : m_root;
    walkLevel(1, pre, post);
    m_levels.clear();
    return true;
}

std::vector<std::string> DirectoryWalker::listNames(int dirFd)
{
    std::vector<std::string> names;
    // The stream gets its own descriptor so that closing it leaves dirFd open.
    const int streamFd = ::openat(dirFd, ".", kDirFlags);
    DIR* dir = streamFd >= 0 ? ::fdopendir(streamFd) : nullptr;
    if (!dir) {
        if (streamFd >= 0)
            ::close(streamFd);
        ++m_errorCount;
        logMessage("Cannot list ", m_path.empty() ? "/" : m_path, ": ", std::strerror(errno));
        return names;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    if (errno != 0) {
        ++m_errorCount;
        logMessage("Listing ", m_path, " stopped early: ", std::strerror(errno));
    }
    ::closedir(dir);
    return names;
}

void DirectoryWalker::walkLevel(std::size_t depth, const PreVisit& pre, const PostVisit& post)
{
    const std::vector<std::string> names = listNames(levelFd(m_levels.size() - 1));
    const dev_t device = m_levels.front().dev;
    for (const std::string& name : names) {
        if (cancelled())
            return;
        const int dirFd = levelFd(m_levels.size() - 1);
        if (dirFd < 0)
            return;
        struct stat info;
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since it was listed
        if (S_ISDIR(info.st_mode) && info.st_dev != device)
            continue; // another file system mounted here: not ours to walk into
        const std::size_t pathLength = m_path.size();
        m_path.append("/").append(name);
        const Entry entry{dirFd, name, m_path, info, depth};
        const bool wantsContents = pre ? pre(entry) : true;
        if (S_ISDIR(info.st_mode) && wantsContents) {
            if (descend(name, info)) {
                walkLevel(depth + 1, pre, post);
                ascend();
            }
        }
        if (post) {
            const int parentFd = levelFd(m_levels.size() - 1);
            if (parentFd >= 0)
                post(Entry{parentFd, name, m_path, info, depth});
        }
        m_path.resize(pathLength);
    }
}

bool DirectoryWalker::descend(const std::string& name, const struct stat& info)
{
    const int fd = openCheckedDir(levelFd(m_levels.size() - 1), name.c_str(), info.st_dev, info.st_ino);
    if (fd < 0) {
        ++m_errorCount;
        logMessage("Cannot open folder ", m_path, ": ", std::strerror(errno));
        return false;
    }
    m_levels.push_back({name, info.st_dev, info.st_ino, UniqueFd(fd)});
    // Keep the number of open descriptors bounded: the ancestor that falls out of the window is
    // closed and reopened on the way back up.
    if (m_levels.size() > kMaxOpenLevels)
        m_levels[m_levels.size() - kMaxOpenLevels].fd.reset();
    return true;
}

void DirectoryWalker::ascend()
{
    m_levels.pop_back();
}

int DirectoryWalker::levelFd(std::size_t level)
{
    if (m_levels[level].fd)
        return m_levels[level].fd.get();
    // Reopen from the nearest open ancestor, checking every folder on the way.
    std::size_t open = level;
    while (!m_levels[open].fd)
        --open; // the root is never closed
    for (std::size_t i = open + 1; i <= level; ++i) {
        Level& next = m_levels[i];
        const int fd = openCheckedDir(m_levels[i - 1].fd.get(), next.name.c_str(), next.dev, next.ino);
        if (fd < 0) {
            ++m_errorCount;
            logMessage("Folder changed during the walk, not entered again: ", next.name);
            return -1;
        }
        next.fd.reset(fd);
    }
    // Close again what the reopening brought back outside the window.
    for (std::size_t i = 1; i + kMaxOpenLevels < m_levels.size(); ++i)
        m_levels[i].fd.reset();
    return m_levels[level].fd.get();
}

} // namespace cv
