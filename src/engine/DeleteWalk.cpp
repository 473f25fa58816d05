#include "engine/DeleteWalk.h"

#include "common/KernelFileSystem.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "engine/HelperCalls.h"
#include "engine/OwnEntryAccess.h"
#include "engine/ShredContext.h"
#include "engine/TargetWalk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace cv {

namespace {

constexpr const char* kFolderNotRead = "Folder could not be read";
constexpr const char* kReplaced = "Replaced since it was overwritten, left in place";
constexpr const char* kNotSynced = "Deletions could not be synced to the volume";

} // namespace

DeleteWalk::DeleteWalk(ShredContext& context, HelperCalls& helper) : m_context(context), m_helper(helper) {}

void DeleteWalk::saveDelete(const std::string& target, const PreparedExcludes& excludes)
{
    const std::string path(withoutTrailingSlashes(target));
    if (m_context.isCancelled())
        return;
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0)
        return;
    // A target on a file system of the kernel's stays whole (the overwrite walk listed it).
    if (KernelFileSystem::atPath(path))
        return;
    m_sync.watch(path);
    const PreparedExcludes::Position position = excludes.at(path);
    const bool isFolder = S_ISDIR(info.st_mode);
    bool stays = position.keeps() || (isFolder && m_context.filesOnly) || (!isFolder && mountRoot);
    if (isFolder && !stays && removeUnreadFolder(AT_FDCWD, path.c_str(), info))
        return;
    if (isFolder && !position.covered())
        stays = deleteInFolder(path, excludes) || stays;
    if (stays)
        return;
    if (const int error = removeEntry(AT_FDCWD, path, path, info); error > 0)
        logMessage("Error while deleting path ", path, " -> ", std::strerror(error));
}

bool DeleteWalk::removeUnreadFolder(int dirFd, const char* name, const struct stat& info)
{
    const ShredRecord::FileId id = ShredRecord::idOf(info);
    const ShredRecord::UnreadFolder* unread = m_context.record.findUnreadFolder(id);
    if (!unread || ::unlinkat(dirFd, name, AT_REMOVEDIR) != 0)
        return false;
    logMessage("Removed the folder ", unread->path, ", which could not be read but was empty");
    m_sync.removed(info.st_dev);
    m_context.record.forgetUnreadFolder(id);
    return true;
}

void DeleteWalk::finishDeleting()
{
    // Nothing is called deleted before the removals are on the device.
    for (const DeletionSync::Failure& failure : m_sync.sync())
        m_context.reportFailure(failure.path, 0, kNotSynced, std::strerror(failure.error),
                                ShredItem::Kind::Step);
    // Folders whose listing failed and that did not turn out empty: what they hold was not
    // overwritten, and they stay.
    for (auto& folder : m_context.record.takeUnreadFolders())
        m_context.reportFailure(std::move(folder.path), 0, kFolderNotRead,
                                FolderWalker::describeError(folder.error), ShredItem::Kind::Folder);
}

bool DeleteWalk::deleteInFolder(const std::string& folder, const PreparedExcludes& excludes)
{
    UniqueFd rootFd(FolderWalker::openFolder(folder));
    if (!rootFd) {
        logMessage("Cannot delete in ", folder, ": ", std::strerror(errno));
        return true;
    }
    TargetWalk walk(excludes, folder, m_context.reader);
    bool removedEmpty = false;
    const int rootError = walk.walker().walk(
        rootFd.get(), folder,
        [&](const FolderWalker::Entry& entry) {
            const PreparedExcludes::Position& position = walk.enter(entry);
            // The folders the renaming emptied go at once, without being listed or entered. Any
            // other folder is entered, and goes after its contents if they all went.
            if (S_ISDIR(entry.info.st_mode) && !position.keeps() && !entry.mountRoot &&
                !m_context.filesOnly && !m_context.record.keepsFolder(ShredRecord::idOf(entry.info)) &&
                ::unlinkat(entry.dirFd, entry.name.data(), AT_REMOVEDIR) == 0) {
                m_sync.removed(entry.info.st_dev);
                removedEmpty = true;
                return false;
            }
            return !position.covered();
        },
        [&](const FolderWalker::Entry& entry) {
            // A folder removed empty is done: the walk hands it over right after, as one not entered.
            if (!std::exchange(removedEmpty, false))
                deleteWalked(walk, entry);
        });
    return walk.rootHoldsWhatStays() || rootError != 0;
}

void DeleteWalk::deleteWalked(TargetWalk& walk, const FolderWalker::Entry& entry)
{
    const bool isFolder = S_ISDIR(entry.info.st_mode);
    // Another file system mounted inside stays, and so does its mount point; a folder goes only
    // when everything in it went.
    bool stays = walk.position(entry).keeps() || entry.mountRoot ||
                 (isFolder && (walk.holdsWhatStays(entry) || m_context.filesOnly));
    if (!stays && isFolder && entry.error != 0)
        stays = !removeUnreadFolder(entry.dirFd, entry.name.data(), entry.info);
    else if (!stays) {
        const int error = removeEntry(entry.dirFd, entry.name, entry.path, entry.info, &entry.birth);
        if (error > 0)
            logMessage("oops: ", entry.path, ": ", std::strerror(error));
        stays = error != 0;
    }
    if (stays)
        walk.markStaying(entry);
}

int DeleteWalk::removeEntry(int dirFd, std::string_view name, std::string_view path, const struct stat& info,
                            const FileIdentity::Birth* birth)
{
    const bool isFolder = S_ISDIR(info.st_mode);
    const ShredRecord::FileId id = ShredRecord::idOf(info);
    ShredRecord& record = m_context.record;
    if (S_ISREG(info.st_mode)) {
        switch (record.overwrittenAt(dirFd, name.data(), info, birth)) {
        case ShredRecord::Match::NotOverwritten:
            keepNotOverwritten(path, info);
            return -1;
        case ShredRecord::Match::Replaced:
            keepReplaced(path, info);
            return -1;
        case ShredRecord::Match::Grew:
            // What was added since the passes is on the device as written.
            logMessage("Not deleting ", path, ": it grew after it was overwritten");
            record.grewSince(id);
            return -1;
        case ShredRecord::Match::Overwritten:
            break;
        }
    }
    const auto unlink = [&] {
        return ::unlinkat(dirFd, name.data(), isFolder ? AT_REMOVEDIR : 0) == 0 || errno == ENOENT ? 0
                                                                                                   : errno;
    };
    // A folder of the job's own that its mode keeps closed is opened for the moment of the removal
    // by the job itself; only another user's folder goes to the helper.
    if (const int error = OwnEntryAccess::inOwnFolder(dirFd, std::string(path).c_str(), unlink(), unlink);
        error != 0) {
        // Only a missing permission goes to the helper, which removes this one entry. A folder
        // that is not empty (something came into it that nobody examined) or in use stays.
        if ((error != EACCES && error != EPERM) || !m_helper.remove(std::string(path), info)) {
            // The file stays overwritten under its name; a folder stays with whatever it holds.
            if (S_ISREG(info.st_mode))
                record.removalFailed(id, error);
            else if (isFolder && !record.findUnreadFolder(id))
                m_context.reportFailure(std::string(path), 0, "Folder could not be deleted",
                                        std::strerror(error), ShredItem::Kind::Folder);
            return error;
        }
    }
    m_sync.removed(info.st_dev);
    if (S_ISREG(info.st_mode))
        record.nameRemoved(id);
    return 0;
}

void DeleteWalk::keepReplaced(std::string_view path, const struct stat& info)
{
    // The file overwritten is gone, and another file got its inode number: this one was never
    // overwritten, and its content would stay on the device after deletion.
    const ShredRecord::FileId id = ShredRecord::idOf(info);
    if (!m_replacedListed.insert(id).second)
        return;
    logMessage("Not deleting ", path, ": it replaced the file that was overwritten");
    m_context.reportFailure(std::string(path), info.st_size, kReplaced, {}, ShredItem::Kind::File, id);
}

void DeleteWalk::keepNotOverwritten(std::string_view path, const struct stat& info)
{
    // Never overwritten by this job: a failed file (listed already), or one the overwrite walk
    // never met (a listing that failed, a file that came later). Its content would stay on the
    // device after deletion.
    const ShredRecord::FileId id = ShredRecord::idOf(info);
    if (!m_context.record.examine(id))
        return;
    logMessage("Not deleting ", path, ": this job has not overwritten it");
    m_context.reportFailure(std::string(path), info.st_size, "Not overwritten, left in place", {},
                            ShredItem::Kind::File, id);
}

} // namespace cv
