#pragma once

#include "engine/Algorithm.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredItem.h"
#include "engine/ShredWriter.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unordered_set>

namespace cv {

// Told what per-file shredding does, step by step; the shred job implements it.
class FileShredCoordinatorDelegate
{
public:
    virtual ~FileShredCoordinatorDelegate() = default;
    virtual void fileshredWrittenBytes(double bytes) = 0;
    virtual void fileshredCurrentPath(const std::string& path) = 0;
    virtual void fileshredAddShredItem(const ShredItem& item) = 0;
    // A file that could not be overwritten: the rest of its byte amount, booked as done.
    virtual void fileshredReportErrorForMissingBytes(double bytes) = 0;
    virtual void fileshredRenamingPath(const std::string& text) = 0;
    virtual void fileshredFlushPath(const std::string& text) = 0;
};

// The file-system work of a shred job for one target path at a time: overwrites every regular file
// under it with the job's writer, renames files and folders to random names, churns a volume's
// metadata with a flush file, and deletes what it shredded. Files it may not write or delete are
// handed to the privileged helper. Runs on the job's worker thread only (it blocks while waiting
// for the helper); cancel() may come from any thread.
//
// Excludes are the job's prepared set: every excluded path, everything below an excluded folder and
// every folder above an excluded path, so that such folders are neither renamed nor deleted while
// their other contents are.
class FileShredCoordinator : public ShredWriterDelegate
{
public:
    using Excludes = std::unordered_set<std::string>;

    // How long a helper call may take before it counts as refused.
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

    // Overwrites every regular file at or under path.
    void shredPath(const std::string& path, const Excludes& excludes);
    // Overwrites one file and reports it.
    void shredFile(const std::string& path);
    // Renames path (and, for a folder, everything in it); returns the new path, or path unchanged.
    std::string renameAtPath(const std::string& path, const Excludes& excludes);
    // Renames everything under folder, each entry once per pass of the method.
    void renameFileOrFilderInFolder(const std::string& folder, const Excludes& excludes);
    // Creates "Flush.dat" at the volume's root and renames it count times.
    void flushLog(const std::string& volumePath, std::uint64_t count);
    // Deletes path and everything under it that is not excluded.
    void saveDelete(const std::string& path, const Excludes& excludes);

    bool changePermission(const std::string& path);
    bool forceDelete(const std::string& path);

    static bool pathIsExcludedBy(const std::string& path, const Excludes& excludes);
    static bool pathIsSymbolicLink(const std::string& path);
    static std::string randomAlphanumericStringWithLength(std::size_t count);

    void cancel();
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    void writtenBytes(double bytes) override;

private:
    void shredFileAt(int dirFd, const std::string& name, const std::string& path, const struct stat& info);
    // Renames name in dirFd `rounds` times; newName gets the name it ends with.
    bool renameEntryAt(int dirFd, const std::string& name, const std::string& path, std::uint64_t rounds,
                       std::string* newName);
    bool callHelper(const std::string& path, bool deletion);

    std::shared_ptr<Algorithm> m_algorithm;
    ShredWriter& m_writer;
    HelperToolClient* m_helperTool;
    FileShredCoordinatorDelegate* m_delegate = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_filesOnly = false;
    std::chrono::milliseconds m_helperTimeout = kHelperTimeout;
    std::chrono::microseconds m_filePause{0};
    double m_fileBytesReported = 0; // by the writer, for the file being overwritten
};

} // namespace cv
