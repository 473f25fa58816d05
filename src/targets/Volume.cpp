#include "targets/Volume.h"

#include "common/Log.h"
#include "common/PathText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace cv {

std::string Volume::displayName() const
{
    if (m_path == "/")
        return m_name.empty() || m_name == "/" ? "/" : "/ (" + m_name + ")";
    return m_name.empty() ? m_path : m_name;
}

Volume Volume::fromMount(const MountEntry& mount, const std::map<dev_t, std::string>& labels)
{
    Volume volume;
    volume.setPath(mount.mountPoint);
    volume.setDevice(mount.device);
    volume.setMountId(mount.mountId);

    const std::string label = labelOf(mount, labels);
    volume.setName(!label.empty() ? label : std::string(lastComponent(mount.mountPoint)));

    struct statvfs capacity;
    if (::statvfs(mount.mountPoint.c_str(), &capacity) == 0) {
        volume.setSize(static_cast<std::int64_t>(capacity.f_blocks * capacity.f_frsize));
        volume.setFreeSpace(static_cast<std::int64_t>(capacity.f_bavail * capacity.f_frsize));
    } else {
        logMessage("Cannot read the capacity of ", mount.mountPoint, ": ", std::strerror(errno));
    }
    return volume;
}

std::string Volume::labelOf(const MountEntry& mount, const std::map<dev_t, std::string>& labels)
{
    // Block-device file systems report the device's number in mountinfo; others (btrfs) an
    // anonymous one, so the source device is asked too.
    auto label = labels.find(mount.device);
    struct stat source;
    if (label == labels.end() && mount.source.starts_with("/dev/") &&
        ::stat(mount.source.c_str(), &source) == 0 && S_ISBLK(source.st_mode))
        label = labels.find(source.st_rdev);
    return label != labels.end() ? label->second : std::string();
}

std::map<dev_t, std::string> Volume::readLabels(const std::string& folder)
{
    std::map<dev_t, std::string> labels;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return labels; // no labelled devices, or no udev: names come from mount points
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat device;
        if (::fstatat(::dirfd(dir), entry->d_name, &device, 0) == 0 && S_ISBLK(device.st_mode))
            labels.emplace(device.st_rdev, decodeUdevName(entry->d_name));
    }
    ::closedir(dir);
    return labels;
}

std::vector<Volume> findVolumes()
{
    std::vector<const MountEntry*> shown;
    const auto mounts = MountTable::read();
    for (const auto& mount : mounts) {
        if (MountTable::isHidden(mount))
            continue;
        // A later mount on the same point covers the earlier one: list what is visible there.
        const auto same = std::find_if(shown.begin(), shown.end(), [&mount](const MountEntry* other) {
            return other->mountPoint == mount.mountPoint;
        });
        if (same != shown.end())
            *same = &mount;
        else
            shown.push_back(&mount);
    }
    const auto labels = Volume::readLabels();
    std::vector<Volume> volumes;
    volumes.reserve(shown.size());
    for (const MountEntry* mount : shown)
        volumes.push_back(Volume::fromMount(*mount, labels));
    return volumes;
}

} // namespace cv
