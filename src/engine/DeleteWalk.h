#pragma once

#include "engine/DeletionSync.h"
#include "engine/ShredRecord.h"
#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>

namespace cv {

class HelperCalls;
class ShredContext;
class TargetWalk;

// The last phase of a shred job: deletes each target and everything under it that may go. A
// regular file goes only when the record says this job overwrote that very file completely; a
// file that could not be overwritten, or that a failed listing hid from the overwrite walk, stays
// under its name with its error, and so do the folders that hold it. Excluded items, mount points
// and the folders above them stay too. An entry the process may not remove is handed to the helper,
// which removes that one entry only.
class DeleteWalk
{
public:
    DeleteWalk(ShredContext& context, HelperCalls& helper);

    // Deletes path and everything under it that is not excluded and that may go.
    void saveDelete(const std::string& path, const PreparedExcludes& excludes);
    // After the last saveDelete of a job (or its cancel): the removals are synced to each volume
    // where something went, and the folders that could not be read and did not turn out empty, and
    // the volumes whose sync failed, are reported.
    void finishDeleting();

private:
    // Deletes what may go under folder; true when something in it stays.
    bool deleteInFolder(const std::string& folder, const PreparedExcludes& excludes);
    // After everything below the entry: removes it unless it stays.
    void deleteWalked(TargetWalk& walk, const FolderWalker::Entry& entry);
    // 0 when removed, -1 when it stays by rule, else the errno of the failed removal. birth: read
    // with info, when it was.
    int removeEntry(int dirFd, std::string_view name, std::string_view path, const struct stat& info,
                    const FileIdentity::Birth* birth = nullptr);
    // A regular file this job did not overwrite stays; it is listed once.
    void keepNotOverwritten(std::string_view path, const struct stat& info);
    // A regular file that took the inode number of a file this job overwrote stays; listed once.
    void keepReplaced(std::string_view path, const struct stat& info);
    // An unreadable folder of the overwrite walk is removed if rmdir can: then it was empty.
    bool removeUnreadFolder(int dirFd, const char* name, const struct stat& info);

    ShredContext& m_context;
    HelperCalls& m_helper;
    DeletionSync m_sync;
    std::unordered_set<ShredRecord::FileId, ShredRecord::FileIdHash> m_replacedListed;
};

} // namespace cv
