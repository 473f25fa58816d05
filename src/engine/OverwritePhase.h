#pragma once

#include "engine/ItemPath.h"
#include "engine/RegularFileOpener.h"
#include "engine/ShredRecord.h"
#include "engine/ShredWriter.h"
#include "engine/SyncBatch.h"
#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace cv {

class HelperCalls;
class ShredContext;
class TargetWalk;

// The first phase of a shred job: walks each target and overwrites every regular file under it
// with the job's writer, listing each file with its outcome and noting in the record what was
// overwritten completely, which folders hold something that stays and which could not be read. A
// file the process may not write is opened by the helper, which hands over the descriptor. A file
// with other hard links is overwritten only when the walks of the job met every one of its names.
// Mount points inside a target are never entered or overwritten. It hears the job's writer block by
// block and tells the job's delegate.
// On a file system whose syncfs stands for every file's fdatasync, the small files of a walk wait
// with their last pass in the page cache and are synced together (SyncBatch): before the walk leaves
// a folder, before a file that cannot wait is listed, and at the end of the walk. Only then are
// they listed and noted as overwritten, in the order they were met; a failed sync leaves every one
// of them in place, listed with the reason.
class OverwritePhase : public ShredWriterDelegate
{
public:
    OverwritePhase(ShredContext& context, HelperCalls& helper);

    // Overwrites every regular file at or under path.
    void shredPath(const std::string& path, const PreparedExcludes& excludes);
    // Overwrites one file and reports it.
    void shredFile(const std::string& path);
    // After the last shredPath of a job: the files with other hard links whose every name the walks
    // did not meet are reported, one item per name met, and left as they are.
    void finishShredding();
    // ShredWriterDelegate: the writer wrote bytes of the file being overwritten, or found it grown.
    void writtenBytes(std::int64_t bytes) override;
    void fileGrew(std::int64_t bytes) override;

private:
    // Why a file was not overwritten: the key of the reason and the system's words.
    struct Reason
    {
        const char* key = nullptr;
        std::string detail;
    };
    // A file with several hard links, met under some of its names.
    struct LinkedFile
    {
        nlink_t links = 0;
        std::int64_t size = 0;
        // Each name met, as its folder's device and inode and its name there, with its path.
        std::vector<std::pair<std::string, ItemPath>> names;
    };

    // The walk's visit of an entry before anything below it: true to enter a folder.
    bool visit(TargetWalk& walk, const FolderWalker::Entry& entry);
    // After everything below the entry: whether it stays, and with it the folders above.
    void leave(TargetWalk& walk, const FolderWalker::Entry& entry);
    void shredEntry(int dirFd, std::string_view name, ItemPath path, const struct stat& info, bool mountRoot);
    // Overwrites one regular file and lists it; nothing on success, else the reason it is listed with.
    // mayWait lets a small file wait for the sync of its batch (nothing is returned for it then).
    std::optional<Reason> shredFileAt(int dirFd, const char* name, ItemPath path, const struct stat& info,
                                      bool mayWait);
    // Opens the examined file for writing, through the helper if need be; fails with item's reason
    // set when the helper did not open it up.
    std::optional<RegularFileOpener::Result> openForWriting(int dirFd, const char* name,
                                                            const struct stat& info, ShredItem& item);
    // Writes every pass into the opened file and gives item its outcome; true when a cancel cut
    // the file short.
    bool overwriteOpened(const RegularFileOpener::Result& opened, std::int64_t size, ShredItem& item,
                         ShredWriter::LastSync lastSync);
    // Notes a file overwritten completely in the record, and lists it.
    void listFile(ShredItem item, ShredRecord::FileId id, const FileIdentity& identity);
    // Syncs the files waiting in the batch, then notes and lists each as it came out; one that
    // stays marks its folder in the walk under way.
    void syncBatch();
    void shredLinkedFile(int dirFd, std::string_view name, ItemPath path, const struct stat& info);
    // Lists the other names of a linked file overwritten through one of them, as it came out.
    void listOtherNames(std::vector<std::pair<std::string, ItemPath>> names, const std::string& key,
                        std::int64_t size, ShredRecord::FileId id, const std::optional<Reason>& failure);
    // Where the last file's read-back found a difference, or why it could not read.
    std::string verificationDetail() const;

    ShredContext& m_context;
    HelperCalls& m_helper;
    TargetWalk* m_walk = nullptr;                 // the walk under way, if any
    bool m_batchAllowed = false;                  // the walk's file system is synced whole
    std::size_t m_visitDepth = 0;                 // of the entry being visited
    std::optional<ShredRecord::FileId> m_waiting; // the file just visited, waiting in the batch
    SyncBatch m_batch;
    std::int64_t m_fileBytesReported = 0; // by the writer, for the file being overwritten
    // Files with other hard links waiting for the rest of their names, in the order first met.
    std::unordered_map<ShredRecord::FileId, LinkedFile, ShredRecord::FileIdHash> m_linkedFiles;
    std::vector<ShredRecord::FileId> m_linkedOrder;
};

} // namespace cv
