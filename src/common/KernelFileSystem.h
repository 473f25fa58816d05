#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace cv {

// The one guard against writing into the kernel: tells from an open descriptor whether it lies on
// one of the file systems through which the kernel shows and takes its settings (proc, sysfs,
// devtmpfs, devpts, debugfs, tracefs, securityfs, configfs, efivarfs, bpf, cgroup, cgroup2,
// pstore, mqueue, hugetlbfs, fusectl, binfmt_misc). Their files are no data: writing random bytes
// into /proc/bus/pci/* rewrites a device's configuration, and renaming /proc/PID/comm renames a
// process. Nothing on them is ever opened for writing, renamed or removed, by the engine's file
// opening, its walks, the free-space wipe or the privileged helper alike.
//
// The decision comes from fstatfs of the descriptor, never from names: a bind mount of /proc/PID
// anywhere is still proc. devtmpfs calls itself tmpfs there; it is one file system for the whole
// system, known by its device number in the mount table. What cannot be told counts as the
// kernel's: it is not touched.
class KernelFileSystem
{
public:
    // The file system's name as the kernel gives it ("proc", "sysfs", ...), or kUnknown.
    std::string name;

    static constexpr const char* kUnknown = "unknown";

    // The kernel's file system that fd (any descriptor, O_PATH too) lies on, or nothing for a
    // file system that holds data.
    static std::optional<KernelFileSystem> of(int fd);
    // The same, from fstatfs of fd made already (its f_type), sparing a second call.
    static std::optional<KernelFileSystem> of(int fd, const struct statfs& info);
    // The same, from fstatfs and fstat of fd made already (its f_type and its st_dev).
    static std::optional<KernelFileSystem> of(const struct statfs& info, const struct stat& file);
    // The same for the entry at path itself (a link is not followed); nothing when path cannot be
    // opened at all, which the caller's own examination of it then reports.
    static std::optional<KernelFileSystem> atPath(const std::string& path);

    // "the kernel's proc file system", or "a file system whose type cannot be told".
    std::string describe() const;
    // Why path is refused as a target: "/proc is the kernel's proc file system, not data" for the
    // root of such a mount, "/proc/1/comm lies on the kernel's proc file system, not data" for an
    // entry on one.
    std::string refusal(const std::string& path, bool mountRoot) const;
};

} // namespace cv
