#include "engine/OwnEntryAccess.h"

#include "common/KernelFileSystem.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}

// The mode of an entry opened O_PATH, changed through its descriptor: /proc/self/fd names that very
// inode, whatever happens to its name meanwhile.
bool changeMode(int fd, mode_t mode)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::fchmodat(AT_FDCWD, self.c_str(), mode, 0) == 0;
}

// A folder of the process's own, made writable and searchable for its owner while it lives, and
// given its mode back when it goes.
class OpenedOwnFolder
{
public:
    explicit OpenedOwnFolder(UniqueFd folder) : m_folder(std::move(folder))
    {
        struct stat info = {};
        // A folder of the kernel's (a delegated cgroup, say) is never changed, whoever owns it.
        if (!m_folder || ::fstat(m_folder.get(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::geteuid() || KernelFileSystem::of(m_folder.get()))
            return;
        const mode_t wanted = S_IWUSR | S_IXUSR;
        m_mode = info.st_mode & 07777;
        if ((m_mode & wanted) == wanted)
            return; // writable already: the mode is not what refused
        m_changed = changeMode(m_folder.get(), m_mode | wanted);
    }
    ~OpenedOwnFolder()
    {
        if (m_changed && !changeMode(m_folder.get(), m_mode))
            logMessage("Could not give a folder back its mode ", m_mode, ": ", std::strerror(errno));
    }
    OpenedOwnFolder(const OpenedOwnFolder&) = delete;
    OpenedOwnFolder& operator=(const OpenedOwnFolder&) = delete;

    bool changed() const { return m_changed; }

private:
    UniqueFd m_folder;
    mode_t m_mode = 0;
    bool m_changed = false;
};

UniqueFd folderOf(int dirFd, const char* path)
{
    // The folder's own descriptor, not "." in it: a folder without search permission has no ".".
    if (dirFd != AT_FDCWD)
        return UniqueFd(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
    if (!path)
        return UniqueFd();
    const SplitPath split = splitPath(path);
    const std::string parent = split.parent.empty() ? std::string(".") : split.parent;
    return UniqueFd(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

} // namespace

RegularFileOpener::Result OwnEntryAccess::openOwnFile(int dirFd, const char* name,
                                                      const struct stat& expected)
{
    RegularFileOpener::Result refused;
    refused.status = RegularFileOpener::Status::NotWritable;
    refused.error = EACCES;
    refused.info = expected;
    if (expected.st_uid != ::geteuid() || !S_ISREG(expected.st_mode) || (expected.st_mode & S_IWUSR))
        return refused;
    const UniqueFd file(::openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info = {};
    if (!file || ::fstat(file.get(), &info) != 0)
        return refused;
    if (!S_ISREG(info.st_mode) || info.st_dev != expected.st_dev || info.st_ino != expected.st_ino ||
        info.st_uid != ::geteuid()) {
        refused.status = RegularFileOpener::Status::Replaced;
        return refused;
    }
    // A file of the kernel's is never made writable, whoever owns it: the opener refuses it.
    if (KernelFileSystem::of(file.get()))
        return RegularFileOpener::openExamined(dirFd, name, expected);
    const mode_t mode = info.st_mode & 07777;
    if (!changeMode(file.get(), mode | S_IWUSR))
        return refused;
    RegularFileOpener::Result opened = RegularFileOpener::openExamined(dirFd, name, expected);
    // The file keeps its mode: the descriptor opened meanwhile is all the job needs.
    if (!changeMode(file.get(), mode))
        logMessage("Could not give a file back its mode ", mode, ": ", std::strerror(errno));
    return opened;
}

int OwnEntryAccess::inOwnFolder(int dirFd, const char* path, int error, const std::function<int()>& change)
{
    if (!isPermissionError(error))
        return error;
    const OpenedOwnFolder folder(folderOf(dirFd, path));
    return folder.changed() ? change() : error;
}

int OwnEntryAccess::inOwnFolders(int fromFd, int toFd, int error, const std::function<int()>& change)
{
    if (!isPermissionError(error))
        return error;
    const OpenedOwnFolder from(folderOf(fromFd, nullptr));
    std::optional<OpenedOwnFolder> to;
    if (toFd != fromFd)
        to.emplace(folderOf(toFd, nullptr));
    return from.changed() || (to && to->changed()) ? change() : error;
}

} // namespace cv
