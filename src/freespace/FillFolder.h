#pragma once

#include "common/Expected.h"
#include "common/UniqueFd.h"

#include <string>
#include <sys/types.h>

namespace cv {

// The folder that holds the fill files of one volume's wipe. Fill files always lie on the volume
// being wiped: a folder is taken only when its opened descriptor is on the volume's device, so a
// wipe never fills another volume (a home folder on a volume of its own, a tmpfs /tmp).
//
// A volume whose root the user may write takes its fill files at its top level. The startup
// volume, and a volume whose root the user may not write, take them in the home folder's
// "Ostrevane" when the home folder lies on that volume; else a root job takes the volume's root,
// and a user's job the volume's var/tmp or tmp when they are on it and the user may write there.
// With none of these the volume fails: "no folder on / where you may write".
class FillFolder
{
public:
    std::string path; // where the fill files go
    UniqueFd fd;      // that folder, opened
    dev_t device = 0; // the device of the volume being wiped (and of the folder)

    // Chooses and opens the fill folder of the volume mounted at mountPath; startupVolume: it is
    // the startup volume; home: the user's home folder. The error is the volume's failure reason,
    // localized. With makeFolder false nothing is made: while the home folder's "Ostrevane" does
    // not exist, the home folder itself stands for it (a screen asks before any job starts).
    static Expected<FillFolder, std::string> choose(const std::string& mountPath, bool startupVolume,
                                                    const std::string& home, bool makeFolder = true);

    // Whether the folder opened as folderFd lies on device; false when it cannot be examined.
    static bool isOnDevice(int folderFd, dev_t device);

    // The reason a fill folder that is not on the volume's device fails the volume.
    static std::string notOnVolumeReason();
};

} // namespace cv
