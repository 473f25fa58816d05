#include "job/FileShredder.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "common/UniqueFd.h"
#include "freespace/FreeSpaceTrim.h"
#include "targets/PathCollectionFactory.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace cv {

namespace {

constexpr std::uint64_t kFlushCount = FileShredCoordinator::kFlushCount;

const char* flag(bool value)
{
    return value ? "1" : "0";
}

// The lost+found folder at the root of an ext file system, which fsck expects to find there.
bool isLostAndFound(const std::string& volumePath, const std::string& path)
{
    struct statfs fileSystem;
    struct stat info;
    return ::statfs(volumePath.c_str(), &fileSystem) == 0 && fileSystem.f_type == EXT4_SUPER_MAGIC &&
           ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FileShredder::FileShredder(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                           std::shared_ptr<ShredOptions> options)
    : m_pathCollection(std::move(locations)), m_algorithm(std::move(algorithm)), m_options(std::move(options))
{}

FileShredder::~FileShredder() = default;

std::string FileShredder::getAction() const
{
    if (!m_options || !m_options->hasVolumes)
        return localized("Erasing Data");
    if (m_options->formatVolume)
        return localized("Complete Erase");
    if (m_options->eraseFreeSpaceOnly)
        return localized("Freespace Erase only");
    return localized("Erasing Data");
}

bool FileShredder::isVolume(const std::string& path) const
{
    return m_environment.volumeProbe.isVolume && m_environment.volumeProbe.isVolume(path);
}

void FileShredder::run()
{
    applyNiceness();
    // Keeping the machine awake is a courtesy: without it the job still runs and still finishes.
    SleepInhibitor* inhibitor = m_environment.sleepInhibitor.get();
    const bool inhibited = inhibitor && inhibitor->acquire("Cindervault", "Cindervault Action");
    if (!inhibited)
        logLine("No sleep inhibitor could be had; the machine may sleep during the job");

    initVals();
    freeSpaceErase();
    if (m_options->eraseFreeSpaceOnly) {
        flushLog();
    } else {
        shred();
        renameFilesAndFolders();
        flushLog();
        saveDelete();
        shredRecords();
        // What the helper opened up and the job did not overwrite and delete is the owner's again.
        m_fileshredCoordinator->restoreGivenFiles();
        wipeFreeSpaceAfterDeletion();
    }
    if (m_options->formatVolume)
        formatVolumes();
    finishUpResult();

    // Released before the delegate hears of the end, which may let the job go.
    if (inhibited)
        inhibitor->release();
    if (m_delegate)
        m_delegate->finished(m_result);
}

void FileShredder::applyNiceness() const
{
    if (!m_environment.niceness)
        return;
    // This thread's own nice value (Linux keeps one per thread): the caller's other threads, a
    // window's event loop among them, keep theirs.
    if (::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), *m_environment.niceness) != 0)
        logMessage("The job keeps its priority: ", std::strerror(errno));
}

void FileShredder::initVals()
{
    if (!m_options)
        m_options = std::make_shared<ShredOptions>();
    const std::string action = getAction();
    logMessage("Start Action ", action);
    logMessage("Has Volume: ", flag(m_options->hasVolumes));
    logMessage("Format Volume: ", flag(m_options->formatVolume));
    logMessage("Free Space Only: ", flag(m_options->eraseFreeSpaceOnly));
    logMessage("Verification: ", verificationKey(m_options->verification));

    {
        std::lock_guard lock(m_stateMutex);
        m_startDate = std::chrono::steady_clock::now();
        m_action = isCancelled() ? localized("Canceling...") : action;
        m_curPath = localized("Initialising");

        m_writer = std::make_unique<ShredWriter>(m_algorithm, ShredWriter::kFileBlockSize);
        m_freespaceWriter = std::make_unique<FreeSpaceWriter>(m_algorithm, kFreeSpaceBlockSize);
        m_writer->setVerification(m_options->verification);
        m_freespaceWriter->setVerification(m_options->verification);
        m_freespaceCoordinator = std::make_unique<FreeSpaceCoordinator>(m_algorithm, *m_freespaceWriter,
                                                                        m_environment.volumeProbe);
        m_freespaceCoordinator->setDelegate(this);
        if (!m_environment.homeFolder.empty())
            m_freespaceCoordinator->setHomeFolder(m_environment.homeFolder);
        m_fileshredCoordinator =
            std::make_unique<FileShredCoordinator>(m_algorithm, *m_writer, m_environment.helperTool);
        m_fileshredCoordinator->setDelegate(this);
        m_fileshredCoordinator->setFilesOnly(m_options->filesOnly);
        m_fileshredCoordinator->setFilePause(m_environment.filePause);
        // A cancel that came before the job ran still holds.
        if (isCancelled()) {
            m_freespaceCoordinator->cancel();
            m_fileshredCoordinator->cancel();
        }
    }

    const PathCollectionFactory factory;
    if (m_options->hasVolumes && !m_options->eraseFreeSpaceOnly)
        factory.updatePathCollection(*m_pathCollection);
    m_preparedExcludes = PreparedExcludes(m_pathCollection->excludes());
    m_wholeTargets = std::unordered_set<std::string>(m_pathCollection->wholeTargets().begin(),
                                                     m_pathCollection->wholeTargets().end());
    // A volume's mount point is where its files live, not one of them: its contents are renamed and
    // deleted, the mount point itself is left as it is, and so is an ext file system's lost+found.
    for (const auto& path : m_pathCollection->paths()) {
        if (!isVolume(path))
            continue;
        m_preparedExcludes.keep(path);
        const std::string lostAndFound = path + "/lost+found";
        if (isLostAndFound(path, lostAndFound))
            m_preparedExcludes.keep(lostAndFound);
    }
    // Excludes hold in the fill phase too: no fill file takes an excluded name or is removed there.
    m_freespaceCoordinator->setExcludes(&m_preparedExcludes);

    // Progress counts every pass written and every pass read back.
    const std::uint64_t passes = m_writer->passesCounted();
    m_result = std::make_shared<ShredResult>();
    m_result->algorithm = m_algorithm;
    m_result->paths = m_pathCollection;
    m_result->options = m_options;
    for (TargetVolume& volume : TargetVolume::forPaths(m_pathCollection->paths())) {
        logMessage("Volume ", volume.mountPoint, ": ", volume.fileSystem,
                   volume.copyOnWrite ? " (copy-on-write)" : "", volume.snapshots ? ", with snapshots" : "");
        m_result->volumes.push_back(ShredVolume{.volume = std::move(volume)});
    }
    {
        std::lock_guard lock(m_stateMutex);
        m_bytesCount = m_pathCollection->totalSize() * static_cast<std::int64_t>(passes);
        m_fileCount = m_pathCollection->fileCount();
        m_fileProgress = 0;
        m_bytesProgress = 0;
        m_freespaceBytesProgress = 0;
        m_errorCount = 0;
        m_otherErrorCount = 0;
        m_result->fileCountTotal = m_pathCollection->fileCount();
        m_result->bytesCountTotal = m_pathCollection->totalSize();
        if (m_options->eraseFreeSpaceOnly) {
            m_bytesCount = 0;
            m_fileCount = 0;
            m_result->bytesCountTotal = 0;
            m_result->fileCountTotal = 0;
        }
    }
    if (!m_options->eraseFreeSpaceOnly)
        logMessage("FileCount: ", m_pathCollection->fileCount());
    logMessage("Algorithm: ", m_algorithm->selectDesc());
    sendState();
}

void FileShredder::freeSpaceErase()
{
    if (isCancelled() || !m_options->hasVolumes ||
        !(m_options->eraseFreeSpace || m_options->eraseFreeSpaceOnly))
        return;
    logLine("Start Freespace Erase");
    for (const auto& path : m_pathCollection->paths()) {
        if (isVolume(path))
            wipeFreeSpaceOf(path, false);
    }
}

void FileShredder::wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion)
{
    if (isCancelled() || !isVolume(mountPath))
        return;
    m_freespaceCoordinator->freespaceEraseAtPath(mountPath);
    auto volume =
        std::find_if(m_result->volumes.begin(), m_result->volumes.end(),
                     [&](const ShredVolume& known) { return known.volume.mountPoint == mountPath; });
    if (volume == m_result->volumes.end()) {
        TargetVolume target = TargetVolume::of(mountPath, MountTable::read()).value_or(TargetVolume{});
        target.mountPoint = mountPath;
        volume = m_result->volumes.insert(m_result->volumes.end(), ShredVolume{.volume = std::move(target)});
    }
    if (isCancelled() || m_freespaceCoordinator->failed())
        return;
    volume->freeSpaceWiped = true;
    volume->wipedAfterDeletion = afterDeletion;
    const FreeSpaceTrim::Outcome trim = FreeSpaceTrim::trim(mountPath);
    volume->trim = trim.trim;
    volume->trimDetail = trim.detail;
}

void FileShredder::wipeFreeSpaceAfterDeletion()
{
    if (isCancelled() || !m_options->thenWipeFree || m_options->eraseFreeSpaceOnly || m_options->formatVolume)
        return;
    std::vector<std::string> mountPaths;
    for (const ShredVolume& volume : m_result->volumes) {
        if (volume.volume.copyOnWrite && !volume.freeSpaceWiped)
            mountPaths.push_back(volume.volume.mountPoint);
    }
    if (mountPaths.empty()) {
        logLine("No target lies on a copy-on-write file system: no free space to wipe after the deletion");
        return;
    }
    logLine("Start Freespace Erase after Deletion");
    for (const std::string& mountPath : mountPaths) {
        // The deleted files' blocks count as free once the file system has committed the deletion.
        if (UniqueFd volumeFd(::open(mountPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            !volumeFd || ::syncfs(volumeFd.get()) != 0)
            logMessage("Cannot sync ", mountPath, " before its free space is wiped: ", std::strerror(errno));
        wipeFreeSpaceOf(mountPath, true);
    }
}

void FileShredder::shred()
{
    if (isCancelled())
        return;
    logLine("Shred Files");
    for (const auto& path : m_pathCollection->paths()) {
        keepFoldersOf(path);
        m_fileshredCoordinator->shredPath(path, m_preparedExcludes);
    }
    m_fileshredCoordinator->finishShredding();
}

void FileShredder::renameFilesAndFolders()
{
    if (isCancelled())
        return;
    logLine("Renamse Files");
    std::vector<std::string> renamed;
    renamed.reserve(m_pathCollection->paths().size());
    for (const auto& path : m_pathCollection->paths()) {
        keepFoldersOf(path);
        renamed.push_back(m_fileshredCoordinator->renameAtPath(path, m_preparedExcludes));
    }
    m_targetsBeforeRenaming = m_pathCollection->paths();
    m_pathCollection->setPaths(std::move(renamed));
}

void FileShredder::flushLog()
{
    if (isCancelled())
        return;
    for (const auto& path : m_pathCollection->paths()) {
        if (!isVolume(path))
            continue;
        logLine("Flush Logs");
        const auto flushed = m_fileshredCoordinator->flushLog(path, kFlushCount);
        // A volume whose free space could not be wiped has its error already; its flush failing
        // too says nothing new.
        if (!flushed && !hasFailureAt(path))
            addFailure(ShredItem::Kind::Step, path, "Flushing the volume failed", flushed.error());
    }
}

bool FileShredder::hasFailureAt(const std::string& path) const
{
    return std::any_of(m_result->history.begin(), m_result->history.end(), [&](const ShredItem& item) {
        return item.kind != ShredItem::Kind::File && item.path.str() == path;
    });
}

void FileShredder::addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                              std::string detail)
{
    logMessage("Failed: ", path, ": ", reasonKey, detail.empty() ? "" : ": ", detail);
    {
        std::lock_guard lock(m_stateMutex);
        m_result->addFailure(kind, path, reasonKey, std::move(detail));
        ++m_otherErrorCount;
    }
    sendThrottledEvent();
}

void FileShredder::saveDelete()
{
    logLine("Delete Files");
    const std::vector<std::string>& paths = m_pathCollection->paths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        keepFoldersOf(i < m_targetsBeforeRenaming.size() ? m_targetsBeforeRenaming[i] : paths[i]);
        m_fileshredCoordinator->saveDelete(paths[i], m_preparedExcludes);
    }
}

void FileShredder::keepFoldersOf(const std::string& target)
{
    m_fileshredCoordinator->setFilesOnly(m_options->filesOnly && !m_wholeTargets.contains(target));
}

void FileShredder::shredRecords()
{
    const auto& records = m_pathCollection->records();
    if (isCancelled() || records.empty())
        return;
    // A target is gone when its name after the renaming is: then its record goes too, shredded like
    // the target. A target that stays keeps its record (a trashed item stays restorable).
    std::unordered_map<std::string_view, const std::string*> recordOf;
    for (const auto& [target, record] : records)
        recordOf.emplace(target, &record);
    std::vector<std::string> due;
    const std::vector<std::string>& now = m_pathCollection->paths();
    for (std::size_t i = 0; i < m_targetsBeforeRenaming.size() && i < now.size(); ++i) {
        const auto record = recordOf.find(m_targetsBeforeRenaming[i]);
        struct stat info;
        if (record != recordOf.end() && ::lstat(now[i].c_str(), &info) != 0 && errno == ENOENT)
            due.push_back(*record->second);
    }
    if (due.empty())
        return;
    logLine("Delete Records");
    for (const std::string& record : due)
        m_fileshredCoordinator->shredPath(record, m_preparedExcludes);
    m_fileshredCoordinator->finishShredding();
    for (const std::string& record : due)
        m_fileshredCoordinator->saveDelete(m_fileshredCoordinator->renameAtPath(record, m_preparedExcludes),
                                           m_preparedExcludes);
}

void FileShredder::formatVolumes()
{
    for (const auto& path : m_pathCollection->paths()) {
        if (isCancelled())
            break;
        if (!isVolume(path))
            continue;
        logLine("Format Volume");
        setCurPath(path + " - " + localized("Formatting"));
        sendState();
        waitForReformat(path);
    }
}

void FileShredder::waitForReformat(const std::string& mountPath)
{
    if (!m_environment.helperTool) {
        logMessage("Cannot reformat ", mountPath, ": the privileged helper is not available");
        addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed",
                   localized("the privileged helper is not available"));
        return;
    }
    auto wait = std::make_shared<ReformatWait>();
    {
        std::lock_guard lock(m_stateMutex);
        m_reformatWait = wait;
    }
    // A cancel that came before the wait was registered has found nothing to wake.
    if (isCancelled())
        wait->abandoned = true;
    m_environment.helperTool->reformatVolumeAt(
        mountPath,
        [wait](Expected<void, std::string> outcome) {
            std::lock_guard lock(wait->mutex);
            wait->answered = true;
            wait->outcome = std::move(outcome);
            wait->done.notify_all();
        },
        [wait]() {
            std::lock_guard lock(wait->mutex);
            wait->askingUser = true;
            wait->done.notify_all();
        });
    // Reformatting takes as long as it takes, and the helper's connection answers with an error
    // rather than never. A cancel ends the wait, though the helper finishes its work: the thread
    // that delivers the reply may be the very one waiting for this job to end.
    bool answered = false;
    Expected<void, std::string> outcome;
    bool waitingShown = false;
    {
        std::unique_lock lock(wait->mutex);
        while (!wait->answered && !wait->abandoned) {
            // While the user is asked for the password, the job says so.
            if (wait->askingUser && !waitingShown) {
                waitingShown = true;
                lock.unlock();
                fileshredWaitingForAuthorization(true);
                lock.lock();
                continue;
            }
            wait->done.wait(lock);
        }
        answered = wait->answered;
        outcome = wait->outcome;
    }
    if (waitingShown)
        fileshredWaitingForAuthorization(false);
    {
        std::lock_guard lock(m_stateMutex);
        m_reformatWait.reset();
    }
    if (!answered) {
        // Given up on: a reformat the helper has not begun (its user not yet asked, say) never
        // begins later.
        m_environment.helperTool->withdrawCalls();
        logMessage("Format Volume still running, no longer waited for: ", mountPath);
    } else if (!outcome) {
        logMessage("Format Volume failed: ", mountPath, " -> ", outcome.error());
        addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed", outcome.error());
    } else {
        logMessage("Format Volume done: ", mountPath);
    }
}

void FileShredder::sendThrottledEvent()
{
    const auto now = std::chrono::steady_clock::now();
    bool send = false;
    {
        std::lock_guard lock(m_stateMutex);
        if (!m_lastEventTriggered)
            m_lastEventTriggered = now;
        if (now - *m_lastEventTriggered > kEventInterval) {
            m_lastEventTriggered = now;
            send = true;
        }
    }
    if (send)
        sendState();
}

std::shared_ptr<ShredState> FileShredder::getState() const
{
    auto state = std::make_shared<ShredState>();
    std::lock_guard lock(m_stateMutex);
    state->path = m_curPath.str();
    state->curAction = m_action;
    state->fileCount = m_fileCount;
    state->fileProgress = m_fileProgress;
    state->bytesCount = m_bytesCount;
    state->bytesProgress = m_bytesProgress;
    state->errorCount = m_errorCount;
    state->otherErrorCount = m_otherErrorCount;
    state->waitingForAuthorization = m_waitingForAuthorization;
    state->timeSinceStart =
        m_startDate == std::chrono::steady_clock::time_point{}
            ? 0.0
            : std::chrono::duration<double>(std::chrono::steady_clock::now() - m_startDate).count();
    return state;
}

void FileShredder::sendState()
{
    if (m_delegate)
        m_delegate->curProgress(getState());
}

void FileShredder::setCurPath(std::string path)
{
    std::lock_guard lock(m_stateMutex);
    m_curPath = std::move(path);
}

void FileShredder::settleHistory()
{
    if (!m_fileshredCoordinator)
        return;
    // Unread folders that the deletion (if it ran) did not find empty are reported, and counted,
    // before the files' states are settled.
    m_fileshredCoordinator->finishDeleting();
    if (!m_options->eraseFreeSpaceOnly)
        m_fileshredCoordinator->settle(m_result->history);
    const bool deleting = !m_options->eraseFreeSpaceOnly;
    std::uint64_t fileErrors = 0;
    std::uint64_t otherErrors = 0;
    std::uint64_t filesSettled = 0;
    for (const ShredItem& item : m_result->history) {
        const bool isFile = item.kind == ShredItem::Kind::File;
        if (isFile && !(item.cancelled && !item.success))
            ++filesSettled;
        if (item.failed(deleting))
            ++(isFile ? fileErrors : otherErrors);
    }
    std::lock_guard lock(m_stateMutex);
    m_errorCount = fileErrors;
    m_otherErrorCount = otherErrors;
    m_filesSettled = filesSettled;
    // The walk may meet more files than the scan counted (files made since): the totals grow so that
    // no figure exceeds its total.
    m_fileCount = std::max(m_fileCount, m_fileProgress);
    m_bytesCount = std::max(m_bytesCount, m_bytesProgress);
}

void FileShredder::finishUpResult()
{
    const std::uint64_t passes =
        m_freespaceWriter ? m_freespaceWriter->passesCounted() : m_algorithm->cycles();
    settleHistory();
    // What was really done, not what progress booked: a file cut short by a cancel, or one booked
    // as done after a failure, is neither overwritten nor removed.
    const FileShredCoordinator::Totals done =
        m_fileshredCoordinator ? m_fileshredCoordinator->totals() : FileShredCoordinator::Totals{};
    {
        std::lock_guard lock(m_stateMutex);
        m_result->fileCountTotal = std::max<std::uint64_t>(m_result->fileCountTotal, m_filesSettled);
        m_result->fileCountFinished = m_filesSettled;
        // A method without passes writes nothing; it must not divide by zero either.
        const std::int64_t freeSpace =
            passes == 0
                ? 0
                : static_cast<std::int64_t>(static_cast<std::uint64_t>(m_freespaceBytesProgress) / passes);
        m_result->bytesCountFinished = done.bytesOverwritten + freeSpace;
        m_result->fileCountRemoved = done.filesRemoved;
        m_result->bytesCountRemoved = done.bytesRemoved;
        m_result->errorCount = m_errorCount;
        m_result->otherErrorCount = m_otherErrorCount;
    }
    m_result->canceled = isCancelled();
    m_result->lastState = getState();
    m_result->end = ShredResult::Clock::now();
    logLine("Finished");
}

void FileShredder::cancel()
{
    logLine("Cancel Triggered");
    m_canceled.store(true, std::memory_order_relaxed);
    std::shared_ptr<ReformatWait> reformatWait;
    {
        std::lock_guard lock(m_stateMutex);
        if (m_fileshredCoordinator)
            m_fileshredCoordinator->cancel();
        if (m_freespaceCoordinator)
            m_freespaceCoordinator->cancel();
        m_action = localized("Canceling...");
        m_curPath = m_action;
        reformatWait = m_reformatWait;
    }
    if (reformatWait) {
        std::lock_guard lock(reformatWait->mutex);
        reformatWait->abandoned = true;
        reformatWait->done.notify_all();
    }
    sendState();
}

// ---- callbacks from the coordinators, all on the worker thread --------------------------------

void FileShredder::fileshredWrittenBytes(std::int64_t bytes)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_bytesProgress += bytes;
        m_bytesCount = std::max(m_bytesCount, m_bytesProgress);
    }
    sendThrottledEvent();
}

void FileShredder::fileshredCurrentPath(const ItemPath& path)
{
    {
        std::lock_guard lock(m_stateMutex);
        ++m_fileProgress;
        m_fileCount = std::max(m_fileCount, m_fileProgress);
        m_curPath = path;
    }
    sendThrottledEvent();
}

void FileShredder::fileshredAddShredItem(ShredItem item)
{
    if (item.kind != ShredItem::Kind::File) {
        std::lock_guard lock(m_stateMutex);
        ++m_otherErrorCount;
    }
    m_result->history.push_back(std::move(item));
    sendThrottledEvent();
}

void FileShredder::fileshredReportErrorForMissingBytes(std::int64_t bytes)
{
    {
        std::lock_guard lock(m_stateMutex);
        ++m_errorCount;
        m_bytesProgress += bytes;
        m_bytesCount = std::max(m_bytesCount, m_bytesProgress);
    }
    sendThrottledEvent();
}

void FileShredder::fileshredRenamingPath(const std::string& text)
{
    setCurPath(text);
    sendThrottledEvent();
}

void FileShredder::fileshredFlushPath(const std::string& text)
{
    setCurPath(text);
    sendThrottledEvent();
}

void FileShredder::fileshredWaitingForAuthorization(bool waiting)
{
    {
        std::lock_guard lock(m_stateMutex);
        if (waiting) {
            m_pathBeforeAuthorization = m_curPath;
            m_curPath = localized("Waiting for authorization...");
        } else {
            m_curPath = m_pathBeforeAuthorization;
        }
        m_waitingForAuthorization = waiting;
    }
    // At once, not throttled: the user is to see why the job stands still.
    sendState();
}

void FileShredder::freespaceWrittenBytes(std::int64_t bytes)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_bytesProgress += bytes;
        m_bytesCount = std::max(m_bytesCount, m_bytesProgress);
        m_freespaceBytesProgress += bytes;
    }
    sendThrottledEvent();
}

void FileShredder::freespaceAvailableFreeBytes(std::int64_t bytes)
{
    std::lock_guard lock(m_stateMutex);
    if (m_options->eraseFreeSpaceOnly)
        m_result->bytesCountTotal = bytes;
    else
        m_result->bytesCountTotal += bytes;
}

void FileShredder::freespaceBytesToWrite(std::int64_t bytes)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_bytesCount += bytes;
    }
    sendThrottledEvent();
}

void FileShredder::freespaceVolumeTitle(const std::string& title)
{
    setCurPath(title);
    sendThrottledEvent();
}

void FileShredder::freespaceFailed(const std::string& mountPath, const std::string& reason)
{
    // A volume whose free space was not wiped is an error of the job, listed under the volume's path.
    addFailure(ShredItem::Kind::Volume, mountPath, "Free space could not be wiped", reason);
}

} // namespace cv
