#pragma once

#include "engine/Verification.h"

#include <string>

namespace cv {

// What the user asked a shred job to do; filled by a screen (or the command line) before the job
// is made, and shared by the job and its result.
struct ShredOptions
{
    bool hasVolumes = false;         // the targets include at least one whole volume
    bool eraseFreeSpace = false;     // wipe the free space of every volume target before shredding
    bool formatVolume = false;       // reformat every volume target after the other phases
    bool eraseFreeSpaceOnly = false; // only wipe free space; nothing is shredded, renamed or deleted
    bool removeSnapshots = false;    // the progress screen also has local snapshots removed
    bool filesOnly = false;          // shred, rename and delete files only; every folder stays in place
                                     // (log and cache folders that services expect)
    bool thenWipeFree = false;       // after the deletion, wipe the free space of every volume with a
                                     // copy-on-write file system that holds a target
    Verification verification = Verification::Off; // the passes read back from the device
    std::string optionKey;                         // "delete", "freespace" or "complete"; empty when unset
};

} // namespace cv
