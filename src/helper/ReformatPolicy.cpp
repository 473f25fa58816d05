#include "helper/ReformatPolicy.h"

#include "common/PathText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

// Device-mapper and RAID stack a few levels at most; a deeper chain is a broken tree.
constexpr int kMaxStackDepth = 16;

std::string deviceName(dev_t device)
{
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

std::optional<std::string> realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

std::vector<std::string> folderNames(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool collectDisks(const std::string& deviceFolder, int depth, std::set<std::string>& disks)
{
    if (depth > kMaxStackDepth)
        return false;
    std::string folder = deviceFolder;
    struct stat info = {};
    // A partition's folder lies inside the folder of its disk.
    if (::stat((folder + "/partition").c_str(), &info) == 0)
        folder = folder.substr(0, folder.rfind('/'));
    const auto slaves = folderNames(folder + "/slaves");
    if (slaves.empty()) {
        disks.insert(folder);
        return true;
    }
    for (const auto& slave : slaves) {
        const auto below = realPath(folder + "/slaves/" + slave);
        if (!below || !collectDisks(*below, depth + 1, disks))
            return false;
    }
    return true;
}

} // namespace

const std::vector<std::string>& ReformatPolicy::allowedRoots()
{
    static const std::vector<std::string> roots = {"/media", "/run/media", "/mnt"};
    return roots;
}

const std::vector<std::string>& ReformatPolicy::systemMountPoints()
{
    static const std::vector<std::string> points = {"/",    "/boot", "/boot/efi", "/efi",
                                                    "/usr", "/var",  "/home"};
    return points;
}

HelperResult ReformatPolicy::checkPlace(const std::string& mountPoint)
{
    if (mountPoint == "/")
        return HelperError::invalidArgument("Refusing to reformat the startup volume /");
    bool allowedPlace = false;
    for (const auto& root : allowedRoots())
        allowedPlace = allowedPlace || isAtOrBelow(mountPoint, root);
    if (!allowedPlace)
        return HelperError::invalidArgument("Refusing to reformat " + mountPoint +
                                            ": only volumes mounted at or below /media, /run/media or "
                                            "/mnt are reformatted");
    return {};
}

HelperResult ReformatPolicy::checkDisks(const std::string& mountPoint, dev_t device,
                                        const std::vector<SystemDevice>& systemDevices,
                                        const std::string& sysRoot)
{
    const auto disks = wholeDisks(sysRoot, device);
    if (!disks)
        return HelperError::invalidArgument("Refusing to reformat " + mountPoint +
                                            ": the disk of its device " + deviceName(device) +
                                            " cannot be told");
    for (const auto& system : systemDevices) {
        // A system device the tree does not know (a network or memory file system) lies on no disk.
        const auto systemDisks = wholeDisks(sysRoot, system.device);
        for (const auto& disk : systemDisks.value_or(std::set<std::string>{})) {
            if (disks->count(disk))
                return HelperError::invalidArgument("Refusing to reformat " + mountPoint +
                                                    ": it lies on the disk that holds " + system.what +
                                                    ", a volume the system runs from");
        }
    }
    return {};
}

std::optional<std::set<std::string>> ReformatPolicy::wholeDisks(const std::string& sysRoot, dev_t device)
{
    const auto folder = realPath(sysRoot + "/dev/block/" + deviceName(device));
    std::set<std::string> disks;
    if (!folder || !collectDisks(*folder, 0, disks))
        return std::nullopt;
    return disks;
}

std::optional<dev_t> ReformatPolicy::deviceOf(const MountEntry& mount)
{
    if (major(mount.device) != 0)
        return mount.device;
    struct stat info = {};
    if (!mount.source.empty() && mount.source.front() == '/' && ::stat(mount.source.c_str(), &info) == 0 &&
        S_ISBLK(info.st_mode))
        return info.st_rdev;
    return std::nullopt;
}

std::vector<ReformatPolicy::SystemDevice> ReformatPolicy::systemDevices(const std::vector<MountEntry>& mounts,
                                                                        std::string_view swaps)
{
    std::vector<SystemDevice> devices;
    for (const auto& mount : mounts) {
        for (const auto& point : systemMountPoints()) {
            if (mount.mountPoint != point)
                continue;
            if (const auto device = deviceOf(mount))
                devices.push_back({point, *device});
        }
    }
    // Filename Type Size Used Priority, one area a line after the header; a file's blanks escaped.
    std::size_t start = swaps.find('\n');
    while (start != std::string_view::npos && start + 1 < swaps.size()) {
        const std::size_t end = std::min(swaps.find('\n', start + 1), swaps.size());
        const std::string_view line = swaps.substr(start + 1, end - start - 1);
        start = end;
        const std::string name = MountTable::decodeEscapes(line.substr(0, line.find_first_of(" \t")));
        struct stat info = {};
        if (name.empty() || ::stat(name.c_str(), &info) != 0)
            continue;
        if (S_ISBLK(info.st_mode)) {
            devices.push_back({"swap " + name, info.st_rdev});
            continue;
        }
        // A swap file: the device of the file system it lies on.
        for (const auto& mount : mounts) {
            if (mount.device != info.st_dev)
                continue;
            if (const auto device = deviceOf(mount)) {
                devices.push_back({"swap " + name, *device});
                break;
            }
        }
    }
    return devices;
}

} // namespace cv
