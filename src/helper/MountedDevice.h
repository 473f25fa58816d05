#pragma once

#include "common/MountTable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

// What the kernel says about a mounted volume and its device, for the reformatting's checks: the
// block device under a mount, the mount a descriptor lies on, the disk's sequence number, and
// whether a path still leads to the folder that was resolved before.
class MountedDevice
{
public:
    // The device node of a mount: its source when that is the block device the kernel names, else
    // the node sysfs names for the device number. A file system on an anonymous device (major 0,
    // as btrfs has) is accepted on its source when that is a block device.
    static std::optional<std::string> blockDevice(const MountEntry& entry);
    // The id of the mount that fd lies on.
    static std::optional<std::uint64_t> mountId(int fd);
    // The disk's sequence number, which the kernel raises whenever another medium or backing file
    // takes the device's place; nothing where the kernel does not count it (before Linux 5.15).
    static std::optional<std::uint64_t> diskSequence(int fd);
    // Whether path, resolved again without links, still ends in the folder open as folder, in the
    // folder open as parent.
    static bool stillLeadsTo(const std::string& path, int parent, int folder);
};

} // namespace cv
