#include "common/ConfirmedVolume.h"

#include "common/MountTable.h"
#include "common/PathText.h"

#include <dirent.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace cv {

namespace {

// The name of the link in folder (like /dev/disk/by-uuid) that leads to the block device, decoded
// from udev's "\x20" escapes; empty when none does.
std::string linkNameFor(const char* folder, dev_t device)
{
    DIR* dir = ::opendir(folder);
    if (!dir)
        return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat target = {};
        if (name == "." || name == ".." || ::stat((std::string(folder) + "/" + name).c_str(), &target) != 0 ||
            !S_ISBLK(target.st_mode) || target.st_rdev != device)
            continue;
        found = decodeUdevName(name);
        break;
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::optional<ConfirmedVolume> ConfirmedVolume::of(const std::string& mountPath)
{
    const auto mounts = MountTable::readCurrent();
    if (!mounts)
        return std::nullopt;
    // The newest mount at the point is the one seen there.
    const MountEntry* mount = nullptr;
    for (const MountEntry& entry : *mounts)
        if (entry.mountPoint == mountPath)
            mount = &entry;
    if (!mount)
        return std::nullopt;
    dev_t device = mount->device;
    struct stat source = {};
    // File systems on an anonymous device number (btrfs) are known by their source device.
    if (major(device) == 0) {
        if (mount->source.empty() || mount->source.front() != '/' ||
            ::stat(mount->source.c_str(), &source) != 0 || !S_ISBLK(source.st_mode))
            return std::nullopt;
        device = source.st_rdev;
    }
    ConfirmedVolume volume;
    volume.device = device;
    std::ifstream sequence("/sys/dev/block/" + std::to_string(major(device)) + ":" +
                           std::to_string(minor(device)) + "/diskseq");
    if (!(sequence >> volume.diskSequence))
        volume.diskSequence = 0;
    volume.uuid = linkNameFor("/dev/disk/by-uuid", device);
    volume.label = linkNameFor("/dev/disk/by-label", device);
    return volume;
}

std::string ConfirmedVolume::differenceFrom(const ConfirmedVolume& found) const
{
    if (device == 0)
        return "no confirmed volume was named";
    if (found.device != device)
        return "another device is mounted there now";
    if (diskSequence != 0 && found.diskSequence != 0 && found.diskSequence != diskSequence)
        return "another medium is in the device now";
    if (!uuid.empty() ? found.uuid != uuid : found.label != label)
        return "another file system is on the device now";
    return {};
}

} // namespace cv
