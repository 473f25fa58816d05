#pragma once

#include "common/MountTable.h"

#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cv {

// A mounted volume as the free-space screen lists it: name, mount point and capacities. The icon
// is the window's business: it looks one up for the mount point.
class Volume
{
public:
    static constexpr const char* kLabelFolder = "/dev/disk/by-label";

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }
    std::int64_t size() const { return m_size; }
    void setSize(std::int64_t size) { m_size = size; }
    std::int64_t freeSpace() const { return m_freeSpace; }
    void setFreeSpace(std::int64_t freeSpace) { m_freeSpace = freeSpace; }
    // Which mount this is: the file system's device number and the mount's id. Another file system
    // mounted at the same point (a stick swapped for another) differs in them.
    dev_t device() const { return m_device; }
    void setDevice(dev_t device) { m_device = device; }
    std::uint64_t mountId() const { return m_mountId; }
    void setMountId(std::uint64_t mountId) { m_mountId = mountId; }
    // The same mount of the same file system at the same point.
    bool isSameMountAs(const Volume& other) const
    {
        return m_path == other.m_path && m_device == other.m_device && m_mountId == other.m_mountId;
    }
    // How the volume is shown to the user: its name, the startup volume as "/ (Name)" ("/" when
    // it has none), the mount point when the name is empty.
    std::string displayName() const;

    // The volume of a mount: named by its file-system label when labels knows the device, else by
    // the mount point's last component ("/" for the root); capacities from statvfs, 0 when they
    // cannot be read.
    static Volume fromMount(const MountEntry& mount, const std::map<dev_t, std::string>& labels);

    // The file-system label of a mount's device; empty when labels does not know it.
    static std::string labelOf(const MountEntry& mount, const std::map<dev_t, std::string>& labels);

    // File-system labels by block device, from the links in a folder like /dev/disk/by-label
    // (their names decoded from udev's "\x20" escapes). Empty when there is no such folder.
    static std::map<dev_t, std::string> readLabels(const std::string& folder = kLabelFolder);

private:
    std::string m_name;
    std::string m_path;
    std::int64_t m_size = 0;
    std::int64_t m_freeSpace = 0;
    dev_t m_device = 0;
    std::uint64_t m_mountId = 0;
};

// The volumes a user may work on, in mount order: pseudo and system mounts left out, and a mount
// point mounted over again listed once, with what is visible there now.
std::vector<Volume> findVolumes();

} // namespace cv
