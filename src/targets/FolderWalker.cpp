#include "targets/FolderWalker.h"

#include "common/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Opens name in dirFd as a folder only when it is still the folder (device, inode) examined.
int openCheckedFolder(int dirFd, const char* name, const struct stat& expected)
{
    const int fd = ::openat(dirFd, name, kFolderFlags);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || info.st_dev != expected.st_dev || info.st_ino != expected.st_ino) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

// True when the folder name in dirFd is where another mount begins: a file system of another
// device, or a bind mount, which has the device of the folder around it and only statx tells.
bool isMountRoot(int dirFd, const char* name, const struct stat& info, dev_t device)
{
    if (info.st_dev != device)
        return true;
    struct statx extended = {};
    return ::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &extended) == 0 &&
           (extended.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (extended.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

} // namespace

FolderWalker::FolderWalker(std::size_t maxOpenLevels)
    : m_maxOpenLevels(std::max<std::size_t>(maxOpenLevels, 2))
{}

int FolderWalker::openFolder(const std::string& path)
{
    return ::open(path.c_str(), kFolderFlags);
}

void FolderWalker::walk(int rootFd, std::string_view rootPath, const PreVisit& pre, const PostVisit& post)
{
    m_errorCount = 0;
    m_rootFd = rootFd;
    m_path.assign(rootPath);
    while (!m_path.empty() && m_path.back() == '/')
        m_path.pop_back(); // "/" walks as "" so that its entries read "/name"

    m_levels.clear();
    m_levels.push_back(Level{{}, {}, UniqueFd(), {}, 0, m_path.size()});
    if (::fstat(rootFd, &m_levels.front().info) != 0) {
        fail("Cannot examine ", errno);
        return;
    }
    listNames(m_levels.front(), rootFd);
    const dev_t device = m_levels.front().info.st_dev;

    while (!m_levels.empty()) {
        const std::size_t index = m_levels.size() - 1;
        if (m_levels[index].next >= m_levels[index].names.size()) {
            if (index == 0)
                break;
            // The folder is done: close it, then report it from its parent.
            Level finished = std::move(m_levels.back());
            m_levels.pop_back();
            finished.fd.reset();
            m_path.resize(finished.pathEnd);
            const int parentFd = levelFd(index - 1);
            if (post && parentFd >= 0)
                post(Entry{parentFd, finished.name, m_path, finished.info, index});
            m_path.resize(m_levels.back().pathEnd);
            continue;
        }

        Level& level = m_levels[index];
        const std::string_view name(level.names.data() + level.next);
        level.next += name.size() + 1;
        const int dirFd = levelFd(index);
        if (dirFd < 0) {
            m_levels[index].next = m_levels[index].names.size(); // lost; logged by levelFd
            continue;
        }
        struct stat info;
        if (::fstatat(dirFd, name.data(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone since it was listed
        m_path.resize(level.pathEnd);
        m_path.append("/").append(name);
        const Entry entry{dirFd, name, m_path, info, index + 1};
        const bool wantsContents = pre ? pre(entry) : true;
        if (S_ISDIR(info.st_mode) && wantsContents && !isMountRoot(dirFd, name.data(), info, device) &&
            descend(dirFd, name, info))
            continue; // reported after its contents
        if (post)
            post(entry);
    }
    m_levels.clear();
    m_rootFd = -1;
}

bool FolderWalker::descend(int parentFd, std::string_view name, const struct stat& info)
{
    UniqueFd fd(openCheckedFolder(parentFd, name.data(), info));
    if (!fd) {
        fail("Cannot open folder ", errno);
        return false;
    }
    Level level{std::string(name), info, std::move(fd), {}, 0, m_path.size()};
    listNames(level, level.fd.get());
    m_levels.push_back(std::move(level));
    // Keep the descriptors bounded: the ancestor that falls out of the window is closed now and
    // reopened on the way back up. The root (index 0) is the caller's and never counts.
    if (m_levels.size() > m_maxOpenLevels)
        m_levels[m_levels.size() - m_maxOpenLevels].fd.reset();
    return true;
}

void FolderWalker::listNames(Level& level, int fd)
{
    // getdents64 on our own descriptor: no DIR stream, so listing costs no further descriptor.
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t length = ::getdents64(fd, buffer, sizeof buffer);
        if (length == 0)
            return;
        if (length < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot list ", errno);
            return;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            level.names.append(name, std::strlen(name) + 1);
        }
    }
}

int FolderWalker::levelFd(std::size_t level)
{
    if (level == 0)
        return m_rootFd;
    if (m_levels[level].fd)
        return m_levels[level].fd.get();
    // Reopen from the nearest open ancestor, checking every folder on the way down again.
    std::size_t open = level;
    while (open > 0 && !m_levels[open].fd)
        --open;
    for (std::size_t i = open + 1; i <= level; ++i) {
        const int parentFd = i == 1 ? m_rootFd : m_levels[i - 1].fd.get();
        const int fd = openCheckedFolder(parentFd, m_levels[i].name.c_str(), m_levels[i].info);
        if (fd < 0) {
            ++m_errorCount;
            logMessage("Folder changed during the walk, not entered again: ",
                       std::string_view(m_path).substr(0, m_levels[i].pathEnd));
            return -1;
        }
        m_levels[i].fd.reset(fd);
    }
    // Close again what the reopening brought back outside the window.
    for (std::size_t i = 1; i + m_maxOpenLevels < m_levels.size(); ++i)
        m_levels[i].fd.reset();
    return m_levels[level].fd.get();
}

void FolderWalker::fail(std::string_view what, int error)
{
    ++m_errorCount;
    logMessage(what, m_path.empty() ? std::string_view("/") : std::string_view(m_path), ": ",
               std::strerror(error));
}

} // namespace cv
