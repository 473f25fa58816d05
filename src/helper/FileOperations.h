#pragma once

#include "common/UniqueFd.h"
#include "helper/HelperError.h"

#include <string>
#include <sys/types.h>

namespace cv {

// The helper's file work, done as root on paths it does not trust: every component is opened with
// O_NOFOLLOW relative to the one before it, so a link anywhere on the way is refused rather than
// followed, and the last component is acted on through its parent's descriptor (*at() calls).
// Nothing on a virtual file system (proc, sysfs, cgroup folders and the like, where a file is a
// setting of the kernel) is touched, and neither are device nodes, sockets and FIFOs: one grant of
// the helper's right removes or renames files, not the kernel's or a device's controls.
class FileOperations
{
public:
    // One entry as the caller examined it: the folder that holds it, its name there, and the
    // device and inode it had. The helper acts on that entry only while the name still holds that
    // very file, checked on a descriptor of it.
    struct Entry
    {
        std::string folder;
        std::string name;
        dev_t device = 0;
        ino_t inode = 0;
    };

    // Afterwards the name of entry is gone: a file or link is removed, a folder only when it is
    // empty (rmdir; what it holds is never deleted, since nobody examined it, and a folder that is
    // not empty stays and is reported). Device nodes, sockets, FIFOs and mount points are refused.
    // An entry that is missing is answered so: nothing was deleted.
    static HelperResult deleteEntry(const Entry& entry);
    // Refuses what deleteEntry would refuse, changing nothing (a folder that is not empty too).
    static HelperResult checkDeleteEntry(const Entry& entry);
    // Renames entry (a file, a link or a folder that is no mount point) to newName in the same
    // folder, never replacing an entry that has that name: the random names of the shredding go with
    // the content also in a folder the caller may not write.
    static HelperResult renameEntry(const Entry& entry, const std::string& newName);
    // Refuses what renameEntry would refuse, changing nothing.
    static HelperResult checkRenameEntry(const Entry& entry, const std::string& newName);

    // The folder that holds the last component of a path, opened without following links.
    struct ParentFolder
    {
        UniqueFd folder;      // an O_PATH descriptor; not open when missing
        std::string name;     // the last component
        bool missing = false; // a folder on the way does not exist
    };
    // Opens the folder that holds the last component of path. A folder on the way that does not
    // exist is no error: the answer says it is missing.
    static Expected<ParentFolder, HelperError> openParent(const std::string& path);
    // Opens the folder at path (O_PATH), every component without following links.
    static Expected<UniqueFd, HelperError> openFolder(const std::string& path);
};

} // namespace cv
