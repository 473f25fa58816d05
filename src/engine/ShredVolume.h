#pragma once

#include "targets/TargetVolume.h"

#include <cstdint>
#include <string>

namespace cv {

// What one job did on one volume its targets lie on: the file system the report names, whether
// the volume's free space was wiped (before the shred, alone, or after the deletion on a
// copy-on-write file system) and whether its free blocks were discarded afterwards.
struct ShredVolume
{
    // The answer to asking the file system to discard its free blocks (FITRIM).
    enum class Trim
    {
        NotAsked,     // no free-space wipe ran on the volume
        Done,         // the file system discarded its free blocks
        NotSupported, // the file system or its device cannot discard
        Failed,       // it could, but refused (no permission, an I/O error)
    };

    TargetVolume volume;
    bool freeSpaceWiped = false;     // a free-space wipe of this volume ran to its end in this job
    bool wipedAfterDeletion = false; // that wipe came after the deletion (copy-on-write volumes)
    // Free space that wipe could not write (kept by the file system, or reserved for root): it may
    // still hold deleted data, so the volume is wiped in part only.
    std::int64_t unwrittenBytes = 0;
    Trim trim = Trim::NotAsked;
    std::string trimDetail{}; // why TRIM was not done, as the system said it

    // "not asked", "done", "not supported", "failed": the words the command line's JSON uses.
    static const char* trimKey(Trim trim)
    {
        switch (trim) {
        case Trim::Done:
            return "done";
        case Trim::NotSupported:
            return "not supported";
        case Trim::Failed:
            return "failed";
        case Trim::NotAsked:
            break;
        }
        return "not asked";
    }
};

} // namespace cv
