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
// the helper's right opens up or removes files, not the kernel's or a device's controls.
class FileOperations
{
public:
    // How deep a deletion goes into nested folders. The walk keeps the name of each folder on the
    // way down and the names still to delete in it, never a descriptor or a path per level.
    static constexpr std::size_t kMaxFolderDepth = 4096;

    // Afterwards the user uid (the caller, as the bus knows it) can open the regular file at path
    // for writing: it becomes theirs, with read and write permission for its owner and without
    // set-user-ID and set-group-ID bits. Links and everything that is not a regular file are
    // refused, and so is a file with more than one hard link, whose other names would be opened
    // up with it.
    static HelperResult changePermissions(const std::string& path, uid_t uid);
    // Afterwards nothing exists at path. A file or link is removed itself; a folder goes with its
    // contents, without following links and without entering other mounted file systems (a mount
    // point inside is left in place, and the folder with it, and that is reported; so are device
    // nodes, sockets and FIFOs inside). Device nodes, sockets and FIFOs themselves are refused.
    static HelperResult deleteItem(const std::string& path);

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
};

} // namespace cv
