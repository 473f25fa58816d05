#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// One line of /proc/self/mountinfo, its octal escapes ("\040" for a space) decoded.
struct MountEntry
{
    int id = 0;
    int parentId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;         // the folder of the file system that is mounted ("/" for all of it)
    std::string mountPoint;   // where it is mounted
    std::string mountOptions; // per mount: rw, nosuid, relatime, ...
    std::string fsType;
    std::string source;       // the device, or what the file system names instead ("tmpfs")
    std::string superOptions; // per file system
};

// The mounts the helper sees, read from the kernel's mountinfo table. The reformat step finds the
// device, type and siblings of a mount point here.
class MountTable
{
public:
    // Lines that cannot be read are skipped; the kernel's own table has none.
    static std::vector<MountEntry> parse(std::string_view text);
    // The table of the running process, or nothing when it cannot be read.
    static std::optional<std::vector<MountEntry>> readCurrent();
    static std::string unescape(std::string_view field);
};

} // namespace cv
