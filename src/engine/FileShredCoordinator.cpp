#include "engine/FileShredCoordinator.h"

#include "common/FileTypeName.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/SecureRandom.h"
#include "common/UniqueFd.h"
#include "engine/RegularFileOpener.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace cv {

namespace {

constexpr const char* kFlushFileName = "Flush.dat";
constexpr std::size_t kFlushNameLength = 15;
constexpr int kFlushFailuresTolerated = 10;
// The flush commits the file system every this many renames. Each commit writes the root folder to
// the file system's journal again, so that the journal's older copies of folders, which hold the
// names of deleted files, are overwritten: 5,000 commits of a few blocks each wrap a journal of
// 8 MiB (ext4's on volumes up to a few GB). Without commits the renames meet in one transaction
// and the journal keeps the names.
constexpr std::uint64_t kFlushRoundsPerCommit = 2;
constexpr std::size_t kMaxNameLength = 255;
// Random names drawn per rename round before a clash counts as a failed round.
constexpr int kNameAttempts = 8;

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

// Renames (or moves, from one folder into another) without ever replacing an existing entry.
// Where the file system cannot promise that, the target is checked first (a race with another
// writer is then possible, but no entry of ours is replaced knowingly).
int renameNoReplace(int fromFd, const std::string& from, int toFd, const std::string& to)
{
    if (::renameat2(fromFd, from.c_str(), toFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    struct stat existing;
    if (::fstatat(toFd, to.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromFd, from.c_str(), toFd, to.c_str()) == 0 ? 0 : errno;
}

// How often the renaming walk tells which entry it is at.
constexpr std::chrono::milliseconds kReportInterval{20};

bool outOfDescriptors(int error)
{
    return error == EMFILE || error == ENFILE;
}

constexpr const char* kFolderNotRead = "Folder could not be read";

// Makes renames and removals of a folder's entries durable before the next phase.
void syncFolder(int fd)
{
    if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        logMessage("Syncing a folder failed: ", std::strerror(errno));
}

} // namespace

// One walk of a target, with what the coordinator keeps per depth: the folder's exclude position
// and whether something in the folder stays (so that the folder keeps its name and place).
struct FileShredCoordinator::Walk
{
    Walk(const PreparedExcludes& excludes, const std::string& root, FolderWalker::DirectoryReader* reader)
        : excludes(excludes), positions{excludes.at(root)}, stays{0}, folders{ItemPath::Folder::top(root)}
    {
        walker.setDirectoryReader(reader);
    }

    // The position of an entry met before anything below it; a folder starts with nothing staying.
    const PreparedExcludes::Position& enter(const FolderWalker::Entry& entry)
    {
        if (positions.size() <= entry.depth) {
            positions.resize(entry.depth + 1);
            stays.resize(entry.depth + 1);
            folders.resize(entry.depth + 1);
        }
        positions[entry.depth] = excludes.child(positions[entry.depth - 1], entry.name);
        stays[entry.depth] = 0;
        if (S_ISDIR(entry.info.st_mode))
            folders[entry.depth] = ItemPath::Folder::below(folders[entry.depth - 1], entry.name);
        return positions[entry.depth];
    }
    // After enter(): the entry's path, sharing its folder's with the other entries there.
    ItemPath itemPath(const FolderWalker::Entry& entry) const
    {
        return {folders[entry.depth - 1], entry.name};
    }
    // After enter(): the entry's own position, and whether something in it (a folder) stays.
    const PreparedExcludes::Position& position(const FolderWalker::Entry& entry) const
    {
        return positions[entry.depth];
    }
    bool holdsWhatStays(const FolderWalker::Entry& entry) const { return stays[entry.depth] != 0; }
    // The entry stays, and with it the folder that holds it.
    void markStaying(const FolderWalker::Entry& entry) { stays[entry.depth - 1] = 1; }
    bool rootHoldsWhatStays() const { return stays.front() != 0; }

    const PreparedExcludes& excludes;
    FolderWalker walker;
    std::vector<PreparedExcludes::Position> positions;
    std::vector<char> stays;
    std::vector<std::shared_ptr<const ItemPath::Folder>> folders;
};

std::size_t FileShredCoordinator::FileIdHash::operator()(const FileId& id) const
{
    return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.inode) * 0x9E3779B97F4A7C15ULL ^
                                      static_cast<std::uint64_t>(id.device));
}

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

void FileShredCoordinator::writtenBytes(std::int64_t bytes)
{
    m_fileBytesReported += bytes;
    if (m_delegate)
        m_delegate->fileshredWrittenBytes(bytes);
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

bool FileShredCoordinator::staysAsItIs(const struct stat& info, bool mountRoot,
                                       const PreparedExcludes::Position& position) const
{
    if (position.keeps() || mountRoot)
        return true;
    // A regular file goes only when this job overwrote that very file completely.
    return S_ISREG(info.st_mode) && !m_overwritten.contains(idOf(info));
}

void FileShredCoordinator::reportFailure(ItemPath path, std::int64_t size, const char* reasonKey,
                                         std::string detail, ShredItem::Kind kind, std::optional<FileId> id)
{
    if (!m_delegate)
        return;
    ShredItem item;
    item.fileSize = size;
    item.because(reasonKey, std::move(detail));
    item.kind = kind;
    if (id) {
        item.device = id->device;
        item.inode = id->inode;
    }
    // Only files count among the files and their bytes; a folder, mount point or volume is an
    // error of its own kind.
    if (kind == ShredItem::Kind::File) {
        m_delegate->fileshredCurrentPath(path);
        m_delegate->fileshredReportErrorForMissingBytes(allPasses(size));
    }
    item.path = std::move(path);
    m_delegate->fileshredAddShredItem(std::move(item));
}

// ---- overwriting ----------------------------------------------------------------------------

void FileShredCoordinator::shredPath(const std::string& target, const PreparedExcludes& excludes)
{
    if (isCancelled())
        return;
    const std::string path(withoutTrailingSlashes(target));
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0) {
        logMessage("Cannot shred ", path, ": ", std::strerror(errno));
        return;
    }
    const PreparedExcludes::Position position = excludes.at(path);
    if (position.keeps() && !S_ISDIR(info.st_mode))
        return;
    if (!S_ISDIR(info.st_mode)) {
        shredEntry(AT_FDCWD, path, path, info, mountRoot);
        return;
    }
    if (position.covered())
        return;
    UniqueFd rootFd(FolderWalker::openFolder(path));
    if (!rootFd) {
        const int error = errno;
        logMessage("Cannot open folder ", path, ": ", std::strerror(error));
        m_keepers.insert(idOf(info));
        m_unreadFolders.try_emplace(idOf(info), UnreadFolder{path, error});
        return;
    }
    Walk walk(excludes, path, m_reader);
    m_walker = &walk.walker;
    const int rootError = walk.walker.walk(
        rootFd.get(), path,
        [&](const FolderWalker::Entry& entry) {
            if (isCancelled())
                return false;
            const PreparedExcludes::Position& position = walk.enter(entry);
            if (position.covered())
                return false;
            if (S_ISDIR(entry.info.st_mode) && !entry.mountRoot)
                return true;
            if (position.keeps())
                return false;
            shredEntry(entry.dirFd, entry.name, walk.itemPath(entry), entry.info, entry.mountRoot);
            // Between files the worker steps aside for whoever else wants the processor. A fixed
            // sleep here would cost more than the overwriting itself on trees of small files.
            if (m_filePause.count() > 0)
                std::this_thread::sleep_for(m_filePause);
            else
                std::this_thread::yield();
            return false;
        },
        [&](const FolderWalker::Entry& entry) {
            // A folder the walk could not read in full: what it holds was not overwritten. That is
            // its error unless the delete phase finds it empty after all (rmdir removes only an
            // empty folder, and needs no listing).
            if (entry.error != 0 && !isCancelled())
                m_unreadFolders.try_emplace(idOf(entry.info),
                                            UnreadFolder{walk.itemPath(entry), entry.error});
            // What stays, and every folder that holds it, is known from here on: the renaming
            // leaves those folders where they are, under their names.
            const bool isFolder = S_ISDIR(entry.info.st_mode);
            if (isCancelled() || staysAsItIs(entry.info, entry.mountRoot, walk.position(entry)) ||
                (isFolder && (walk.holdsWhatStays(entry) || entry.error != 0))) {
                if (isFolder && !entry.mountRoot)
                    m_keepers.insert(idOf(entry.info));
                walk.markStaying(entry);
            }
        });
    m_walker = nullptr;
    if (rootError != 0 && !isCancelled())
        m_unreadFolders.try_emplace(idOf(info), UnreadFolder{path, rootError});
}

void FileShredCoordinator::shredFile(const std::string& path)
{
    if (isCancelled())
        return;
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0) {
        logMessage("Cannot shred ", path, ": ", std::strerror(errno));
        return;
    }
    shredEntry(AT_FDCWD, path, path, info, mountRoot);
}

void FileShredCoordinator::shredEntry(int dirFd, std::string_view name, ItemPath path,
                                      const struct stat& info, bool mountRoot)
{
    if (isCancelled() || S_ISLNK(info.st_mode))
        return;
    if (mountRoot) {
        // Another file system's folder, or a file mounted over one of the selection's (as
        // containers mount /etc/hosts): whatever is written through it lands outside the selection.
        logMessage("Not shredding ", path, ": a mount point");
        const std::int64_t size = S_ISREG(info.st_mode) ? info.st_size : 0;
        reportFailure(std::move(path), size, "Mount point, left in place", {}, ShredItem::Kind::MountPoint);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        // FIFOs, sockets and devices hold no data of their own to overwrite; they are renamed and
        // removed like any other entry.
        logMessage("Not overwriting ", path, ": ", fileTypeName(info.st_mode));
        return;
    }
    // Met before in this job (through overlapping targets): overwritten and listed once.
    if (m_examined.contains(idOf(info)))
        return;
    if (info.st_nlink > 1)
        shredLinkedFile(dirFd, name, std::move(path), info);
    else // the file is listed with its outcome; nothing else waits for it
        static_cast<void>(shredFileAt(dirFd, name.data(), std::move(path), info));
}

std::optional<FileShredCoordinator::Reason>
FileShredCoordinator::shredFileAt(int dirFd, const char* name, ItemPath path, const struct stat& info)
{
    const std::int64_t size = info.st_size;
    const FileId id = idOf(info);
    m_examined.insert(id);
    if (m_delegate)
        m_delegate->fileshredCurrentPath(path);
    ShredItem item;
    item.path = std::move(path);
    item.fileSize = size;
    item.device = id.device;
    item.inode = id.inode;

    bool cancelled = false;
    m_fileBytesReported = 0;
    auto opened = RegularFileOpener::openExamined(dirFd, name, info);
    // Out of descriptors: the walk gives up those it holds beyond the current folder.
    if (opened.status == RegularFileOpener::Status::OpenFailed && outOfDescriptors(opened.error) &&
        m_walker && m_walker->releaseDescriptors())
        opened = RegularFileOpener::openExamined(dirFd, name, info);
    // A file the process may not write is opened up by the helper, if it will.
    bool overwritable = true;
    if (opened.status == RegularFileOpener::Status::NotWritable) {
        // The helper never opens up a file with other names; it is not asked to. Its refusal
        // (polkit's no, no bus, no answer) is named with the reason.
        const Expected<void, std::string> openedUp =
            info.st_nlink == 1 ? changePermission(item.path, info)
                               : Expected<void, std::string>(Unexpected(std::string()));
        overwritable = openedUp.has_value();
        m_helperGaveFiles = m_helperGaveFiles || overwritable;
        if (overwritable)
            opened = RegularFileOpener::openExamined(dirFd, name, info);
        else
            item.because("Path no writable", openedUp.error());
    }
    if (overwritable) {
        if (opened.status != RegularFileOpener::Status::Opened) {
            item.because("Failed to open file", RegularFileOpener::describe(opened));
            logMessage("Failed to open file ", item.path, ": ", RegularFileOpener::describe(opened));
        } else if (m_algorithm->cycles() == 0) {
            // A method without passes writes nothing: the file is not overwritten, so it stays.
            item.because("Failed to write file");
            logMessage("Failed to write file ", item.path, ": the method has no passes");
        } else {
            switch (m_writer.shredInFile(opened.fd.get(), size)) {
            case ShredWriter::Outcome::Failed:
                item.because("Failed to write file", std::strerror(m_writer.lastError()));
                logMessage("Failed to write file ", item.path, ": ", std::strerror(m_writer.lastError()));
                break;
            case ShredWriter::Outcome::VerificationFailed:
                // What the device holds is not what was written: the content may still be there.
                item.because("Verification failed", verificationDetail());
                item.differsAt = m_writer.mismatchOffset();
                logMessage("Verification failed for ", item.path, ": ", item.detail);
                break;
            case ShredWriter::Outcome::Cancelled:
                // Only part of the passes reached the file, or they were not all read back: it is
                // not proven overwritten, though no error.
                item.because(m_writer.cancelledWhileVerifying()
                                 ? "Overwritten, not verified: the job was cancelled"
                                 : "Canceled");
                item.cancelled = true;
                cancelled = true;
                break;
            case ShredWriter::Outcome::Completed:
                item.success = true;
                item.verified = m_writer.lastFileVerified();
                break;
            }
        }
    }
    if (item.success) {
        m_overwritten.emplace(id, size);
        ++m_totals.filesOverwritten;
        m_totals.bytesOverwritten += size;
    }
    if (!item.success && !cancelled && m_delegate) {
        // What the writer did not report of the file's full amount is booked as done here.
        m_delegate->fileshredReportErrorForMissingBytes(
            std::max<std::int64_t>(0, allPasses(size) - m_fileBytesReported));
    }
    std::optional<Reason> outcome;
    if (!item.success)
        outcome = Reason{item.reasonKey, item.detail};
    if (m_delegate)
        m_delegate->fileshredAddShredItem(std::move(item));
    return outcome;
}

void FileShredCoordinator::shredLinkedFile(int dirFd, std::string_view name, ItemPath path,
                                           const struct stat& info)
{
    // A name is its folder (device and inode) and its name there, however its path was spelled.
    struct stat folder;
    const SplitPath split = dirFd == AT_FDCWD ? splitPath(std::string(name)) : SplitPath{};
    const int examined = dirFd == AT_FDCWD ? ::stat(split.parent.c_str(), &folder) : ::fstat(dirFd, &folder);
    if (examined != 0) {
        logMessage("Cannot examine the folder of ", path, ": ", std::strerror(errno));
        return;
    }
    const FileId id = idOf(info);
    auto [found, fresh] = m_linkedFiles.try_emplace(id);
    LinkedFile& file = found->second;
    if (fresh)
        m_linkedOrder.push_back(id);
    file.links = info.st_nlink;
    file.size = info.st_size;
    const std::string key = std::to_string(folder.st_dev) + ":" + std::to_string(folder.st_ino) + "/" +
                            (dirFd == AT_FDCWD ? split.name : std::string(name));
    const auto sameName = [&key](const auto& known) { return known.first == key; };
    if (std::none_of(file.names.begin(), file.names.end(), sameName))
        file.names.emplace_back(key, path);
    if (file.names.size() < file.links)
        return; // its other names may still come; finishShredding() reports it if they do not

    // Every name lies inside the selection: the file is overwritten once, through this name, and
    // listed under each of its names.
    std::vector<std::pair<std::string, ItemPath>> names = std::move(file.names);
    const std::int64_t size = file.size;
    m_linkedFiles.erase(found);
    const auto overwritten = shredFileAt(dirFd, name.data(), std::move(path), info);
    if (isCancelled())
        return;
    for (auto& [otherKey, other] : names) {
        if (otherKey == key)
            continue;
        if (overwritten) {
            reportFailure(std::move(other), size, overwritten->key, overwritten->detail,
                          ShredItem::Kind::File, id);
            continue;
        }
        ++m_totals.filesOverwritten;
        if (!m_delegate)
            continue;
        m_delegate->fileshredCurrentPath(other);
        // The scan counted the file under each name; progress follows it.
        m_delegate->fileshredWrittenBytes(allPasses(size));
        ShredItem item;
        item.path = std::move(other);
        item.fileSize = size;
        item.success = true;
        item.verified = m_writer.lastFileVerified();
        item.device = id.device;
        item.inode = id.inode;
        m_delegate->fileshredAddShredItem(std::move(item));
    }
}

void FileShredCoordinator::finishShredding()
{
    if (!isCancelled()) {
        for (const FileId& id : m_linkedOrder) {
            const auto found = m_linkedFiles.find(id);
            if (found == m_linkedFiles.end())
                continue;
            m_examined.insert(id);
            // Overwriting it would destroy what its other names outside the selection show.
            for (auto& [key, path] : found->second.names) {
                logMessage("Not overwriting ", path, ": the file has other hard links outside the selection");
                reportFailure(std::move(path), found->second.size, "File has other hard links", {},
                              ShredItem::Kind::File, id);
            }
        }
    }
    m_linkedFiles.clear();
    m_linkedOrder.clear();
}

std::string FileShredCoordinator::verificationDetail() const
{
    if (const auto offset = m_writer.mismatchOffset())
        return localized("first difference at byte") + " " + std::to_string(*offset);
    return std::strerror(m_writer.lastError());
}

std::int64_t FileShredCoordinator::allPasses(std::int64_t size) const
{
    return static_cast<std::int64_t>(m_writer.passesCounted()) * size;
}

bool FileShredCoordinator::reportDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastReport < kReportInterval)
        return false;
    m_lastReport = now;
    return true;
}

// ---- renaming -------------------------------------------------------------------------------

std::optional<std::string> FileShredCoordinator::renameEntryAt(int dirFd, const std::string& name, int toFd,
                                                               std::size_t length, std::string_view path,
                                                               std::uint64_t rounds)
{
    std::string current = name;
    int currentFd = dirFd;
    bool renamed = false;
    int lastError = 0;
    for (std::uint64_t round = 0; round < rounds; ++round) {
        // A name that is taken is no failure of the file system: another name is drawn, a few
        // times, so that short names in full folders still lose their old name.
        int error = EEXIST;
        for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
            const std::string candidate = randomAlphanumericStringWithLength(length);
            error = renameNoReplace(currentFd, current, toFd, candidate);
            // In a folder the process may not write, the helper renames the entry in place, so
            // that the name goes with the content; once it refused, names stay for the rest of
            // the job rather than asking the user again and again.
            if ((error == EACCES || error == EPERM) && currentFd == toFd && !m_helperRenameRefused) {
                error = renameThroughHelper(currentFd, current, candidate);
                m_helperRenameRefused = error != 0;
            }
            if (error == 0) {
                current = candidate;
                currentFd = toFd;
                renamed = true;
            }
        }
        if (error != 0)
            lastError = error; // this round keeps the old name
    }
    if (lastError != 0)
        logMessage("Renaming ", path, " failed in some rounds: ", std::strerror(lastError));
    if (!renamed)
        return std::nullopt;
    return current;
}

std::string FileShredCoordinator::renameAtPath(const std::string& target, const PreparedExcludes& excludes)
{
    const std::string path(withoutTrailingSlashes(target));
    // After a cancel a target keeps its name: renamed but never deleted, it would be lost to the user.
    struct stat info;
    bool mountRoot = false;
    if (isCancelled() || FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0)
        return path;
    const PreparedExcludes::Position position = excludes.at(path);
    bool stays = staysAsItIs(info, mountRoot, position);
    // A folder's contents are renamed even when the folder itself keeps its name because it holds
    // something that stays.
    if (S_ISDIR(info.st_mode)) {
        if (!position.covered())
            stays = renameInFolder(path, excludes) || stays;
        stays = stays || m_filesOnly;
    }
    if (stays)
        return path;

    const SplitPath split = splitPath(path);
    UniqueFd parentFd(::open(split.parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd) {
        logMessage("Cannot rename ", path, ": ", std::strerror(errno));
        keepsItsName(info);
        return path;
    }
    const auto newName =
        renameEntryAt(parentFd.get(), split.name, parentFd.get(), characterCount(split.name), path, 1);
    if (!newName) {
        keepsItsName(info);
        return path;
    }
    syncFolder(parentFd.get());
    return joinPath(split.parent, *newName);
}

void FileShredCoordinator::renameFileOrFolderInFolder(const std::string& folder,
                                                      const PreparedExcludes& excludes)
{
    renameInFolder(std::string(withoutTrailingSlashes(folder)), excludes);
}

bool FileShredCoordinator::renameInFolder(const std::string& folder, const PreparedExcludes& excludes)
{
    if (isCancelled())
        return true;
    // A folder the process may not write keeps the names of its entries: the helper opens up
    // regular files only, so it is not asked.
    UniqueFd folderFd(FolderWalker::openFolder(folder));
    if (!folderFd) {
        logMessage("Cannot rename in ", folder, ": ", std::strerror(errno));
        return true;
    }
    // The walk stays in the folders that keep their names: those that hold something that stays
    // (known from the overwrite walk, or found now). Every other folder is renamed where it is and
    // then emptied into the folder the walk is in (see flatten()).
    Walk walk(excludes, folder, m_reader);
    const auto keepsItsPlace = [&](const FolderWalker::Entry& entry) {
        return m_filesOnly || walk.position(entry).keeps() || m_keepers.contains(idOf(entry.info));
    };
    const int rootError = walk.walker.walk(
        folderFd.get(), folder,
        [&](const FolderWalker::Entry& entry) {
            if (isCancelled() || walk.enter(entry).covered())
                return false;
            return S_ISDIR(entry.info.st_mode) && keepsItsPlace(entry);
        },
        [&](const FolderWalker::Entry& entry) {
            const bool isFolder = S_ISDIR(entry.info.st_mode);
            // Files not overwritten, mount points, excluded items and the folders that hold any
            // of them keep their names: they stay where the user can find them.
            if (isCancelled() || staysAsItIs(entry.info, entry.mountRoot, walk.position(entry)) ||
                (isFolder && (keepsItsPlace(entry) || walk.holdsWhatStays(entry) || entry.error != 0))) {
                walk.markStaying(entry);
                return;
            }
            // Links inside a target keep their names: they are removed, never followed.
            if (S_ISLNK(entry.info.st_mode))
                return;
            if (m_delegate && reportDue())
                m_delegate->fileshredRenamingPath(localized("Renaming File") + " - " +
                                                  std::string(entry.path));
            const std::string name(entry.name);
            const auto renamed = renameEntryAt(entry.dirFd, name, entry.dirFd, characterCount(name),
                                               entry.path, m_algorithm->cycles());
            if (!renamed)
                keepsItsName(entry.info);
            const std::string_view holder = entry.path.substr(0, entry.path.size() - entry.name.size() - 1);
            if (isFolder &&
                flatten(entry.dirFd, holder, renamed.value_or(name), entry.info, characterCount(name)))
                walk.markStaying(entry);
        });
    // The renames must reach the device before the entries are deleted; one file-system sync covers
    // every folder of the walk.
    if (::syncfs(folderFd.get()) != 0)
        logMessage("Syncing the renames in ", folder, " failed: ", std::strerror(errno));
    return walk.rootHoldsWhatStays() || rootError != 0;
}

bool FileShredCoordinator::flatten(int holderFd, std::string_view holderPath, const std::string& name,
                                   const struct stat& info, std::size_t relativeLength)
{
    // Renaming an entry costs the system the depth of the entry (it checks the whole way up to the
    // root), so a deep tree renamed where it stands costs the square of its depth. Its folders hold
    // nothing that stays, so their contents may move: each entry is moved up into the holder (its
    // first rename round) and renamed there, and each moved folder is emptied in turn. Every move
    // is from a folder directly inside the holder, so each costs the same at any depth of the
    // tree. A moved entry's name is as long as its path below the holder was.
    struct Pending
    {
        std::string path; // within the holder; one name unless a folder could not be moved
        struct stat info;
        std::size_t relativeLength;
    };
    std::deque<Pending> pending{Pending{name, info, relativeLength}};
    FolderWalker::DirectoryReader systemReader;
    FolderWalker::DirectoryReader& reader = m_reader ? *m_reader : systemReader;
    bool leftovers = false;
    std::string names;
    while (!pending.empty()) {
        if (isCancelled())
            return true;
        const Pending folder = std::move(pending.front());
        pending.pop_front();
        UniqueFd fd(FolderWalker::openExamined(holderFd, folder.path.c_str(), folder.info));
        names.clear();
        const int error = fd ? FolderWalker::readNames(fd.get(), names, reader) : errno;
        if (error != 0) {
            logMessage("Cannot rename in ", holderPath, "/", folder.path, ": ",
                       FolderWalker::describeError(error));
            leftovers = true;
        }
        for (std::size_t offset = 0; offset < names.size();) {
            const std::string entryName(names.data() + offset);
            offset += entryName.size() + 1;
            struct stat entryInfo;
            bool mountRoot = false;
            if (FolderWalker::examine(fd.get(), entryName.c_str(), entryInfo, mountRoot) != 0) {
                leftovers = leftovers || errno != ENOENT;
                continue;
            }
            // Links keep their names (they go with the folder's contents); what appeared since the
            // overwrite walk and stays keeps its name and makes the folder stay.
            if (S_ISLNK(entryInfo.st_mode))
                continue;
            if (mountRoot || entryInfo.st_dev != folder.info.st_dev ||
                staysAsItIs(entryInfo, false, PreparedExcludes::Position())) {
                leftovers = true;
                continue;
            }
            const std::size_t length = folder.relativeLength + 1 + characterCount(entryName);
            if (m_delegate && reportDue())
                m_delegate->fileshredRenamingPath(localized("Renaming File") + " - " +
                                                  std::string(holderPath) + "/" + folder.path + "/" +
                                                  entryName);
            const std::uint64_t rounds = m_algorithm->cycles();
            if (auto moved = renameEntryAt(fd.get(), entryName, holderFd, std::min(length, kMaxNameLength),
                                           entryName, rounds)) {
                if (S_ISDIR(entryInfo.st_mode))
                    pending.push_back(Pending{std::move(*moved), entryInfo, length});
                continue;
            }
            // It cannot move (a folder the process may not write, for one): renamed where it is.
            const auto renamed =
                renameEntryAt(fd.get(), entryName, fd.get(), characterCount(entryName), entryName, rounds);
            // An entry that can neither move nor be renamed will most likely not go either: the
            // folders above keep their names, so that the user finds it where it was.
            if (!renamed) {
                keepsItsName(entryInfo);
                leftovers = true;
            }
            if (S_ISDIR(entryInfo.st_mode))
                pending.push_back(
                    Pending{folder.path + "/" + renamed.value_or(entryName), entryInfo, length});
        }
    }
    return leftovers;
}

// ---- flushing -------------------------------------------------------------------------------

Expected<void, std::string> FileShredCoordinator::flushLog(const std::string& volumePath, std::uint64_t count)
{
    if (isCancelled())
        return {};
    if (m_delegate)
        m_delegate->fileshredFlushPath(localized("Renaming Files"));

    UniqueFd rootFd(::open(volumePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // O_EXCL: a "Flush.dat" that is already there may be somebody's file; it is left alone.
    UniqueFd flushFd(rootFd ? ::openat(rootFd.get(), kFlushFileName,
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                            : -1);
    if (!flushFd) {
        const int error = errno;
        logMessage("Cannot create the flush file on ", volumePath, ": ", std::strerror(error));
        return Unexpected(std::string(std::strerror(error)));
    }
    flushFd.reset();

    std::string current = kFlushFileName;
    int failures = 0;
    int lastError = 0;
    for (std::uint64_t round = 0; round < count; ++round) {
        const std::string candidate = randomAlphanumericStringWithLength(kFlushNameLength);
        const int error = renameNoReplace(rootFd.get(), current, rootFd.get(), candidate);
        if (error == 0) {
            current = candidate;
        } else {
            logMessage("oops: ", std::strerror(error));
            lastError = error;
            if (++failures > kFlushFailuresTolerated)
                break;
        }
        if (isCancelled())
            break;
        if ((round + 1) % kFlushRoundsPerCommit == 0)
            ::syncfs(rootFd.get());
    }
    if (::unlinkat(rootFd.get(), current.c_str(), 0) != 0) {
        lastError = errno;
        failures = kFlushFailuresTolerated + 1;
        logMessage("Cannot remove the flush file ", joinPath(volumePath, current), ": ",
                   std::strerror(lastError));
    }
    syncFolder(rootFd.get());
    if (failures > kFlushFailuresTolerated)
        return Unexpected(std::string(std::strerror(lastError)));
    return {};
}

// ---- deleting -------------------------------------------------------------------------------

void FileShredCoordinator::saveDelete(const std::string& target, const PreparedExcludes& excludes)
{
    const std::string path(withoutTrailingSlashes(target));
    if (isCancelled())
        return;
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0)
        return;
    const PreparedExcludes::Position position = excludes.at(path);
    const bool isFolder = S_ISDIR(info.st_mode);
    bool stays = position.keeps() || (isFolder && m_filesOnly) || (!isFolder && mountRoot);
    if (isFolder && !stays && removeUnreadFolder(AT_FDCWD, path.c_str(), info))
        return;
    if (isFolder && !position.covered())
        stays = deleteInFolder(path, excludes) || stays;
    if (stays)
        return;
    if (const int error = removeEntry(AT_FDCWD, path, path, info); error > 0)
        logMessage("Error while deleting path ", path, " -> ", std::strerror(error));
}

bool FileShredCoordinator::removeUnreadFolder(int dirFd, const char* name, const struct stat& info)
{
    const auto unread = m_unreadFolders.find(idOf(info));
    if (unread == m_unreadFolders.end() || ::unlinkat(dirFd, name, AT_REMOVEDIR) != 0)
        return false;
    logMessage("Removed the folder ", unread->second.path, ", which could not be read but was empty");
    m_unreadFolders.erase(unread);
    return true;
}

void FileShredCoordinator::finishDeleting()
{
    // Folders whose listing failed and that did not turn out empty: what they hold was not
    // overwritten, and they stay.
    for (auto& [id, folder] : m_unreadFolders)
        reportFailure(std::move(folder.path), 0, kFolderNotRead, FolderWalker::describeError(folder.error),
                      ShredItem::Kind::Folder);
    m_unreadFolders.clear();
}

void FileShredCoordinator::keepsItsName(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        m_fates[idOf(info)].nameKept = true;
}

void FileShredCoordinator::settle(std::vector<ShredItem>& history) const
{
    // The names of each overwritten file that the job met, to tell whether all of them went.
    std::unordered_map<FileId, std::uint64_t, FileIdHash> names;
    for (const ShredItem& item : history) {
        if (item.kind == ShredItem::Kind::File && item.success)
            ++names[idOf(item)];
    }
    for (ShredItem& item : history) {
        if (item.kind != ShredItem::Kind::File)
            continue;
        if (!item.success) {
            item.state = ShredItem::State::NotOverwritten;
            continue;
        }
        const FileId id = idOf(item);
        const auto fate = m_fates.find(id);
        if (fate != m_fates.end() && fate->second.namesRemoved >= names[id]) {
            item.state = fate->second.nameKept ? ShredItem::State::NameKept : ShredItem::State::Deleted;
            if (fate->second.nameKept)
                item.because("Deleted, but its name could not be removed first");
            continue;
        }
        item.state = ShredItem::State::Overwritten;
        if (fate != m_fates.end() && fate->second.removeError != 0) {
            item.because("Overwritten, but could not be deleted", std::strerror(fate->second.removeError));
        } else if (isCancelled()) {
            item.because("Overwritten, not deleted: the job was cancelled");
            item.cancelled = true;
        } else {
            item.because("Overwritten, but could not be deleted");
        }
    }
}

bool FileShredCoordinator::deleteInFolder(const std::string& folder, const PreparedExcludes& excludes)
{
    UniqueFd rootFd(FolderWalker::openFolder(folder));
    if (!rootFd) {
        logMessage("Cannot delete in ", folder, ": ", std::strerror(errno));
        return true;
    }
    Walk walk(excludes, folder, m_reader);
    const int rootError = walk.walker.walk(
        rootFd.get(), folder,
        [&](const FolderWalker::Entry& entry) {
            const PreparedExcludes::Position& position = walk.enter(entry);
            // The folders the renaming emptied go at once, without being listed; the walk finds them
            // gone. Any other folder is entered, and goes after its contents if they all went.
            if (S_ISDIR(entry.info.st_mode) && !position.keeps() && !entry.mountRoot && !m_filesOnly &&
                !m_keepers.contains(idOf(entry.info)) &&
                ::unlinkat(entry.dirFd, entry.name.data(), AT_REMOVEDIR) == 0)
                return true;
            return !position.covered();
        },
        [&](const FolderWalker::Entry& entry) {
            const bool isFolder = S_ISDIR(entry.info.st_mode);
            // Another file system mounted inside stays, and so does its mount point; a folder goes
            // only when everything in it went.
            bool stays = walk.position(entry).keeps() || entry.mountRoot ||
                         (isFolder && (walk.holdsWhatStays(entry) || m_filesOnly));
            if (!stays && isFolder && entry.error != 0)
                stays = !removeUnreadFolder(entry.dirFd, entry.name.data(), entry.info);
            else if (!stays) {
                const int error = removeEntry(entry.dirFd, entry.name, entry.path, entry.info);
                if (error > 0)
                    logMessage("oops: ", entry.path, ": ", std::strerror(error));
                stays = error != 0;
            }
            if (stays)
                walk.markStaying(entry);
        });
    return walk.rootHoldsWhatStays() || rootError != 0;
}

int FileShredCoordinator::removeEntry(int dirFd, std::string_view name, std::string_view path,
                                      const struct stat& info)
{
    const bool isFolder = S_ISDIR(info.st_mode);
    const FileId id = idOf(info);
    if (S_ISREG(info.st_mode) && !m_overwritten.contains(id)) {
        // Never overwritten by this job: a failed file (listed already), or one the overwrite walk
        // never met (a listing that failed, a file that came later). Its content would stay on the
        // device after deletion.
        if (m_examined.insert(id).second) {
            logMessage("Not deleting ", path, ": this job has not overwritten it");
            reportFailure(std::string(path), info.st_size, "Not overwritten, left in place", {},
                          ShredItem::Kind::File, id);
        }
        return -1;
    }
    if (::unlinkat(dirFd, name.data(), isFolder ? AT_REMOVEDIR : 0) != 0 && errno != ENOENT) {
        const int error = errno;
        // Only a missing permission goes to the helper, which removes this one entry. A folder
        // that is not empty (something came into it that nobody examined) or in use stays.
        if ((error != EACCES && error != EPERM) || !forceDelete(std::string(path), info)) {
            // The file stays overwritten under its name; a folder stays with whatever it holds.
            if (S_ISREG(info.st_mode))
                m_fates[id].removeError = error;
            else if (isFolder && !m_unreadFolders.contains(id))
                reportFailure(std::string(path), 0, "Folder could not be deleted", std::strerror(error),
                              ShredItem::Kind::Folder);
            return error;
        }
    }
    if (S_ISREG(info.st_mode)) {
        ++m_totals.filesRemoved;
        ++m_fates[id].namesRemoved;
        if (m_removed.insert(id).second)
            m_totals.bytesRemoved += m_overwritten[id];
    }
    return 0;
}

// ---- the privileged helper ------------------------------------------------------------------

Expected<void, std::string> FileShredCoordinator::changePermission(const std::string& path,
                                                                   const struct stat& info)
{
    return callHelper(path, info, HelperVerb::OpenUp);
}

Expected<void, std::string> FileShredCoordinator::forceDelete(const std::string& path,
                                                              const struct stat& info)
{
    return callHelper(path, info, HelperVerb::Delete);
}

int FileShredCoordinator::renameThroughHelper(int dirFd, const std::string& from, const std::string& to)
{
    struct stat info;
    if (::fstatat(dirFd, from.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    // The folder's path as the system knows it now; the helper opens it again, link-free, and
    // acts only when the name still holds this very entry.
    std::string folder(4096, '\0');
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(dirFd)).c_str(), folder.data(), folder.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= folder.size() || folder.front() != '/')
        return EACCES;
    folder.resize(static_cast<std::size_t>(length));
    return callHelper(joinPath(folder, from), info, HelperVerb::Rename, to) ? 0 : EACCES;
}

void FileShredCoordinator::restoreGivenFiles()
{
    if (!m_helperTool || !m_helperGaveFiles)
        return;
    m_helperGaveFiles = false;
    struct State
    {
        std::mutex mutex;
        std::condition_variable arrived;
        std::optional<Expected<void, std::string>> outcome;
    };
    auto state = std::make_shared<State>();
    m_helperTool->restorePermissions([state](Expected<void, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        state->outcome = std::move(outcome);
        state->arrived.notify_all();
    });
    // Asks nobody: the helper gives back what it did for this caller, at once. Should it not
    // answer, it does the same when this program leaves the bus.
    std::unique_lock lock(state->mutex);
    if (!state->arrived.wait_for(lock, m_helperTimeout, [&] { return state->outcome.has_value(); }))
        logLine("Helper tool did not answer in time when giving opened-up files back");
    else if (!*state->outcome)
        logMessage("Helper tool could not give opened-up files back: ", state->outcome->error());
}

Expected<void, std::string> FileShredCoordinator::callHelper(const std::string& path, const struct stat& info,
                                                             HelperVerb verb, const std::string& newName)
{
    if (!m_helperTool)
        return Unexpected(std::string());
    if (isCancelled())
        return Unexpected(std::string("the job was cancelled"));
    SplitPath split = splitPath(path);
    if (split.parent.empty() || split.parent.front() != '/') {
        // The helper takes absolute folders only.
        std::string cwd(4096, '\0');
        if (!::getcwd(cwd.data(), cwd.size()))
            return Unexpected(std::string("the working folder cannot be named"));
        split.parent = split.parent == "." ? std::string(cwd.c_str()) : joinPath(cwd.c_str(), split.parent);
    }
    const ExaminedEntry entry{split.parent, split.name, static_cast<std::uint64_t>(info.st_dev),
                              static_cast<std::uint64_t>(info.st_ino)};
    // The reply may come after we stopped waiting, or never: what it touches lives on in `state`.
    struct State
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        bool askingUser = false;
        Expected<void, std::string> outcome;
    };
    auto state = std::make_shared<State>();
    HelperToolClient::Reply reply = [state](Expected<void, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        if (state->done)
            return;
        state->done = true;
        state->outcome = std::move(outcome);
        state->changed.notify_all();
    };
    HelperToolClient::AskingUser askingUser = [state]() {
        std::lock_guard lock(state->mutex);
        state->askingUser = true;
        state->changed.notify_all();
    };
    switch (verb) {
    case HelperVerb::OpenUp:
        m_helperTool->allowWriteOperationsOnPath(entry, std::move(reply), std::move(askingUser));
        break;
    case HelperVerb::Delete:
        m_helperTool->deleteFileAtPath(entry, std::move(reply), std::move(askingUser));
        break;
    case HelperVerb::Rename:
        m_helperTool->renameEntryAt(entry, newName, std::move(reply), std::move(askingUser));
        break;
    }

    // The helper answers within the timeout, unless it asks the user: then the job waits for the
    // user as long as the user takes, until a cancel. A call given up on is withdrawn, so that the
    // helper never carries it out later.
    constexpr std::chrono::milliseconds kCancelPoll{50};
    const auto deadline = std::chrono::steady_clock::now() + m_helperTimeout;
    bool waitingShown = false;
    bool answered = false;
    bool cancelled = false;
    {
        std::unique_lock lock(state->mutex);
        while (!state->done) {
            if (isCancelled()) {
                cancelled = true;
                break;
            }
            if (state->askingUser && !waitingShown && m_delegate) {
                waitingShown = true;
                lock.unlock();
                m_delegate->fileshredWaitingForAuthorization(true);
                lock.lock();
                continue;
            }
            const auto now = std::chrono::steady_clock::now();
            if (!state->askingUser && now >= deadline)
                break;
            const auto until = state->askingUser ? now + kCancelPoll : std::min(deadline, now + kCancelPoll);
            state->changed.wait_until(lock, until);
        }
        answered = state->done;
    }
    if (waitingShown)
        m_delegate->fileshredWaitingForAuthorization(false);
    if (!answered) {
        m_helperTool->withdrawCalls();
        if (cancelled) {
            logMessage("Helper tool call withdrawn after the cancel: ", path);
            return Unexpected(std::string("the job was cancelled"));
        }
        logMessage("Helper tool did not answer in time for ", path);
        return Unexpected(std::string("the privileged helper did not answer"));
    }
    if (!state->outcome) {
        logMessage("Helper tool refused ", path, ": ", state->outcome.error());
        return Unexpected(state->outcome.error());
    }
    return {};
}

} // namespace cv
