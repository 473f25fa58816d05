#include "freespace/FreeSpaceTrim.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "targets/VolumeProbe.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

namespace cv {

FreeSpaceTrim::Outcome FreeSpaceTrim::trim(const std::string& mountPoint)
{
    if (!VolumeProbe::system().isVolume(mountPoint)) {
        logMessage("TRIM not asked: ", mountPoint, " is not a mount point");
        return {ShredVolume::Trim::NotAsked, "not a mount point"};
    }
    UniqueFd fd(::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    fstrim_range range{};
    range.start = 0;
    range.len = ULLONG_MAX;
    range.minlen = 0;
    if (fd && ::ioctl(fd.get(), FITRIM, &range) == 0) {
        // The kernel answers in len how many bytes it discarded.
        logMessage("TRIM done on ", mountPoint, ": ", std::to_string(range.len), " bytes discarded");
        return {ShredVolume::Trim::Done, {}};
    }
    const int error = errno;
    // ENOTTY: the file system has no FITRIM; EOPNOTSUPP: its device cannot discard.
    const bool unsupported = error == ENOTTY || error == EOPNOTSUPP;
    logMessage(unsupported ? "TRIM not supported on " : "TRIM failed on ", mountPoint, ": ",
               std::strerror(error));
    return {unsupported ? ShredVolume::Trim::NotSupported : ShredVolume::Trim::Failed, std::strerror(error)};
}

} // namespace cv
