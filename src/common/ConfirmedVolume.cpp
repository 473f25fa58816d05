#include "common/ConfirmedVolume.h"

#include "common/MountTable.h"

#include <dirent.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace cv {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// udev writes bytes it will not put in a link name as "\xNN".
std::string decodeUdevName(std::string_view name)
{
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hexValue(name[i + 2]) >= 0 &&
            hexValue(name[i + 3]) >= 0) {
            decoded.push_back(static_cast<char>(hexValue(name[i + 2]) * 16 + hexValue(name[i + 3])));
            i += 3;
        } else {
            decoded.push_back(name[i]);
        }
    }
    return decoded;
}

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
