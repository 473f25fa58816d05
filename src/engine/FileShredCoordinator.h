#pragma once

#include "common/Expected.h"
#include "engine/Algorithm.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredItem.h"
#include "engine/ShredWriter.h"
#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace cv {

// Told what per-file shredding does, step by step; the shred job implements it.
class FileShredCoordinatorDelegate
{
public:
    virtual ~FileShredCoordinatorDelegate() = default;
    virtual void fileshredWrittenBytes(std::int64_t bytes) = 0;
    virtual void fileshredCurrentPath(const ItemPath& path) = 0;
    virtual void fileshredAddShredItem(ShredItem item) = 0;
    // A file that could not be overwritten: the rest of its byte amount, booked as done.
    virtual void fileshredReportErrorForMissingBytes(std::int64_t bytes) = 0;
    virtual void fileshredRenamingPath(const std::string& text) = 0;
    virtual void fileshredFlushPath(const std::string& text) = 0;
    // The job waits while the user is asked to authorize a call of the privileged helper (true),
    // and goes on (false).
    virtual void fileshredWaitingForAuthorization(bool waiting) { static_cast<void>(waiting); }
};

// The file-system work of a shred job for one target path at a time: overwrites every regular file
// under it with the job's writer, renames files and folders to random names, churns a volume's
// metadata with a flush file, and deletes what it shredded. Files it may not write or delete are
// handed to the privileged helper. Runs on the job's worker thread only (it blocks while waiting
// for the helper); cancel() may come from any thread.
//
// One coordinator serves a whole job and keeps its record of the files it overwrote completely
// (device and inode). A regular file is deleted only when it is in that record: a file that could
// not be overwritten, that a failed listing hid from the overwrite walk, or that appeared later
// stays under its own name, and so do the folders that hold it. A file with other hard links is
// overwritten only when the walks of the job met every one of its names. Mount points inside a
// target (folders or single files) are never entered, overwritten, renamed or deleted.
//
// What stays is the job's PreparedExcludes: every excluded path with everything below it, and every
// folder above an excluded path, so that such folders are neither renamed nor deleted while their
// other contents are.
class FileShredCoordinator : public ShredWriterDelegate
{
public:
    // What the job really did to files, for its totals. Bytes are one-pass bytes.
    struct Totals
    {
        std::uint64_t filesOverwritten = 0; // names of files overwritten completely
        std::int64_t bytesOverwritten = 0;  // each such file counted once, whatever its names
        std::uint64_t filesRemoved = 0;     // names of overwritten files removed
        std::int64_t bytesRemoved = 0;
    };

    // How long a helper call may take before it counts as refused, unless the helper said that it
    // asks the user: then the job waits for the user's answer, or a cancel.
    static constexpr std::chrono::milliseconds kHelperTimeout{5000};
    // The job's number of flush renames per volume.
    static constexpr std::uint64_t kFlushCount = 10000;

    FileShredCoordinator(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer,
                         HelperToolClient* helperTool);

    void setDelegate(FileShredCoordinatorDelegate* delegate) { m_delegate = delegate; }
    // Folders are kept in place: only files are renamed and deleted.
    void setFilesOnly(bool filesOnly) { m_filesOnly = filesOnly; }
    void setHelperTimeout(std::chrono::milliseconds timeout) { m_helperTimeout = timeout; }
    // A sleep after each file of a folder walk; without one the walk only yields the processor.
    void setFilePause(std::chrono::microseconds pause) { m_filePause = pause; }
    // Where the walks read folders from; tests make listings fail here.
    void setDirectoryReader(FolderWalker::DirectoryReader* reader) { m_reader = reader; }

    // Overwrites every regular file at or under path.
    void shredPath(const std::string& path, const PreparedExcludes& excludes);
    // After the last shredPath of a job: the files with other hard links whose every name the walks
    // did not meet are reported, one item per name met, and left as they are.
    void finishShredding();
    // Overwrites one file and reports it.
    void shredFile(const std::string& path);
    // Renames path (and, for a folder, everything in it); returns the new path, or path unchanged.
    std::string renameAtPath(const std::string& path, const PreparedExcludes& excludes);
    // Renames everything under folder, each entry once per pass of the method.
    void renameFileOrFolderInFolder(const std::string& folder, const PreparedExcludes& excludes);
    // Creates "Flush.dat" at the volume's root and renames it count times.
    // Fails with the system's reason when the file cannot be made, renamed or removed.
    Expected<void, std::string> flushLog(const std::string& volumePath, std::uint64_t count);
    // Deletes path and everything under it that is not excluded and that may go.
    void saveDelete(const std::string& path, const PreparedExcludes& excludes);
    // After the last saveDelete of a job (or its cancel): the folders that could not be read and
    // did not turn out empty are reported.
    void finishDeleting();
    // Gives each file of the history its final state: deleted, deleted with its name kept, or
    // overwritten and still there (with the reason), as the job's removals and renames came out.
    void settle(std::vector<ShredItem>& history) const;

    // Have the helper open up, or delete, the entry at path that was examined as info; true when
    // it did. The helper acts on that very entry only (its folder, name, device and inode).
    Expected<void, std::string> changePermission(const std::string& path, const struct stat& info);
    Expected<void, std::string> forceDelete(const std::string& path, const struct stat& info);
    // After the deletion: every file the helper opened up and this job did not overwrite and delete
    // gets its owner and mode back.
    void restoreGivenFiles();

    static bool pathIsSymbolicLink(const std::string& path);
    static std::string randomAlphanumericStringWithLength(std::size_t count);

    const Totals& totals() const { return m_totals; }

    void cancel();
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    void writtenBytes(std::int64_t bytes) override;

private:
    struct FileId
    {
        dev_t device;
        ino_t inode;
        bool operator==(const FileId&) const = default;
    };
    struct FileIdHash
    {
        std::size_t operator()(const FileId& id) const;
    };
    // A file with several hard links, met under some of its names.
    struct LinkedFile
    {
        nlink_t links = 0;
        std::int64_t size = 0;
        // Each name met, as its folder's device and inode and its name there, with its path.
        std::vector<std::pair<std::string, ItemPath>> names;
    };
    // One walk of a target: its walker (asked for descriptors when a file cannot be opened) and,
    // per depth, the folder's exclude position and whether something in it stays.
    struct Walk;

    static FileId idOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }
    static FileId idOf(const ShredItem& item)
    {
        return {static_cast<dev_t>(item.device), static_cast<ino_t>(item.inode)};
    }

    void shredEntry(int dirFd, std::string_view name, ItemPath path, const struct stat& info, bool mountRoot);
    // Why a file was not overwritten: the key of the reason and the system's words.
    struct Reason
    {
        const char* key = nullptr;
        std::string detail;
    };
    // Overwrites one regular file and lists it; nothing on success, else the reason it is listed with.
    std::optional<Reason> shredFileAt(int dirFd, const char* name, ItemPath path, const struct stat& info);
    void shredLinkedFile(int dirFd, std::string_view name, ItemPath path, const struct stat& info);
    void reportFailure(ItemPath path, std::int64_t size, const char* reasonKey, std::string detail,
                       ShredItem::Kind kind, std::optional<FileId> id = std::nullopt);
    // An unreadable folder of the overwrite walk is removed if rmdir can: then it was empty.
    bool removeUnreadFolder(int dirFd, const char* name, const struct stat& info);
    // No rename round took the file's name away.
    void keepsItsName(const struct stat& info);
    bool renameInFolder(const std::string& folder, const PreparedExcludes& excludes);
    bool deleteInFolder(const std::string& folder, const PreparedExcludes& excludes);
    // 0 when removed, -1 when it stays by rule, else the errno of the failed removal.
    int removeEntry(int dirFd, std::string_view name, std::string_view path, const struct stat& info);
    // Whether a progress text is due: texts that cost the length of a path go out a few times a
    // second, not once per entry.
    bool reportDue();
    // Where the last file's read-back found a difference, or why it could not read.
    std::string verificationDetail() const;
    // What every pass of the method together writes (and reads back) over size bytes.
    std::int64_t allPasses(std::int64_t size) const;
    bool staysAsItIs(const struct stat& info, bool mountRoot,
                     const PreparedExcludes::Position& position) const;
    // Renames name in dirFd `rounds` times to random names of `length` characters, the first
    // round moving it into toFd (dirFd itself, or a folder above it); the name it ends with, or
    // nothing when no round succeeded.
    std::optional<std::string> renameEntryAt(int dirFd, const std::string& name, int toFd, std::size_t length,
                                             std::string_view path, std::uint64_t rounds);
    // Renames everything in the folder `name` of holderFd (itself renamed already) by moving it up
    // into the holder; true when something in it stays.
    bool flatten(int holderFd, std::string_view holderPath, const std::string& name, const struct stat& info,
                 std::size_t relativeLength);
    enum class HelperVerb
    {
        OpenUp,
        Delete,
        Rename,
    };
    // Has the helper act on the entry at path, examined as info; true when it did.
    Expected<void, std::string> callHelper(const std::string& path, const struct stat& info, HelperVerb verb,
                                           const std::string& newName = std::string());
    // Renames from to `to` in the folder dirFd through the helper (a folder the process may not
    // write); 0 or the errno to count.
    int renameThroughHelper(int dirFd, const std::string& from, const std::string& to);

    std::shared_ptr<Algorithm> m_algorithm;
    ShredWriter& m_writer;
    HelperToolClient* m_helperTool;
    FileShredCoordinatorDelegate* m_delegate = nullptr;
    FolderWalker::DirectoryReader* m_reader = nullptr;
    FolderWalker* m_walker = nullptr; // of the walk under way, if any
    std::atomic<bool> m_cancel{false};
    bool m_filesOnly = false;
    bool m_helperGaveFiles = false;     // the helper opened up a file for this job
    bool m_helperRenameRefused = false; // the helper would not rename an entry for this job
    std::chrono::milliseconds m_helperTimeout = kHelperTimeout;
    std::chrono::microseconds m_filePause{0};
    std::int64_t m_fileBytesReported = 0; // by the writer, for the file being overwritten
    std::chrono::steady_clock::time_point m_lastReport{};

    // The job-wide record: files overwritten completely (with their one-pass size), files with an
    // item in the history, folders that hold something that stays, overwritten files of which a
    // name was removed, and files with other hard links waiting for the rest of their names.
    std::unordered_map<FileId, std::int64_t, FileIdHash> m_overwritten;
    std::unordered_set<FileId, FileIdHash> m_examined;
    std::unordered_set<FileId, FileIdHash> m_keepers; // folders that hold something that stays
    std::unordered_set<FileId, FileIdHash> m_removed;
    std::unordered_map<FileId, LinkedFile, FileIdHash> m_linkedFiles;
    // What became of each overwritten file in the rename and delete phases.
    struct Fate
    {
        std::uint64_t namesRemoved = 0;
        int removeError = 0; // the errno of the last removal that failed
        bool nameKept = false;
    };
    std::unordered_map<FileId, Fate, FileIdHash> m_fates;
    // Folders of the overwrite walk whose listing failed, with the error: their contents were not
    // overwritten, unless there were none.
    struct UnreadFolder
    {
        ItemPath path;
        int error = 0;
    };
    std::unordered_map<FileId, UnreadFolder, FileIdHash> m_unreadFolders;
    std::vector<FileId> m_linkedOrder;
    Totals m_totals;
};

} // namespace cv
