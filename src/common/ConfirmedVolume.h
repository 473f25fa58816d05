#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cv {

// The volume a user confirmed for a complete erase, as the caller saw it: the block device it is on
// (its number, and the disk sequence the kernel raises whenever another medium or backing file
// takes that device's place), and its file system's UUID and label. The privileged helper formats
// the volume at a mount point only while the mount there is still that device with that file
// system: a stick swapped for another at the same path while the user typed the password is
// never formatted.
struct ConfirmedVolume
{
    std::uint64_t device = 0;       // st_rdev of the block device; 0: none was found
    std::uint64_t diskSequence = 0; // 0: the kernel does not count it
    std::string uuid;               // the file system's UUID; empty when it has none
    std::string label;              // the file system's label; empty when it has none

    // The volume mounted exactly at mountPath as this process sees it now: its device from the mount
    // table, the disk sequence from sysfs, UUID and label from udev's links in /dev/disk. Nothing
    // when mountPath is not the mount point of a file system on a block device.
    static std::optional<ConfirmedVolume> of(const std::string& mountPath);

    // Why found is not the confirmed volume, or empty when it is: another device or medium, or
    // another file system (UUID, else label, when the confirmed volume has no UUID).
    std::string differenceFrom(const ConfirmedVolume& found) const;
};

} // namespace cv
