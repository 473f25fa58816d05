#include "engine/OverwritePhase.h"

#include "common/FileTypeName.h"
#include "common/KernelFileSystem.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"
#include "engine/HelperCalls.h"
#include "engine/OwnEntryAccess.h"
#include "engine/ShredContext.h"
#include "engine/TargetWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace cv {

namespace {

bool outOfDescriptors(int error)
{
    return error == EMFILE || error == ENFILE;
}

} // namespace

OverwritePhase::OverwritePhase(ShredContext& context, HelperCalls& helper)
    : m_context(context), m_helper(helper)
{
    m_context.writer.setDelegate(this);
}

void OverwritePhase::writtenBytes(std::int64_t bytes)
{
    m_fileBytesReported += bytes;
    if (m_context.delegate)
        m_context.delegate->fileshredWrittenBytes(bytes);
}

void OverwritePhase::fileGrew(std::int64_t bytes)
{
    if (m_context.delegate)
        m_context.delegate->fileshredFileGrew(bytes);
}

void OverwritePhase::shredPath(const std::string& target, const PreparedExcludes& excludes)
{
    if (m_context.isCancelled())
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
    if (const auto kernel = KernelFileSystem::atPath(path)) {
        // Not one entry of it is data: it is listed, and the renaming and deletion leave it too.
        logMessage("Not shredding ", path, ": ", kernel->refusal(path, mountRoot));
        m_context.reportFailure(path, S_ISREG(info.st_mode) ? info.st_size : 0,
                                "Kernel file system, left in place", kernel->describe(),
                                S_ISDIR(info.st_mode) ? ShredItem::Kind::Folder : ShredItem::Kind::File,
                                ShredRecord::idOf(info));
        if (S_ISDIR(info.st_mode))
            m_context.record.keepFolder(ShredRecord::idOf(info));
        else
            m_context.record.examine(ShredRecord::idOf(info));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        shredEntry(AT_FDCWD, path, path, info, mountRoot);
        return;
    }
    if (position.covered())
        return;
    ShredRecord& record = m_context.record;
    UniqueFd rootFd(FolderWalker::openFolder(path));
    if (!rootFd) {
        const int error = errno;
        logMessage("Cannot open folder ", path, ": ", std::strerror(error));
        record.keepFolder(ShredRecord::idOf(info));
        record.unreadFolder(ShredRecord::idOf(info), path, error);
        return;
    }
    TargetWalk walk(excludes, path, m_context.reader);
    // Leaving a folder looks at the folder only: the folders above a deep one are not opened
    // again on the way back unless something in them is still to be overwritten.
    walk.walker().setPostVisitNeedsHolder(false);
    m_walk = &walk;
    // The walk never leaves its root's file system.
    m_batchAllowed = SyncBatch::syncsWholeFileSystem(rootFd.get());
    const int rootError = walk.walker().walk(
        rootFd.get(), path, [&](const FolderWalker::Entry& entry) { return visit(walk, entry); },
        [&](const FolderWalker::Entry& entry) { leave(walk, entry); });
    syncBatch();
    m_walk = nullptr;
    m_batchAllowed = false;
    if (rootError != 0 && !m_context.isCancelled())
        record.unreadFolder(ShredRecord::idOf(info), path, rootError);
}

bool OverwritePhase::visit(TargetWalk& walk, const FolderWalker::Entry& entry)
{
    if (m_context.isCancelled())
        return false;
    const PreparedExcludes::Position& position = walk.enter(entry);
    if (position.covered())
        return false;
    if (S_ISDIR(entry.info.st_mode) && !entry.mountRoot)
        return true;
    if (position.keeps())
        return false;
    m_visitDepth = entry.depth;
    shredEntry(entry.dirFd, entry.name, walk.itemPath(entry), entry.info, entry.mountRoot);
    // No pause of its own between files: on a busy machine every yield or sleep gives away a whole
    // time slice, more than the overwriting of a small file takes. Leaving the processor and the
    // disk to the desktop is the scheduler's work, through the priority the job's thread runs at.
    if (m_context.filePause.count() > 0)
        std::this_thread::sleep_for(m_context.filePause);
    return false;
}

void OverwritePhase::leave(TargetWalk& walk, const FolderWalker::Entry& entry)
{
    const bool isFolder = S_ISDIR(entry.info.st_mode);
    // A file waiting in the batch is decided when the batch is synced; a folder is decided only
    // once every file in it is.
    if (!isFolder && m_waiting && *m_waiting == ShredRecord::idOf(entry.info)) {
        m_waiting.reset();
        return;
    }
    if (isFolder)
        syncBatch();
    ShredRecord& record = m_context.record;
    // A folder the walk could not read in full: what it holds was not overwritten. That is its
    // error unless the delete phase finds it empty after all (rmdir removes only an empty folder,
    // and needs no listing).
    if (entry.error != 0 && !m_context.isCancelled())
        record.unreadFolder(ShredRecord::idOf(entry.info), walk.itemPath(entry), entry.error);
    // What stays, and every folder that holds it, is known from here on: the renaming leaves those
    // folders where they are, under their names.
    if (m_context.isCancelled() || record.staysAsItIs(entry.info, entry.mountRoot, walk.position(entry)) ||
        (isFolder && (walk.holdsWhatStays(entry) || entry.error != 0))) {
        if (isFolder && !entry.mountRoot)
            record.keepFolder(ShredRecord::idOf(entry.info));
        walk.markStaying(entry);
    }
}

void OverwritePhase::shredFile(const std::string& path)
{
    if (m_context.isCancelled())
        return;
    struct stat info;
    bool mountRoot = false;
    if (FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0) {
        logMessage("Cannot shred ", path, ": ", std::strerror(errno));
        return;
    }
    shredEntry(AT_FDCWD, path, path, info, mountRoot);
}

void OverwritePhase::shredEntry(int dirFd, std::string_view name, ItemPath path, const struct stat& info,
                                bool mountRoot)
{
    if (m_context.isCancelled() || S_ISLNK(info.st_mode))
        return;
    if (mountRoot) {
        // Another file system's folder, or a file mounted over one of the selection's (as
        // containers mount /etc/hosts): whatever is written through it lands outside the selection.
        syncBatch(); // listed after the files met before it
        logMessage("Not shredding ", path, ": a mount point");
        const std::int64_t size = S_ISREG(info.st_mode) ? info.st_size : 0;
        m_context.reportFailure(std::move(path), size, "Mount point, left in place", {},
                                ShredItem::Kind::MountPoint);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        // FIFOs, sockets and devices hold no data of their own to overwrite; they are renamed and
        // removed like any other entry.
        logMessage("Not overwriting ", path, ": ", fileTypeName(info.st_mode));
        return;
    }
    // Met before in this job (through overlapping targets): overwritten and listed once.
    if (m_context.record.wasExamined(ShredRecord::idOf(info)))
        return;
    if (info.st_nlink > 1)
        shredLinkedFile(dirFd, name, std::move(path), info);
    else // the file is listed with its outcome; nothing else waits for it
        static_cast<void>(shredFileAt(dirFd, name.data(), std::move(path), info, true));
}

std::optional<OverwritePhase::Reason> OverwritePhase::shredFileAt(int dirFd, const char* name, ItemPath path,
                                                                  const struct stat& info, bool mayWait)
{
    const std::int64_t size = info.st_size;
    const ShredRecord::FileId id = ShredRecord::idOf(info);
    // A small file of a walk waits for the sync of its batch; the files before one that cannot
    // wait are synced and listed first.
    bool waits =
        mayWait && m_batchAllowed && m_context.writer.canDeferLastSync() && size <= SyncBatch::kMaxFileSize;
    if (!waits || !m_batch.accepts(id.device, size))
        syncBatch();
    m_context.record.examine(id);
    if (m_context.delegate)
        m_context.delegate->fileshredCurrentPath(path);
    ShredItem item;
    item.path = std::move(path);
    item.fileSize = size;
    item.device = id.device;
    item.inode = id.inode;

    bool cancelled = false;
    m_fileBytesReported = 0;
    FileIdentity identity;
    if (const auto opened = openForWriting(dirFd, name, info, item)) {
        if (opened->fd) // its birth time was read when it was checked after opening
            identity = FileIdentity::of(opened->fd.get(), opened->birth);
        // The batch holds the file system open from before its first write, so that its sync
        // reports any write-back that failed since.
        waits = waits && (!opened->fd || m_batch.hold(opened->fd.get(), id.device));
        cancelled = overwriteOpened(*opened, size, item,
                                    waits ? ShredWriter::LastSync::Deferred : ShredWriter::LastSync::Now);
    }
    if (!item.success && !cancelled && m_context.delegate) {
        // What the writer did not report of the file's full amount is booked as done here.
        m_context.delegate->fileshredReportErrorForMissingBytes(
            std::max<std::int64_t>(0, m_context.allPasses(size) - m_fileBytesReported));
    }
    std::optional<Reason> outcome;
    if (!item.success)
        outcome = Reason{item.reasonKey, item.detail};
    if (waits && !cancelled) {
        m_batch.add({std::move(item), id, identity, m_visitDepth}, size);
        m_waiting = id;
        return outcome;
    }
    syncBatch();
    listFile(std::move(item), id, identity);
    return outcome;
}

void OverwritePhase::listFile(ShredItem item, ShredRecord::FileId id, const FileIdentity& identity)
{
    // A file that grew during its passes had its additions overwritten too: it is as large as that.
    if (item.success)
        m_context.record.overwritten(id, item.fileSize, identity);
    if (m_context.delegate)
        m_context.delegate->fileshredAddShredItem(std::move(item));
}

void OverwritePhase::syncBatch()
{
    if (m_batch.empty())
        return;
    const std::size_t count = m_batch.size();
    const int error = m_batch.sync(m_context.writer.io());
    if (error != 0)
        logMessage("Syncing the last pass of ", count, " files failed: ", std::strerror(error));
    for (SyncBatch::Pending& file : m_batch.take()) {
        ShredItem& item = file.item;
        if (item.success && error != 0) {
            // Its last pass may never have reached the device: it is not overwritten, so it stays.
            item.success = false;
            item.verified = false;
            item.because("Failed to write file", std::strerror(error));
            logMessage("Failed to write file ", item.path, ": ", std::strerror(error));
        }
        if (m_walk && (!item.success || m_context.isCancelled()))
            m_walk->markStayingAt(file.depth);
        listFile(std::move(item), file.id, file.identity);
    }
}

std::optional<RegularFileOpener::Result>
OverwritePhase::openForWriting(int dirFd, const char* name, const struct stat& info, ShredItem& item)
{
    // An entry of a walk lies on the walk's file system, which the walk found to hold data.
    const auto where =
        m_walk ? RegularFileOpener::FileSystem::HoldsData : RegularFileOpener::FileSystem::Unknown;
    auto opened = RegularFileOpener::openExamined(dirFd, name, info, where);
    // Out of descriptors: the walk gives up those it holds beyond the current folder.
    if (opened.status == RegularFileOpener::Status::OpenFailed && outOfDescriptors(opened.error) && m_walk &&
        m_walk->walker().releaseDescriptors())
        opened = RegularFileOpener::openExamined(dirFd, name, info, where);
    if (opened.status != RegularFileOpener::Status::NotWritable)
        return opened;
    // The job's own read-only file is made writable by the job itself, never by the helper.
    if (info.st_uid == ::geteuid())
        return OwnEntryAccess::openOwnFile(dirFd, name, info);
    // A file the process may not write is opened by the helper, if it will, and written through
    // the descriptor it hands over. The helper never hands out a file with other names; it is not
    // asked to. Its refusal (polkit's no, no bus, no answer) is named with the reason.
    if (info.st_nlink != 1) {
        item.because("Path no writable");
        return std::nullopt;
    }
    auto handed = m_helper.openForWriting(item.path, info);
    if (!handed) {
        item.because("Path no writable", handed.error());
        return std::nullopt;
    }
    return RegularFileOpener::handedOver(std::move(*handed), info);
}

bool OverwritePhase::overwriteOpened(const RegularFileOpener::Result& opened, std::int64_t size,
                                     ShredItem& item, ShredWriter::LastSync lastSync)
{
    ShredWriter& writer = m_context.writer;
    if (opened.status == RegularFileOpener::Status::ReadOnly) {
        // Nobody may write there, the helper no more than this process: it is not asked.
        item.because("Read-only file system");
        logMessage("Not overwriting ", item.path, ": read-only file system");
        return false;
    }
    if (opened.status == RegularFileOpener::Status::KernelFile) {
        item.because("Kernel file system, left in place", opened.fileSystem);
        logMessage("Not overwriting ", item.path, ": ", RegularFileOpener::describe(opened));
        return false;
    }
    if (opened.status != RegularFileOpener::Status::Opened) {
        item.because("Failed to open file", RegularFileOpener::describe(opened));
        logMessage("Failed to open file ", item.path, ": ", RegularFileOpener::describe(opened));
        return false;
    }
    if (m_context.algorithm->cycles() == 0) {
        // A method without passes writes nothing: the file is not overwritten, so it stays.
        item.because("Failed to write file");
        logMessage("Failed to write file ", item.path, ": the method has no passes");
        return false;
    }
    // The file may have grown since it was examined: it is overwritten as large as it was opened.
    switch (
        writer.shredInFile(opened.fd.get(), std::max<std::int64_t>(size, opened.info.st_size), lastSync)) {
    case ShredWriter::Outcome::Failed:
        item.because("Failed to write file", std::strerror(writer.lastError()));
        logMessage("Failed to write file ", item.path, ": ", std::strerror(writer.lastError()));
        break;
    case ShredWriter::Outcome::VerificationFailed:
        // What the device holds is not what was written: the content may still be there.
        item.because("Verification failed", verificationDetail());
        item.differsAt = writer.mismatchOffset();
        logMessage("Verification failed for ", item.path, ": ", item.detail);
        break;
    case ShredWriter::Outcome::Cancelled:
        // Only part of the passes reached the file, or they were not all read back: it is not
        // proven overwritten, though no error. Part of its content may be gone already: that is
        // said, so that nobody takes it for untouched.
        item.cancelled = true;
        if (writer.cancelledWhileVerifying()) {
            item.because("Overwritten, not verified: the job was cancelled");
        } else if (m_fileBytesReported > 0) {
            item.because("Overwritten in part: the job was cancelled");
            item.state = ShredItem::State::OverwrittenInPart;
        } else {
            item.because("Canceled");
        }
        return true;
    case ShredWriter::Outcome::Grew:
        // Its newest part was never overwritten; deleting it would leave that on the device.
        item.because("File kept growing while it was overwritten");
        logMessage("Not overwritten completely: ", item.path, " kept growing");
        break;
    case ShredWriter::Outcome::Completed:
        item.success = true;
        item.verified = writer.lastFileVerified();
        item.fileSize = writer.lastFileSize();
        break;
    }
    return false;
}

void OverwritePhase::shredLinkedFile(int dirFd, std::string_view name, ItemPath path, const struct stat& info)
{
    // A name is its folder (device and inode) and its name there, however its path was spelled.
    struct stat folder;
    const SplitPath split = dirFd == AT_FDCWD ? splitPath(std::string(name)) : SplitPath{};
    const int examined = dirFd == AT_FDCWD ? ::stat(split.parent.c_str(), &folder) : ::fstat(dirFd, &folder);
    if (examined != 0) {
        logMessage("Cannot examine the folder of ", path, ": ", std::strerror(errno));
        return;
    }
    const ShredRecord::FileId id = ShredRecord::idOf(info);
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
    const auto failure = shredFileAt(dirFd, name.data(), std::move(path), info, false);
    if (m_context.isCancelled())
        return;
    listOtherNames(std::move(names), key, size, id, failure);
}

void OverwritePhase::listOtherNames(std::vector<std::pair<std::string, ItemPath>> names,
                                    const std::string& key, std::int64_t size, ShredRecord::FileId id,
                                    const std::optional<Reason>& failure)
{
    FileShredCoordinatorDelegate* delegate = m_context.delegate;
    for (auto& [otherKey, other] : names) {
        if (otherKey == key)
            continue;
        if (failure) {
            m_context.reportFailure(std::move(other), size, failure->key, failure->detail,
                                    ShredItem::Kind::File, id);
            continue;
        }
        m_context.record.overwrittenName(id);
        if (!delegate)
            continue;
        delegate->fileshredCurrentPath(other);
        // The scan counted the file under each name; progress follows it.
        delegate->fileshredWrittenBytes(m_context.allPasses(size));
        ShredItem item;
        item.path = std::move(other);
        item.fileSize = size;
        item.success = true;
        item.verified = m_context.writer.lastFileVerified();
        item.device = id.device;
        item.inode = id.inode;
        delegate->fileshredAddShredItem(std::move(item));
    }
}

void OverwritePhase::finishShredding()
{
    syncBatch();
    if (!m_context.isCancelled()) {
        for (const ShredRecord::FileId& id : m_linkedOrder) {
            const auto found = m_linkedFiles.find(id);
            if (found == m_linkedFiles.end())
                continue;
            m_context.record.examine(id);
            // Overwriting it would destroy what its other names outside the selection show.
            for (auto& [key, path] : found->second.names) {
                logMessage("Not overwriting ", path, ": the file has other hard links outside the selection");
                m_context.reportFailure(std::move(path), found->second.size, "File has other hard links", {},
                                        ShredItem::Kind::File, id);
            }
        }
    }
    m_linkedFiles.clear();
    m_linkedOrder.clear();
}

std::string OverwritePhase::verificationDetail() const
{
    if (const auto offset = m_context.writer.mismatchOffset())
        return localized("first difference at byte") + " " + std::to_string(*offset);
    return std::strerror(m_context.writer.lastError());
}

} // namespace cv
