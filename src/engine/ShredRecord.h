#pragma once

#include "engine/FileIdentity.h"
#include "engine/ItemPath.h"
#include "engine/ShredItem.h"
#include "targets/PreparedExcludes.h"

#include <cstdint>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace cv {

// The job-wide record of what the phases of a shred job did to files, known by device and inode:
// the files examined, those overwritten completely (with their one-pass size), the folders that
// hold something that stays, the folders whose listing failed, and what became of each overwritten
// file when it was renamed and removed. The overwrite walk fills it, renaming and deletion ask it
// what may go, and the job's totals and the files' final states are read from it.
//
// The totals count a removed name only as one of the names counted as overwritten, and a file's
// bytes once, so that no removed count exceeds its overwritten count, whatever the file system
// holds by the time the delete walk runs.
class ShredRecord
{
public:
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
    static FileId idOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }
    static FileId idOf(const ShredItem& item)
    {
        return {static_cast<dev_t>(item.device), static_cast<ino_t>(item.inode)};
    }

    // What the job really did to files, for its totals. Bytes are one-pass bytes.
    struct Totals
    {
        std::uint64_t filesOverwritten = 0; // names of files overwritten completely
        std::int64_t bytesOverwritten = 0;  // each such file counted once, whatever its names
        std::uint64_t filesRemoved = 0;     // names of overwritten files removed
        std::int64_t bytesRemoved = 0;
    };

    // A folder of the overwrite walk whose listing failed, with the error: its contents were not
    // overwritten, unless there were none.
    struct UnreadFolder
    {
        ItemPath path;
        int error = 0;
    };

    // The file has an item in the history now; false when it had one already.
    bool examine(FileId id) { return m_examined.insert(id).second; }
    bool wasExamined(FileId id) const { return m_examined.contains(id); }

    // The file was overwritten completely, through one of its names; identity tells it from a
    // file given its inode number later.
    void overwritten(FileId id, std::int64_t size, const FileIdentity& identity = {});
    // Another name of a file overwritten completely is listed as overwritten too.
    void overwrittenName(FileId id);
    bool isOverwritten(FileId id) const { return m_overwritten.contains(id); }
    // Whether an entry stays where it is: excluded, kept or a mount point, or a regular file this
    // job did not overwrite completely.
    bool staysAsItIs(const struct stat& info, bool mountRoot,
                     const PreparedExcludes::Position& position) const;
    // The same for the entry name in dirFd, examined as info: a regular file stays also when it is
    // not the file that was overwritten, but another that got its inode number since. birth, when
    // given, is the birth time read with info, which spares reading it again.
    bool staysAsItIs(int dirFd, const char* name, const struct stat& info, bool mountRoot,
                     const PreparedExcludes::Position& position,
                     const FileIdentity::Birth* birth = nullptr) const;

    // What the regular file name in dirFd, examined as info, is to this job.
    enum class Match
    {
        NotOverwritten, // not overwritten completely
        Overwritten,    // the very file this job overwrote completely
        Replaced,       // another file that was given the inode number of a file overwritten
        Grew,           // the file overwritten, grown since: what was added is not overwritten
    };
    Match overwrittenAt(int dirFd, const char* name, const struct stat& info,
                        const FileIdentity::Birth* birth = nullptr) const;

    // The folder holds something that stays: it keeps its name and place.
    void keepFolder(FileId id) { m_keepers.insert(id); }
    bool keepsFolder(FileId id) const { return m_keepers.contains(id); }

    // The first failed listing of a folder is kept.
    void unreadFolder(FileId id, ItemPath path, int error);
    const UnreadFolder* findUnreadFolder(FileId id) const;
    void forgetUnreadFolder(FileId id) { m_unreadFolders.erase(id); }
    // The folders whose listing failed and that were not removed since; the record forgets them.
    std::vector<UnreadFolder> takeUnreadFolders();

    // No rename round took the name of the regular file away.
    void keepsItsName(const struct stat& info);
    // A name of the overwritten file was removed, or its removal failed with error.
    void nameRemoved(FileId id);
    void removalFailed(FileId id, int error) { m_fates[id].removeError = error; }
    // The overwritten file grew after its passes; it stays.
    void grewSince(FileId id) { m_fates[id].grewSince = true; }

    // Gives each file of the history its final state: deleted, deleted with its name kept, or
    // overwritten and still there (with the reason), as the removals and renames came out.
    void settle(std::vector<ShredItem>& history, bool cancelled) const;

    const Totals& totals() const { return m_totals; }

private:
    // A file overwritten completely: its size, and its names counted as overwritten and removed.
    struct Overwritten
    {
        std::int64_t size = 0;
        FileIdentity identity;
        std::uint64_t names = 0;
        std::uint64_t namesRemoved = 0;
        bool bytesBooked = false; // its bytes are among the bytes removed
    };
    // What became of an overwritten file in the rename and delete phases.
    struct Fate
    {
        std::uint64_t namesRemoved = 0;
        int removeError = 0; // the errno of the last removal that failed
        bool nameKept = false;
        bool grewSince = false;
    };

    std::unordered_map<FileId, Overwritten, FileIdHash> m_overwritten;
    std::unordered_set<FileId, FileIdHash> m_examined;
    std::unordered_set<FileId, FileIdHash> m_keepers;
    std::unordered_map<FileId, UnreadFolder, FileIdHash> m_unreadFolders;
    std::unordered_map<FileId, Fate, FileIdHash> m_fates;
    Totals m_totals;
};

} // namespace cv
