#pragma once

#include "common/Localization.h"
#include "engine/ItemPath.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

// The outcome for one entry a job met: a regular file it examined, or a folder, mount point, volume
// or step of the job that failed. A file's row carries its final state, settled when the job ends,
// so that a report never calls "deleted" what is still on the disk.
struct ShredItem
{
    enum class Kind
    {
        File,       // a regular file of the selection
        Folder,     // a folder that could not be read or removed
        MountPoint, // another file system mounted inside a target, left in place
        Volume,     // a volume whose free space could not be wiped
        Step,       // a step of the job that failed (reformatting, deleting snapshots, flushing)
    };
    enum class State
    {
        NotOverwritten, // the file was not overwritten (see error); it stays under its name
        Overwritten,    // overwritten completely and still present: kept by request, or removal failed
        Deleted,        // overwritten completely and removed
        NameKept,       // overwritten and removed, but no rename took its old name away first
        // the job was cancelled while it overwrote the file: part of its content is gone, the
        // rest may remain; it stays under its name
        OverwrittenInPart,
    };

    ItemPath path;                    // the full path before any renaming (bytes, as on disk)
    std::int64_t fileSize = 0;        // the size when the file was examined
    bool success = false;             // a file: opened and every pass written
    std::optional<std::string> error; // the localized reason when success is false, or why it stays
    const char* reasonKey = nullptr;  // the reason's key (English), for texts in another language
    std::string detail;               // the system's words that follow the reason, if any
    Kind kind = Kind::File;
    State state = State::NotOverwritten;
    bool cancelled = false;                // the cancel, not a failure, left it in this state
    bool verified = false;                 // a file: the passes chosen for it were read back and matched
    std::optional<std::int64_t> differsAt; // a file whose read-back differed: the first such byte
    std::uint64_t device = 0;              // of the file examined, to settle its final state
    std::uint64_t inode = 0;

    // A file that stays, but no longer under the path it had (renamed before its removal failed,
    // or in a folder that was renamed): path then names where it is now, and this the path the
    // user knew.
    ItemPath formerPath;

    // Sets the reason from its key and the system's words, in the language of the program's texts.
    void because(const char* key, std::string systemDetail = {})
    {
        reasonKey = key;
        detail = std::move(systemDetail);
        error = localized(key);
        if (!detail.empty())
            *error += ": " + detail;
    }

    // The entry did not end as the job meant it to, for a reason other than the cancel.
    bool failed(bool deleting) const
    {
        if (cancelled)
            return false;
        if (kind != Kind::File)
            return true;
        return deleting ? state != State::Deleted : state == State::NotOverwritten;
    }

    // "deleted", "overwritten", "not overwritten", "name kept", "overwritten in part": the words the
    // command line's JSON uses.
    static const char* stateKey(State state)
    {
        switch (state) {
        case State::OverwrittenInPart:
            return "overwritten in part";
        case State::Overwritten:
            return "overwritten";
        case State::Deleted:
            return "deleted";
        case State::NameKept:
            return "name kept";
        case State::NotOverwritten:
            break;
        }
        return "not overwritten";
    }
    // "file", "folder", "mount point", "volume", "step".
    static const char* kindKey(Kind kind)
    {
        switch (kind) {
        case Kind::Folder:
            return "folder";
        case Kind::MountPoint:
            return "mount point";
        case Kind::Volume:
            return "volume";
        case Kind::Step:
            return "step";
        case Kind::File:
            break;
        }
        return "file";
    }
};

} // namespace cv
