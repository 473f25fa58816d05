#include "engine/FileShredCoordinator.h"

#include "common/FileTypeName.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "common/SecureRandom.h"
#include "common/UniqueFd.h"
#include "engine/RegularFileOpener.h"
#include "targets/FolderWalker.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace cv {

namespace {

constexpr const char* kFlushFileName = "Flush.dat";
constexpr std::size_t kFlushNameLength = 15;
constexpr int kFlushFailuresTolerated = 10;
constexpr std::size_t kMaxNameLength = 255;
// Random names drawn per rename round before a clash counts as a failed round.
constexpr int kNameAttempts = 8;

struct SplitPath
{
    std::string parent;
    std::string name;
};

// "/a/b/" -> {"/a", "b"}; "/a" -> {"/", "a"}; "a" -> {".", "a"}.
SplitPath splitPath(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Excludes are written without a trailing slash, as the walks write paths; a target is compared
// with them in the same form.
std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string joinPath(const std::string& parent, const std::string& name)
{
    return parent == "/" ? "/" + name : parent + "/" + name;
}

// The length of a name in characters: UTF-8 continuation bytes do not count, other bytes do.
std::size_t characterCount(const std::string& name)
{
    std::size_t count = 0;
    for (const unsigned char c : name) {
        if ((c & 0xC0) != 0x80)
            ++count;
    }
    return std::clamp<std::size_t>(count, 1, kMaxNameLength);
}

// Renames without ever replacing an existing entry. Where the file system cannot promise that, the
// target is checked first (a race with another writer is then possible, but no entry of ours is
// replaced knowingly).
int renameNoReplace(int dirFd, const std::string& from, const std::string& to)
{
    if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    struct stat existing;
    if (::fstatat(dirFd, to.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(dirFd, from.c_str(), dirFd, to.c_str()) == 0 ? 0 : errno;
}

// Makes renames and removals of a folder's entries durable before the next phase.
void syncFolder(int fd)
{
    if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        logMessage("Syncing a folder failed: ", std::strerror(errno));
}

} // namespace

FileShredCoordinator::FileShredCoordinator(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer,
                                           HelperToolClient* helperTool)
    : m_algorithm(std::move(algorithm)), m_writer(writer), m_helperTool(helperTool)
{
    m_writer.setDelegate(this);
}

void FileShredCoordinator::cancel()
{
    m_cancel.store(true, std::memory_order_relaxed);
    m_writer.cancel();
}

void FileShredCoordinator::writtenBytes(double bytes)
{
    m_fileBytesReported += bytes;
    if (m_delegate)
        m_delegate->fileshredWrittenBytes(bytes);
}

bool FileShredCoordinator::pathIsExcludedBy(const std::string& path, const Excludes& excludes)
{
    return excludes.find(path) != excludes.end();
}

bool FileShredCoordinator::pathIsSymbolicLink(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::string FileShredCoordinator::randomAlphanumericStringWithLength(std::size_t count)
{
    return SecureRandom::alphanumeric(count);
}

// ---- overwriting ----------------------------------------------------------------------------

void FileShredCoordinator::shredPath(const std::string& path, const Excludes& excludes)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        logMessage("Cannot shred ", path, ": ", std::strerror(errno));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (!pathIsExcludedBy(path, excludes))
            shredFileAt(AT_FDCWD, path, path, info);
        return;
    }
    UniqueFd rootFd(FolderWalker::openFolder(path));
    if (!rootFd) {
        logMessage("Cannot open folder ", path, ": ", std::strerror(errno));
        return;
    }
    FolderWalker walker;
    walker.walk(rootFd.get(), path, [&](const FolderWalker::Entry& entry) {
        if (isCancelled())
            return false;
        const std::string entryPath(entry.path);
        if (!S_ISDIR(entry.info.st_mode) && !pathIsExcludedBy(entryPath, excludes)) {
            shredFileAt(entry.dirFd, std::string(entry.name), entryPath, entry.info);
            // Between files the worker steps aside for whoever else wants the processor. A fixed
            // sleep here would cost more than the overwriting itself on trees of small files.
            if (m_filePause.count() > 0)
                std::this_thread::sleep_for(m_filePause);
            else
                std::this_thread::yield();
        }
        return true;
    });
}

void FileShredCoordinator::shredFile(const std::string& path)
{
    if (isCancelled())
        return;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        logMessage("Cannot shred ", path, ": ", std::strerror(errno));
        return;
    }
    shredFileAt(AT_FDCWD, path, path, info);
}

void FileShredCoordinator::shredFileAt(int dirFd, const std::string& name, const std::string& path,
                                       const struct stat& info)
{
    if (isCancelled() || S_ISLNK(info.st_mode))
        return;
    if (!S_ISREG(info.st_mode)) {
        // FIFOs, sockets and devices hold no data of their own to overwrite; they are renamed and
        // removed like any other entry.
        logMessage("Not overwriting ", path, ": ", fileTypeName(info.st_mode));
        return;
    }
    const std::int64_t size = info.st_size;
    if (m_delegate)
        m_delegate->fileshredCurrentPath(path);
    ShredItem item{path, size, false, std::nullopt};

    bool overwritable = true;
    bool cancelled = false;
    if (::faccessat(dirFd, name.c_str(), W_OK, AT_EACCESS) != 0 && !changePermission(path)) {
        item.error = localized("Path no writable");
        overwritable = false;
    }
    m_fileBytesReported = 0;
    if (overwritable) {
        const auto opened = RegularFileOpener::openExamined(dirFd, name.c_str(), info);
        if (opened.status != RegularFileOpener::Status::Opened) {
            item.error = localized("Failed to open file");
            logMessage("Failed to open file ", path, ": ", RegularFileOpener::describe(opened));
        } else {
            switch (m_writer.shredInFile(opened.fd.get(), static_cast<double>(size))) {
            case ShredWriter::Outcome::Failed:
                item.error = localized("Failed to write file");
                logMessage("Failed to write file ", path, ": ", std::strerror(m_writer.lastError()));
                break;
            case ShredWriter::Outcome::Cancelled:
                // Only part of the passes reached the file: it is not overwritten, though no error.
                item.error = localized("Canceled");
                cancelled = true;
                break;
            case ShredWriter::Outcome::Completed:
                item.success = true;
                break;
            }
        }
    }
    if (!item.success && !cancelled && m_delegate) {
        // What the writer did not report of the file's full amount is booked as done here.
        const double full = static_cast<double>(m_algorithm->cycles()) * static_cast<double>(size);
        m_delegate->fileshredReportErrorForMissingBytes(std::max(0.0, full - m_fileBytesReported));
    }
    if (m_delegate)
        m_delegate->fileshredAddShredItem(item);
}

// ---- renaming -------------------------------------------------------------------------------

bool FileShredCoordinator::renameEntryAt(int dirFd, const std::string& name, const std::string& path,
                                         std::uint64_t rounds, std::string* newName)
{
    const std::size_t length = characterCount(name);
    std::string current = name;
    bool renamed = false;
    int lastError = 0;
    for (std::uint64_t round = 0; round < rounds; ++round) {
        // A name that is taken is no failure of the file system: another name is drawn, a few
        // times, so that short names in full folders still lose their old name.
        int error = EEXIST;
        for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
            const std::string candidate = randomAlphanumericStringWithLength(length);
            error = renameNoReplace(dirFd, current, candidate);
            if (error == 0) {
                current = candidate;
                renamed = true;
            }
        }
        if (error != 0)
            lastError = error; // this round keeps the old name
    }
    if (lastError != 0)
        logMessage("Renaming ", path, " failed in some rounds: ", std::strerror(lastError));
    if (newName)
        *newName = current;
    return renamed;
}

std::string FileShredCoordinator::renameAtPath(const std::string& target, const Excludes& excludes)
{
    const std::string path = withoutTrailingSlash(target);
    // After a cancel a target keeps its name: renamed but never deleted, it would be lost to the user.
    struct stat info;
    if (isCancelled() || ::lstat(path.c_str(), &info) != 0)
        return path;
    // A folder's contents are renamed even when the folder itself keeps its name because it holds
    // something excluded.
    if (S_ISDIR(info.st_mode))
        renameFileOrFilderInFolder(path, excludes);
    if (pathIsExcludedBy(path, excludes) || (m_filesOnly && S_ISDIR(info.st_mode)))
        return path;

    const SplitPath split = splitPath(path);
    UniqueFd parentFd(::open(split.parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd) {
        logMessage("Cannot rename ", path, ": ", std::strerror(errno));
        return path;
    }
    std::string newName;
    if (!renameEntryAt(parentFd.get(), split.name, path, 1, &newName))
        return path;
    syncFolder(parentFd.get());
    return joinPath(split.parent, newName);
}

void FileShredCoordinator::renameFileOrFilderInFolder(const std::string& folder, const Excludes& excludes)
{
    if (isCancelled())
        return;
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    if (::access(folder.c_str(), W_OK) != 0)
        changePermission(folder);

    UniqueFd folderFd(FolderWalker::openFolder(folder));
    if (!folderFd)
        return;
    const std::string renamingFile = localized("Renaming File");
    FolderWalker walker;
    walker.walk(
        folderFd.get(), folder, [&](const FolderWalker::Entry&) { return !isCancelled(); },
        [&](const FolderWalker::Entry& entry) {
            const std::string entryPath(entry.path);
            // Links are not renamed, nor the mount points of other file systems inside the folder.
            if (isCancelled() || S_ISLNK(entry.info.st_mode) || entry.info.st_dev != info.st_dev ||
                pathIsExcludedBy(entryPath, excludes))
                return;
            if (m_filesOnly && S_ISDIR(entry.info.st_mode))
                return;
            if (m_delegate)
                m_delegate->fileshredRenamingPath(renamingFile + " - " + entryPath);
            renameEntryAt(entry.dirFd, std::string(entry.name), entryPath, m_algorithm->cycles(), nullptr);
        });
    // The renames must reach the device before the entries are deleted; one file-system sync covers
    // every folder of the walk.
    if (::syncfs(folderFd.get()) != 0)
        logMessage("Syncing the renames in ", folder, " failed: ", std::strerror(errno));
}

// ---- flushing -------------------------------------------------------------------------------

void FileShredCoordinator::flushLog(const std::string& volumePath, std::uint64_t count)
{
    if (isCancelled())
        return;
    if (m_delegate)
        m_delegate->fileshredFlushPath(localized("Renaming Files"));

    UniqueFd rootFd(::open(volumePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // O_EXCL: a "Flush.dat" that is already there may be somebody's file; it is left alone.
    UniqueFd flushFd(rootFd ? ::openat(rootFd.get(), kFlushFileName,
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                            : -1);
    if (!flushFd) {
        logMessage("Cannot create the flush file on ", volumePath, ": ", std::strerror(errno));
        return;
    }
    flushFd.reset();

    std::string current = kFlushFileName;
    int failures = 0;
    for (std::uint64_t round = 0; round < count; ++round) {
        const std::string candidate = randomAlphanumericStringWithLength(kFlushNameLength);
        const int error = renameNoReplace(rootFd.get(), current, candidate);
        if (error == 0) {
            current = candidate;
        } else {
            logMessage("oops: ", std::strerror(error));
            if (++failures > kFlushFailuresTolerated)
                break;
        }
        if (isCancelled())
            break;
    }
    if (::unlinkat(rootFd.get(), current.c_str(), 0) != 0)
        logMessage("Cannot remove the flush file ", joinPath(volumePath, current), ": ",
                   std::strerror(errno));
    syncFolder(rootFd.get());
}

// ---- deleting -------------------------------------------------------------------------------

void FileShredCoordinator::saveDelete(const std::string& target, const Excludes& excludes)
{
    const std::string path = withoutTrailingSlash(target);
    if (isCancelled())
        return;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return;
    const bool isFolder = S_ISDIR(info.st_mode);
    if (isFolder) {
        UniqueFd rootFd(FolderWalker::openFolder(path));
        FolderWalker walker;
        if (rootFd) {
            walker.walk(rootFd.get(), path, nullptr, [&](const FolderWalker::Entry& entry) {
                const bool entryIsFolder = S_ISDIR(entry.info.st_mode);
                const std::string entryPath(entry.path);
                // Another file system mounted inside stays, and so does its mount point.
                if (entry.info.st_dev != info.st_dev || pathIsExcludedBy(entryPath, excludes) ||
                    (m_filesOnly && entryIsFolder))
                    return;
                if (::unlinkat(entry.dirFd, entry.name.data(), entryIsFolder ? AT_REMOVEDIR : 0) == 0 ||
                    errno == ENOENT)
                    return;
                const int error = errno;
                if (!forceDelete(entryPath))
                    logMessage("oops: ", entryPath, ": ", std::strerror(error));
            });
        }
    }
    if (pathIsExcludedBy(path, excludes) || (m_filesOnly && isFolder))
        return;
    if (::unlinkat(AT_FDCWD, path.c_str(), isFolder ? AT_REMOVEDIR : 0) == 0 || errno == ENOENT)
        return;
    const int error = errno;
    if (!forceDelete(path))
        logMessage("Error while deleting path ", path, " -> ", std::strerror(error));
}

// ---- the privileged helper ------------------------------------------------------------------

bool FileShredCoordinator::changePermission(const std::string& path)
{
    return callHelper(path, false);
}

bool FileShredCoordinator::forceDelete(const std::string& path)
{
    return callHelper(path, true);
}

bool FileShredCoordinator::callHelper(const std::string& path, bool deletion)
{
    if (!m_helperTool)
        return false;
    // The reply may come after we stopped waiting, or never: what it touches lives on in `state`.
    struct State
    {
        std::mutex mutex;
        std::condition_variable arrived;
        bool done = false;
        std::optional<std::string> error;
    };
    auto state = std::make_shared<State>();
    HelperToolClient::Reply reply = [state](std::optional<std::string> error) {
        std::lock_guard lock(state->mutex);
        if (state->done)
            return;
        state->done = true;
        state->error = std::move(error);
        state->arrived.notify_all();
    };
    if (deletion)
        m_helperTool->deleteFileAtPath(path, std::move(reply));
    else
        m_helperTool->allowWriteOperationsOnPath(path, std::move(reply));

    std::unique_lock lock(state->mutex);
    if (!state->arrived.wait_for(lock, m_helperTimeout, [&] { return state->done; })) {
        logMessage("Helper tool did not answer in time for ", path);
        return false;
    }
    if (state->error) {
        logMessage("Helper tool refused ", path, ": ", *state->error);
        return false;
    }
    return true;
}

} // namespace cv
