#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace cv {

// One line of /proc/self/mountinfo, with the escapes of its text fields decoded.
struct MountEntry
{
    std::uint64_t mountId = 0;
    std::uint64_t parentId = 0;
    dev_t device = 0; // the file system's device number, as st_dev reports it for files on it
    std::string root; // the folder of the file system mounted here ("/" unless a bind mount)
    std::string mountPoint;
    std::string mountOptions;
    std::vector<std::string> optionalFields; // "shared:1", "master:2", ...
    std::string fsType;
    std::string source; // the device or other source ("/dev/sda1", "tmpfs")
    std::string superOptions;
};

// Reads the mount table of this process's mount namespace, the way the kernel writes it.
class MountTable
{
public:
    static constexpr const char* kPath = "/proc/self/mountinfo";

    // The mounts in the kernel's order (parents before children); empty when the table cannot be
    // read, which is logged.
    static std::vector<MountEntry> read();

    // Parses a whole table; lines that do not parse are left out.
    static std::vector<MountEntry> parse(std::string_view text);
    // Parses one line; nothing when it is malformed.
    static std::optional<MountEntry> parseLine(std::string_view line);
    // Decodes the kernel's octal escapes ("\040" for a blank, "\011", "\012", "\134").
    static std::string decodeEscapes(std::string_view field);

    // A pseudo or system mount that is no volume for the user: kernel interfaces (proc, sysfs,
    // cgroup, devpts, ...) and anything at or below /proc, /sys, /dev and /run.
    static bool isHidden(const MountEntry& entry);
};

} // namespace cv
