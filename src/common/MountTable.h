#pragma once

#include "common/Expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace cv {

// One line of /proc/self/mountinfo. The path-like fields (root, mount point, type, source) have the
// kernel's octal escapes decoded; the two option lists are kept as the kernel writes them, since a
// value inside may hold an escaped comma: split them at commas first, then decode each option.
struct MountEntry
{
    std::uint64_t mountId = 0; // as statx(STATX_MNT_ID) reports it for files on this mount
    std::uint64_t parentId = 0;
    dev_t device = 0;         // the file system's device number, as st_dev reports it for files on it
    std::string root;         // the folder of the file system mounted here ("/" unless a bind mount)
    std::string mountPoint;   // where it is mounted
    std::string mountOptions; // per mount: "rw,nosuid,relatime"
    std::string fsType;       // "ext4", "fuse.sshfs"
    std::string source;       // the device, or what the file system names instead ("tmpfs"); may be empty
    std::string superOptions; // per file system: "rw,errors=remount-ro"
};

// Reads the mount table of this process's mount namespace, the way the kernel writes it: the
// volumes the window lists, and the mounts the privileged helper checks before it reformats.
//
// The kernel separates the fields of a line by exactly one blank and escapes blanks inside them, so
// an empty field is two blanks in a row. Only the source is ever empty (a file system mounted with
// the source ""), and the fields after it keep their places.
class MountTable
{
public:
    static constexpr const char* kPath = "/proc/self/mountinfo";

    // The mounts in the kernel's order (parents before children), or why the table cannot be read.
    static Expected<std::vector<MountEntry>, std::string> readCurrent();
    // The same for callers that go on without mounts: empty when the table cannot be read, which is
    // logged.
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
