#pragma once

#include "common/UniqueFd.h"

#include <string>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

namespace cv {

// Makes a job's removals durable before it says anything was deleted: an unlink is only in memory
// until the file system commits it, and a power cut or crash before the commit brings the files
// back (under their random names, since the renames were synced). Every volume a deletion walk may
// change is noted with one folder held open on it; the volumes where something was removed are
// synced (syncfs) once at the end, which commits every folder changed there.
class DeletionSync
{
public:
    // A volume whose sync failed: a folder on it and the system's reason.
    struct Failure
    {
        std::string path;
        int error = 0;
    };

    // The volumes of path's folder and, for a folder, of path itself (a mount point lies on
    // another volume than its parent); nothing is synced for them until something there goes.
    void watch(const std::string& path);
    // Something on device was removed (by the job or through the helper).
    void removed(dev_t device);
    // Syncs every volume where something was removed and lets go of the volumes watched; the
    // volumes whose sync failed.
    std::vector<Failure> sync();

private:
    struct Volume
    {
        UniqueFd folder;
        std::string path;
        bool changed = false;
    };
    void watchFolder(const std::string& path);

    std::unordered_map<dev_t, Volume> m_volumes;
};

} // namespace cv
