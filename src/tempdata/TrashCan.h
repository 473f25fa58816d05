#pragma once

#include "common/MountTable.h"
#include "targets/PathCollection.h"

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cv {

// The user's Trash as the freedesktop.org Trash specification lays it out: the home trash
// ($XDG_DATA_HOME/Trash) and, on every mounted volume, $topdir/.Trash/$uid (only where
// $topdir/.Trash is a sticky folder and no link) and $topdir/.Trash-$uid. Each trash folder holds
// the trashed items in files/, one record per item in info/ (its name plus ".trashinfo", with the
// item's original path) and may hold expunged/ (items on their way out) and a directorysizes
// cache.
//
// Shredding the Trash shreds every trashed item and what expunged/ holds; an item's record goes
// only after the item is gone, so that an item that could not be shredded stays restorable.
class TrashCan
{
public:
    static constexpr const char* kFolderVariable = "CINDERVAULT_TEMP_TRASH";

    struct Found
    {
        std::vector<std::string> folders; // trash folders that hold files/ (or info/ or expunged/)
        std::vector<std::string> refused; // why a trash folder was left alone, one line each
    };

    // The trash folders of user uid: the home trash, then those of the mounted volumes.
    static Found find(uid_t uid, const std::string& homeTrash, const std::vector<MountEntry>& mounts);
    // The same for this user and machine; CINDERVAULT_TEMP_TRASH, when set, names the trash folders
    // instead (separated by ':', absolute ones only; set but empty: none), each still checked.
    static Found find();
    // Whether a trash folder may be shredded: a folder (no link) owned by uid; else why not.
    static std::optional<std::string> refusal(const std::string& folder, uid_t uid);

    // The targets of shredding these trash folders: each trashed item, with its record, what
    // expunged/ holds, and the directorysizes cache; counted like any selection.
    static std::shared_ptr<PathCollection> collect(const std::vector<std::string>& folders);
};

} // namespace cv
