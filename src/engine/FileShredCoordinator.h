#pragma once

#include "common/Expected.h"
#include "engine/Algorithm.h"
#include "engine/DeleteWalk.h"
#include "engine/FileShredCoordinatorDelegate.h"
#include "engine/HelperCalls.h"
#include "engine/HelperToolClient.h"
#include "engine/OverwritePhase.h"
#include "engine/RenamePhase.h"
#include "engine/ShredContext.h"
#include "engine/ShredItem.h"
#include "engine/ShredRecord.h"
#include "engine/ShredWriter.h"
#include "engine/VolumeFlush.h"
#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv {

// The file-system work of a shred job for one target path at a time: overwrites every regular file
// under it with the job's writer, renames files and folders to random names, churns a volume's
// metadata with a flush file, and deletes what it shredded. Files it may not write or delete are
// handed to the privileged helper. Runs on the job's worker thread only (it blocks while waiting
// for the helper); cancel() may come from any thread.
//
// One coordinator serves a whole job: it is the one entry point of its phases (OverwritePhase,
// RenamePhase, VolumeFlush, DeleteWalk), which share the job's ShredRecord of the files it
// overwrote completely (device and inode). A regular file is deleted only when it is in that
// record: a file that could not be overwritten, that a failed listing hid from the overwrite walk,
// or that appeared later stays under its own name, and so do the folders that hold it. A file with
// other hard links is overwritten only when the walks of the job met every one of its names. Mount
// points inside a target (folders or single files) are never entered, overwritten, renamed or
// deleted.
//
// What stays is the job's PreparedExcludes: every excluded path with everything below it, and every
// folder above an excluded path, so that such folders are neither renamed nor deleted while their
// other contents are.
class FileShredCoordinator
{
public:
    // What the job really did to files, for its totals. Bytes are one-pass bytes.
    using Totals = ShredRecord::Totals;

    // The job's number of flush renames per volume.
    static constexpr std::uint64_t kFlushCount = 10000;

    FileShredCoordinator(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer,
                         HelperToolClient* helperTool);

    void setDelegate(FileShredCoordinatorDelegate* delegate) { m_context.delegate = delegate; }
    // Folders are kept in place: only files are renamed and deleted.
    void setFilesOnly(bool filesOnly) { m_context.filesOnly = filesOnly; }
    void setHelperTimeout(std::chrono::milliseconds timeout) { m_helper.setTimeout(timeout); }
    // A sleep after each file of a folder walk, when one is asked for; without it the walk goes
    // straight on to the next file.
    void setFilePause(std::chrono::microseconds pause) { m_context.filePause = pause; }
    // Where the walks read folders from; tests make listings fail here.
    void setDirectoryReader(FolderWalker::DirectoryReader* reader) { m_context.reader = reader; }

    // Before the first shredPath of a job: the user is asked once for every entry of the targets
    // that the job will need the privileged helper for.
    void allowProtectedEntries(const std::vector<std::string>& targets, const PreparedExcludes& excludes);
    // Overwrites every regular file at or under path.
    void shredPath(const std::string& path, const PreparedExcludes& excludes);
    // After the last shredPath of a job: the files with other hard links whose every name the walks
    // did not meet are reported, one item per name met, and left as they are.
    void finishShredding();
    // Overwrites one file and reports it.
    void shredFile(const std::string& path);
    // Renames path (and, for a folder, everything in it); returns the new path, or path unchanged.
    std::string renameAtPath(const std::string& path, const PreparedExcludes& excludes);
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

    // After the deletion: the entries allowed for the job are allowed no more.
    void endHelperWork();

    const Totals& totals() const { return m_context.record.totals(); }

    void cancel();

private:
    ShredContext m_context;
    HelperCalls m_helper;
    OverwritePhase m_overwrite;
    RenamePhase m_rename;
    VolumeFlush m_flush;
    DeleteWalk m_delete;
};

} // namespace cv
