#include "common/KernelFileSystem.h"

#include "common/MountTable.h"
#include "common/UniqueFd.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <linux/magic.h>
#include <mutex>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>

namespace cv {

namespace {

// Not all of them are in linux/magic.h.
constexpr long kConfigfsMagic = 0x62656570;
constexpr long kMqueueMagic = 0x19800202;
constexpr long kFusectlMagic = 0x65735543;
constexpr long kNsfsMagic = 0x6e736673;
constexpr long kSelinuxMagic = 0xf97cff8c;

constexpr std::array<std::pair<long, const char*>, 18> kKernelTypes{{
    {PROC_SUPER_MAGIC, "proc"},
    {SYSFS_MAGIC, "sysfs"},
    {DEVPTS_SUPER_MAGIC, "devpts"},
    {DEBUGFS_MAGIC, "debugfs"},
    {TRACEFS_MAGIC, "tracefs"},
    {SECURITYFS_MAGIC, "securityfs"},
    {kConfigfsMagic, "configfs"},
    {EFIVARFS_MAGIC, "efivarfs"},
    {BPF_FS_MAGIC, "bpf"},
    {CGROUP_SUPER_MAGIC, "cgroup"},
    {CGROUP2_SUPER_MAGIC, "cgroup2"},
    {PSTOREFS_MAGIC, "pstore"},
    {kMqueueMagic, "mqueue"},
    {HUGETLBFS_MAGIC, "hugetlbfs"},
    {kFusectlMagic, "fusectl"},
    {BINFMTFS_MAGIC, "binfmt_misc"},
    {kNsfsMagic, "nsfs"},
    {kSelinuxMagic, "selinuxfs"},
}};

// Which tmpfs (or ramfs) superblock is devtmpfs. There is one devtmpfs for the whole system, made
// at boot and kept until shutdown, so its device number never changes and no other file system
// ever gets it; a device number found to be a plain tmpfs may later be a new plain tmpfs, never
// devtmpfs. Both answers are therefore kept, and the mount table is read only for a tmpfs not met
// before.
class DevtmpfsDevices
{
public:
    static DevtmpfsDevices& instance()
    {
        static DevtmpfsDevices devices;
        return devices;
    }

    // True for devtmpfs, false for a plain tmpfs, nothing when the mount table does not say.
    std::optional<bool> isDevtmpfs(dev_t device)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_devtmpfs && *m_devtmpfs == device)
                return true;
            if (m_plain.contains(device))
                return false;
        }
        const auto mounts = MountTable::readCurrent();
        if (!mounts)
            return std::nullopt;
        std::lock_guard lock(m_mutex);
        std::optional<bool> answer;
        for (const MountEntry& mount : *mounts) {
            if (mount.fsType == "devtmpfs")
                m_devtmpfs = mount.device;
            else if (mount.device == device &&
                     (mount.fsType == "tmpfs" || mount.fsType == "ramfs" || mount.fsType == "rootfs"))
                answer = false;
        }
        if (m_devtmpfs && *m_devtmpfs == device)
            return true;
        if (answer)
            m_plain.insert(device);
        return answer;
    }

private:
    std::mutex m_mutex;
    std::optional<dev_t> m_devtmpfs;
    std::unordered_set<dev_t> m_plain;
};

} // namespace

std::optional<KernelFileSystem> KernelFileSystem::of(int fd)
{
    struct statfs info = {};
    if (::fstatfs(fd, &info) != 0)
        return KernelFileSystem{kUnknown};
    return of(fd, info);
}

namespace {

// What the type alone tells: a kernel's file system, one that holds data, or (tmpfs and ramfs)
// nothing yet, since devtmpfs has the type of a plain tmpfs.
std::optional<std::optional<KernelFileSystem>> byType(const struct statfs& info)
{
    const long type = static_cast<long>(info.f_type);
    const auto found = std::find_if(kKernelTypes.begin(), kKernelTypes.end(),
                                    [type](const auto& known) { return known.first == type; });
    if (found != kKernelTypes.end())
        return KernelFileSystem{found->second};
    if (type != TMPFS_MAGIC && type != RAMFS_MAGIC)
        return std::optional<KernelFileSystem>();
    return std::nullopt;
}

} // namespace

std::optional<KernelFileSystem> KernelFileSystem::of(int fd, const struct statfs& info)
{
    if (const auto known = byType(info))
        return *known;
    struct stat file = {};
    if (::fstat(fd, &file) != 0)
        return KernelFileSystem{kUnknown};
    return of(info, file);
}

std::optional<KernelFileSystem> KernelFileSystem::of(const struct statfs& info, const struct stat& file)
{
    if (const auto known = byType(info))
        return *known;
    const std::optional<bool> devtmpfs = DevtmpfsDevices::instance().isDevtmpfs(file.st_dev);
    if (!devtmpfs)
        return KernelFileSystem{kUnknown};
    if (*devtmpfs)
        return KernelFileSystem{"devtmpfs"};
    return std::nullopt;
}

std::optional<KernelFileSystem> KernelFileSystem::atPath(const std::string& path)
{
    const UniqueFd entry(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!entry)
        return std::nullopt;
    return of(entry.get());
}

std::string KernelFileSystem::describe() const
{
    if (name == kUnknown)
        return "a file system whose type cannot be told";
    return "the kernel's " + name + " file system";
}

std::string KernelFileSystem::refusal(const std::string& path, bool mountRoot) const
{
    return path + (mountRoot ? " is " : " lies on ") + describe() + ", not data";
}

} // namespace cv
