#include "TempDir.h"
#include "TmpfsMount.h"
#include "common/KernelFileSystem.h"
#include "common/MountTable.h"

#include <algorithm>
#include <gtest/gtest.h>

using cv::KernelFileSystem;
namespace t = cv::test;

namespace {

// The name KernelFileSystem gives what lies at path, or "data".
std::string kindAt(const std::string& path)
{
    const auto kernel = KernelFileSystem::atPath(path);
    return kernel ? kernel->name : "data";
}

} // namespace

TEST(KernelFileSystem, ToldFromTheDescriptorNotFromNames)
{
    // Looked at only, never opened for anything else.
    EXPECT_EQ(kindAt("/proc/self/comm"), "proc");
    EXPECT_EQ(kindAt("/proc/self"), "proc") << "a link on proc is proc's too";
    if (t::exists("/sys/kernel")) {
        EXPECT_EQ(kindAt("/sys/kernel"), "sysfs");
    }
    const auto mounts = cv::MountTable::read();
    const auto devtmpfs = std::find_if(
        mounts.begin(), mounts.end(), [](const cv::MountEntry& mount) { return mount.fsType == "devtmpfs"; });
    if (devtmpfs != mounts.end()) {
        EXPECT_EQ(kindAt(devtmpfs->mountPoint), "devtmpfs") << "devtmpfs calls itself tmpfs";
    }
    t::TempDir dir;
    t::writeFile(dir / "file", "data");
    EXPECT_EQ(kindAt(dir / "file"), "data");
    EXPECT_EQ(kindAt(dir.path()), "data");
    EXPECT_FALSE(KernelFileSystem::atPath(dir / "missing")) << "what is not there is the caller's to report";
    if (t::isRoot()) {
        t::makeDir(dir / "tmpfs");
        t::TmpfsMount tmpfs(dir / "tmpfs", "1m");
        ASSERT_TRUE(tmpfs.available());
        t::writeFile(dir / "tmpfs/file", "data");
        EXPECT_EQ(kindAt(dir / "tmpfs/file"), "data") << "a tmpfs of its own is no devtmpfs";
    }
    EXPECT_EQ(KernelFileSystem{"proc"}.refusal("/proc", true),
              "/proc is the kernel's proc file system, not data");
    EXPECT_EQ(KernelFileSystem{"sysfs"}.refusal("/sys/x", false),
              "/sys/x lies on the kernel's sysfs file system, not data");
}
