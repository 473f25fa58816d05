#pragma once

#include "engine/Algorithm.h"
#include "engine/FileShredCoordinator.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredOptions.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"
#include "engine/ShredWriter.h"
#include "freespace/FreeSpaceCoordinator.h"
#include "freespace/FreeSpaceWriter.h"
#include "job/JobEnvironment.h"
#include "targets/PathCollection.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace cv {

// Receives a job's progress and its end. Both arrive on the job's worker thread, except the
// snapshot that cancel() sends, which arrives on the thread that called cancel().
class FileShredderDelegate
{
public:
    virtual ~FileShredderDelegate() = default;
    virtual void curProgress(std::shared_ptr<const ShredState> state) = 0;
    // Exactly once per run, also after a cancel.
    virtual void finished(std::shared_ptr<ShredResult> result) = 0;
};

// One shred job: runs the phases its options select over a target collection with one overwrite
// method, on the calling (worker) thread, keeps the progress counters, sends snapshots at most
// every 50 ms and hands the finished result to its delegate. Phases: free-space wipe, shred,
// rename, flush, delete, reformat; which of them run depends on the action ("delete",
// "complete", "freespace").
class FileShredder : public FileShredCoordinatorDelegate, public FreeSpaceCoordinatorDelegate
{
public:
    static constexpr std::uint64_t kFreeSpaceBlockSize = 8388608;
    static constexpr std::chrono::milliseconds kEventInterval{50};

    FileShredder(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                 std::shared_ptr<ShredOptions> options);
    ~FileShredder() override;

    void setDelegate(FileShredderDelegate* delegate) { m_delegate = delegate; }
    // The services and settings of the program that runs the job; set before run(). The job
    // keeps the helper's address as long as it holds this environment.
    void setEnvironment(JobEnvironment environment) { m_environment = std::move(environment); }
    const JobEnvironment& environment() const { return m_environment; }

    void run();
    void cancel();
    bool isCancelled() const { return m_canceled.load(std::memory_order_relaxed); }

    std::shared_ptr<ShredState> getState() const;
    std::string getAction() const;
    const std::shared_ptr<ShredResult>& result() const { return m_result; }
    const std::shared_ptr<ShredOptions>& options() const { return m_options; }
    // What per-file shredding leaves in place: the excludes, the folders above them, volume mount points.
    const PreparedExcludes& preparedExcludes() const { return m_preparedExcludes; }

    ShredWriter* writer() const { return m_writer.get(); }
    FreeSpaceWriter* freespaceWriter() const { return m_freespaceWriter.get(); }
    FreeSpaceCoordinator* freespaceCoordinator() const { return m_freespaceCoordinator.get(); }
    FileShredCoordinator* fileshredCoordinator() const { return m_fileshredCoordinator.get(); }

    // The steps of run().
    void initVals();
    void freeSpaceErase();
    void shred();
    void renameFilesAndFolders();
    void flushLog();
    void saveDelete();
    // After the deletion: the records of the targets that are gone (a trashed item's .trashinfo).
    void shredRecords();
    // Whether the folders of a target stay (a files-only job), or the target goes whole.
    void keepFoldersOf(const std::string& target);
    // With thenWipeFree: wipes the free space of each copy-on-write volume of the targets, where
    // their earlier copies lie, once the deletion has freed them.
    void wipeFreeSpaceAfterDeletion();
    void formatVolumes();
    void sendThrottledEvent();
    // Gives every file its final state and counts the errors from them.
    void settleHistory();
    void finishUpResult();

    // FileShredCoordinatorDelegate
    void fileshredWrittenBytes(std::int64_t bytes) override;
    void fileshredCurrentPath(const ItemPath& path) override;
    void fileshredAddShredItem(ShredItem item) override;
    void fileshredReportErrorForMissingBytes(std::int64_t bytes) override;
    void fileshredRenamingPath(const std::string& text) override;
    void fileshredFlushPath(const std::string& text) override;
    void fileshredWaitingForAuthorization(bool waiting) override;
    // FreeSpaceCoordinatorDelegate
    void freespaceWrittenBytes(std::int64_t bytes) override;
    void freespaceAvailableFreeBytes(std::int64_t bytes) override;
    void freespaceBytesToWrite(std::int64_t bytes) override;
    void freespaceVolumeTitle(const std::string& title) override;
    void freespaceFailed(const std::string& mountPath, const std::string& reason) override;

private:
    // The reply of a reformat, and whether a cancel stopped waiting for it. Shared with the reply,
    // which may come after the job stopped waiting.
    struct ReformatWait
    {
        std::mutex mutex;
        std::condition_variable done;
        bool answered = false;
        bool abandoned = false;
        bool askingUser = false; // the helper asks the user for the password
        Expected<void, std::string> outcome;
    };

    bool isVolume(const std::string& path) const;
    // Gives the calling thread the environment's nice value, when it has one.
    void applyNiceness() const;
    // A folder, volume or step that failed, listed with its reason and counted apart from files.
    void addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                    std::string detail = {});
    bool hasFailureAt(const std::string& path) const;
    void setCurPath(std::string path);
    void sendState();
    void waitForReformat(const std::string& mountPath);
    // Wipes one volume's free space, then asks its file system to discard the free blocks, and
    // records both in the result's volumes.
    void wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion);

    std::shared_ptr<PathCollection> m_pathCollection;
    std::shared_ptr<Algorithm> m_algorithm;
    std::shared_ptr<ShredOptions> m_options;
    std::shared_ptr<ShredResult> m_result;
    JobEnvironment m_environment;
    FileShredderDelegate* m_delegate = nullptr;

    std::unique_ptr<ShredWriter> m_writer;
    std::unique_ptr<FreeSpaceWriter> m_freespaceWriter;
    std::unique_ptr<FreeSpaceCoordinator> m_freespaceCoordinator;
    std::unique_ptr<FileShredCoordinator> m_fileshredCoordinator;
    PreparedExcludes m_preparedExcludes;
    std::vector<std::string> m_targetsBeforeRenaming; // the collection's paths as the job began
    std::unordered_set<std::string> m_wholeTargets;   // targets that go whole in a files-only job

    // Counters and texts that cancel() and getState() read from other threads.
    mutable std::mutex m_stateMutex;
    std::string m_action;
    ItemPath m_curPath;                 // a file's path is spelt out only when a snapshot shows it
    ItemPath m_pathBeforeAuthorization; // shown again when the user has answered
    bool m_waitingForAuthorization = false;
    std::chrono::steady_clock::time_point m_startDate{};
    std::uint64_t m_errorCount = 0;
    std::uint64_t m_otherErrorCount = 0;
    std::uint64_t m_filesSettled = 0; // files overwritten or failed, not cut short by a cancel
    std::uint64_t m_fileCount = 0;
    std::uint64_t m_fileProgress = 0;
    std::int64_t m_bytesCount = 0;
    std::int64_t m_bytesProgress = 0;
    std::int64_t m_freespaceBytesProgress = 0; // the part of bytesProgress written into free space
    std::atomic<bool> m_canceled{false};
    std::optional<std::chrono::steady_clock::time_point> m_lastEventTriggered;
    std::shared_ptr<ReformatWait> m_reformatWait;
};

} // namespace cv
