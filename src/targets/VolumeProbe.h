#pragma once

#include "common/ConfirmedVolume.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cv {

// What a volume is, as a screen names it before a job empties or reformats it: the user must be
// able to tell which volume it is.
struct VolumeFacts
{
    std::string label;      // the file-system label; empty when it has none
    std::string mountPoint; // where it is mounted
    std::string device;     // the device it is on ("/dev/sdb1"), or what the mount names instead
    std::string fileSystem; // "ext4", "vfat"
    std::int64_t size = 0;  // its capacity in bytes; 0 when it cannot be read
};

// The questions the program asks about a path as a volume: is it the mount point of a mounted
// volume, is it the startup volume, is it a volume the system runs from, what is it called, and how
// much may still be written to it. The shred screen, the scan, the job, the free-space wipe, the
// report and the command line all ask through one probe. By default (system()) the mount table and
// statvfs answer; tests answer for folders of their own, so that no real volume is ever selected
// or wiped. A question left unanswered (an empty function) reads as no, none or 0.
struct VolumeProbe
{
    // Exactly the mount point of a mounted volume, hidden mounts included: "/mnt/x/" or a path
    // inside a volume is no volume.
    std::function<bool(const std::string& path)> isVolume = {};
    // The startup volume: "/" itself, or the file system mounted at "/" seen through another mount
    // point (a bind mount of "/"). Says nothing about the medium.
    std::function<bool(const std::string& path)> isHdd = {};
    // A volume the system runs from (/boot, /usr, /var, /home, ..., wherever mounted again), which
    // is never emptied or reformatted; its free space may be wiped.
    std::function<bool(const std::string& path)> isSystemVolume = {};
    // The volume's file-system label, else its mount point's last component; empty for an
    // unlabelled "/" and for a path that is no (listed) volume.
    std::function<std::string(const std::string& path)> volumeName = {};
    // The bytes this process may still write there: for root the blocks reserved for root are
    // free (f_bfree), for anyone else they count as full (f_bavail); 0 when they cannot be read.
    std::function<std::int64_t(const std::string& path)> freeBytes = {};
    // The bytes the file system holds free, whoever may write them (f_bfree): after a wipe filled
    // the volume, what is left here (blocks reserved for root, or by the file system for itself)
    // was not written; 0 when they cannot be read.
    std::function<std::int64_t(const std::string& path)> allFreeBytes = {};
    // What the volume mounted at path is (label, mount point, device, file system, size); only the
    // mount point when it is no listed volume.
    std::function<VolumeFacts(const std::string& path)> describe = {};
    // Which volume is mounted at path, as a complete erase hands it to the privileged helper
    // (device, disk sequence, UUID, label); nothing when it is on no block device.
    std::function<std::optional<ConfirmedVolume>(const std::string& path)> identify = {};

    // The probe of the running system. Its answers come from one read of the mount table, which is
    // read afresh when it is more than a second old: a drop of thousands of files, or a job asking
    // in each phase, reads it once. Copies share that read; any thread may ask.
    static VolumeProbe system();
};

} // namespace cv
