#pragma once

#include "engine/ShredVolume.h"

#include <string>

namespace cv {

// Asks the file system mounted at a mount point to discard its free blocks (FITRIM), once its
// free space has been wiped: on flash media the device may keep old data in blocks the file
// system no longer uses, and a discard is the one thing the file system can still ask of it. A
// refusal is an answer, logged, never an error of the job.
class FreeSpaceTrim
{
public:
    struct Outcome
    {
        ShredVolume::Trim trim = ShredVolume::Trim::NotAsked;
        std::string detail;
    };

    // Discards the free blocks of the file system mounted exactly at mountPoint. A path that is
    // not a mount point in the mount table is never trimmed (NotAsked): it would trim the whole
    // file system that holds it.
    static Outcome trim(const std::string& mountPoint);
};

} // namespace cv
