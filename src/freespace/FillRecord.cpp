#include "freespace/FillRecord.h"

#include "common/Log.h"
#include "common/PathText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr const char* kFillPrefix = "ErasingFreeSpace_";
constexpr const char* kFillSuffix = ".dat";
// The first line of every record: what wrote it, and the version of its format.
constexpr std::string_view kHeader = "Cindervault fill files 1\n";
// A record lists at most a few dozen files; anything much larger is not one of ours.
constexpr std::size_t kMaxRecordSize = 1 << 20;

bool writeWhole(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

FillRecord::~FillRecord() = default;

std::string FillRecord::fillFileName(unsigned long long number)
{
    return kFillPrefix + std::to_string(number) + kFillSuffix;
}

bool FillRecord::isFillFileName(const std::string& name)
{
    const std::string_view prefix = kFillPrefix;
    const std::string_view suffix = kFillSuffix;
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    // Exactly what fillFileName makes: digits without a leading zero, from 1.
    return digits.find_first_not_of("0123456789") == std::string::npos && digits.front() != '0';
}

bool FillRecord::readEntries(int fd, std::vector<Entry>& entries)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > kMaxRecordSize)
            return false;
    }
    if (!text.starts_with(kHeader))
        return false;
    std::istringstream lines(text.substr(kHeader.size()));
    std::string line;
    while (std::getline(lines, line)) {
        // "<device> <inode> <birth seconds> <birth nanoseconds> <name>"; a line cut short by a crash
        // is simply not an entry.
        std::istringstream fields(line);
        Entry entry;
        if (fields >> entry.device >> entry.inode >> entry.birthSeconds >> entry.birthNanoseconds >>
                entry.name &&
            isFillFileName(entry.name))
            entries.push_back(std::move(entry));
    }
    return true;
}

bool FillRecord::identify(int folderFd, const char* name, int flags, Entry& entry)
{
    struct statx info;
    if (::statx(folderFd, name, flags | AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_INO | STATX_BTIME, &info) !=
            0 ||
        !S_ISREG(info.stx_mode))
        return false;
    entry.device = ::makedev(info.stx_dev_major, info.stx_dev_minor);
    entry.inode = info.stx_ino;
    const bool hasBirth = (info.stx_mask & STATX_BTIME) != 0;
    entry.birthSeconds = hasBirth ? info.stx_btime.tv_sec : 0;
    entry.birthNanoseconds = hasBirth ? info.stx_btime.tv_nsec : 0;
    return true;
}

bool FillRecord::sameFile(int folderFd, const Entry& entry)
{
    Entry now;
    return identify(folderFd, entry.name.c_str(), 0, now) && now.device == entry.device &&
           now.inode == entry.inode && now.birthSeconds == entry.birthSeconds &&
           now.birthNanoseconds == entry.birthNanoseconds;
}

void FillRecord::unlinkRecord(int folderFd, int recordFd)
{
    struct stat open;
    struct stat named;
    if (::fstat(recordFd, &open) != 0 || ::fstatat(folderFd, kFileName, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        open.st_dev != named.st_dev || open.st_ino != named.st_ino)
        return;
    if (::unlinkat(folderFd, kFileName, 0) != 0)
        logMessage("Cannot remove the fill file record: ", std::strerror(errno));
}

FillRecord::Leftovers FillRecord::removeLeftovers(int folderFd, const std::string& folderPath,
                                                  const PreparedExcludes* excludes)
{
    UniqueFd fd(::openat(folderFd, kFileName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return errno == ENOENT ? Leftovers::None : Leftovers::Unusable;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return Leftovers::Unusable;
    // A wipe that runs holds its record locked; its files are not leftovers.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? Leftovers::Busy : Leftovers::Unusable;
    std::vector<Entry> entries;
    if (!readEntries(fd.get(), entries)) {
        logMessage("Not a fill file record, left as it is: ", joinPath(folderPath, kFileName));
        return Leftovers::Unusable;
    }
    for (const Entry& entry : entries) {
        const std::string path = joinPath(folderPath, entry.name);
        if (excludes && excludes->contains(path)) {
            logMessage("Fill file left by an interrupted wipe is excluded and stays: ", path);
            continue;
        }
        if (!sameFile(folderFd, entry))
            continue; // gone already, or somebody else's file by now
        if (::unlinkat(folderFd, entry.name.c_str(), 0) == 0) {
            logMessage("Removed fill file left by an interrupted wipe: ", path);
        } else {
            logMessage("Cannot remove leftover fill file ", path, ": ", std::strerror(errno));
        }
    }
    unlinkRecord(folderFd, fd.get());
    return Leftovers::Removed;
}

bool FillRecord::create(int folderFd)
{
    m_files.clear();
    m_fd = UniqueFd(::openat(folderFd, kFileName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!m_fd)
        return false;
    int error = 0;
    if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0 || !writeWhole(m_fd.get(), kHeader) ||
        ::fdatasync(m_fd.get()) != 0 || ::fsync(folderFd) != 0) {
        error = errno;
        ::unlinkat(folderFd, kFileName, 0);
        m_fd.reset();
        errno = error;
        return false;
    }
    return true;
}

UniqueFd FillRecord::createFillFile(int folderFd, const std::string& name)
{
    if (!m_fd) {
        errno = EBADF;
        return UniqueFd();
    }
    // O_EXCL: a file of that name that exists already is somebody else's and is never opened.
    UniqueFd file(::openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file)
        return file;
    Entry entry;
    int error = 0;
    if (!identify(file.get(), "", AT_EMPTY_PATH, entry)) {
        error = errno != 0 ? errno : EINVAL;
    } else {
        entry.name = name;
        const std::string line = std::to_string(entry.device) + ' ' + std::to_string(entry.inode) + ' ' +
                                 std::to_string(entry.birthSeconds) + ' ' +
                                 std::to_string(entry.birthNanoseconds) + ' ' + name + '\n';
        // Entered (and on the device) before the first byte of the fill file is written.
        if (!writeWhole(m_fd.get(), line) || ::fdatasync(m_fd.get()) != 0)
            error = errno;
        else
            m_files.push_back(std::move(entry));
    }
    if (error != 0) {
        // Not in the record: it must not outlive this call.
        file.reset();
        ::unlinkat(folderFd, name.c_str(), 0);
        errno = error;
        return UniqueFd();
    }
    return file;
}

void FillRecord::removeAll(int folderFd, const std::string& folderPath)
{
    if (!m_fd)
        return;
    bool allGone = true;
    for (const Entry& entry : m_files) {
        if (!sameFile(folderFd, entry)) {
            logMessage("Fill file is no longer the one this wipe made, left as it is: ",
                       joinPath(folderPath, entry.name));
            continue;
        }
        if (::unlinkat(folderFd, entry.name.c_str(), 0) != 0) {
            allGone = false;
            logMessage("Cannot remove fill file ", joinPath(folderPath, entry.name), ": ",
                       std::strerror(errno));
        }
    }
    // A fill file that could not be removed stays listed, for the next wipe to remove.
    if (allGone)
        unlinkRecord(folderFd, m_fd.get());
    m_files.clear();
    m_fd.reset();
}

} // namespace cv
