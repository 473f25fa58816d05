#include "helper/VolumeReformatter.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "helper/ArgumentCheck.h"
#include "helper/FileOperations.h"
#include "helper/MountedDevice.h"
#include "helper/ReformatPolicy.h"
#include "helper/ToolRunner.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kBlkidTimeoutSeconds = 60;
// BLKGETSIZE64 of linux/fs.h, which cannot be included beside sys/mount.h.
constexpr unsigned long kGetSize64 = _IOR(0x12, 114, std::size_t);
// Making a file system on a large disk takes minutes, never hours: the quick forms are used.
constexpr int kMkfsTimeoutSeconds = 3600;
std::mutex& reformatMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string_view> splitOptions(std::string_view options)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= options.size()) {
        const std::size_t end = std::min(options.find(',', start), options.size());
        if (end > start)
            parts.push_back(options.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string trimNewlines(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::string readText(const char* path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Mounts target's file system, on device, onto the folder open as folder (an O_PATH descriptor),
// with target's options. An option the file system does not take back is left out and logged.
HelperResult mountOnto(int folder, const MountEntry& target, const std::string& device)
{
    const auto failure = [&](const char* step) {
        return HelperError::failed("Cannot mount " + device + " at " + target.mountPoint + " (" + step +
                                   "): " + std::strerror(errno));
    };
    const UniqueFd context(::fsopen(target.fsType.c_str(), FSOPEN_CLOEXEC));
    if (!context)
        return failure("fsopen");
    if (::fsconfig(context.get(), FSCONFIG_SET_STRING, "source", device.c_str(), 0) != 0)
        return failure("source");
    for (const auto& [key, value] : VolumeReformatter::fileSystemOptions(target.superOptions)) {
        const int result =
            value ? ::fsconfig(context.get(), FSCONFIG_SET_STRING, key.c_str(), value->c_str(), 0)
                  : ::fsconfig(context.get(), FSCONFIG_SET_FLAG, key.c_str(), nullptr, 0);
        if (result != 0)
            logMessage("Mounting ", device, " without the option ", key, ": ", std::strerror(errno));
    }
    if (::fsconfig(context.get(), FSCONFIG_CMD_CREATE, nullptr, nullptr, 0) != 0)
        return failure("create");
    const UniqueFd mount(
        ::fsmount(context.get(), FSMOUNT_CLOEXEC, VolumeReformatter::mountAttributes(target.mountOptions)));
    if (!mount)
        return failure("fsmount");
    if (::move_mount(mount.get(), "", folder, "", MOVE_MOUNT_F_EMPTY_PATH | MOVE_MOUNT_T_EMPTY_PATH) != 0)
        return failure("move_mount");
    return {};
}

} // namespace

VolumeReformatter::VolumeReformatter(std::vector<std::string> toolSearchPath, StageHook stageHook)
    : m_toolSearchPath(std::move(toolSearchPath)), m_stageHook(std::move(stageHook))
{}

Expected<MountEntry, HelperError> VolumeReformatter::findTarget(const std::string& mountPoint,
                                                                std::uint64_t mountId,
                                                                const std::vector<MountEntry>& mounts)
{
    const auto found = std::find_if(mounts.begin(), mounts.end(),
                                    [mountId](const MountEntry& entry) { return entry.mountId == mountId; });
    if (found == mounts.end() || found->mountPoint != mountPoint)
        return HelperError::invalidArgument(mountPoint + " is not a mount point");
    if (found->root != "/")
        return HelperError::invalidArgument(mountPoint + " is a bind mount of the folder " + found->root +
                                            ", not a whole volume");
    for (const auto& entry : mounts) {
        if (entry.mountId == found->mountId)
            continue;
        if (entry.mountId == found->parentId && entry.mountPoint == mountPoint)
            return HelperError::invalidArgument(mountPoint + " is mounted over another file system there");
        if (entry.device == found->device)
            return HelperError::invalidArgument("The file system at " + mountPoint + " is also mounted at " +
                                                entry.mountPoint);
        if (entry.mountPoint.size() > mountPoint.size() && entry.mountPoint.rfind(mountPoint + "/", 0) == 0)
            return HelperError::invalidArgument(entry.mountPoint + " is mounted inside " + mountPoint);
    }
    if (!mkfsCommand(found->fsType, "", found->source))
        return HelperError::invalidArgument("Reformatting a file system of type " + found->fsType +
                                            " is not supported");
    return *found;
}

std::optional<VolumeReformatter::MkfsCommand>
VolumeReformatter::mkfsCommand(const std::string& fsType, const std::string& label, const std::string& device)
{
    MkfsCommand command;
    std::vector<std::string> labelOption;
    if (fsType == "ext2" || fsType == "ext3" || fsType == "ext4") {
        command.program = "mkfs." + fsType;
        command.arguments = {"-F", "-q"};
        labelOption = {"-L", label};
    } else if (fsType == "vfat" || fsType == "exfat") {
        command.program = "mkfs." + fsType;
        // mkfs.fat refuses a whole disk without -I; the volume had its file system right there.
        command.arguments = fsType == "vfat" ? std::vector<std::string>{"-I"} : std::vector<std::string>{};
        labelOption = {fsType == "vfat" ? "-n" : "-L", label};
    } else if (fsType == "ntfs" || fsType == "ntfs3") {
        // Quick: without -Q mkfs.ntfs writes zeros over the whole device first.
        command.program = "mkfs.ntfs";
        command.arguments = {"-Q", "-F"};
        labelOption = {"-L", label};
    } else if (fsType == "xfs" || fsType == "btrfs") {
        command.program = "mkfs." + fsType;
        command.arguments = {"-f"};
        labelOption = {"-L", label};
    } else if (fsType == "f2fs") {
        command.program = "mkfs.f2fs";
        command.arguments = {"-f"};
        labelOption = {"-l", label};
    } else {
        return std::nullopt;
    }
    if (!label.empty())
        command.arguments.insert(command.arguments.end(), labelOption.begin(), labelOption.end());
    command.arguments.push_back(device);
    return command;
}

unsigned VolumeReformatter::mountAttributes(std::string_view mountOptions)
{
    unsigned attributes = 0;
    for (const auto option : splitOptions(mountOptions)) {
        if (option == "ro")
            attributes |= MOUNT_ATTR_RDONLY;
        else if (option == "nosuid")
            attributes |= MOUNT_ATTR_NOSUID;
        else if (option == "nodev")
            attributes |= MOUNT_ATTR_NODEV;
        else if (option == "noexec")
            attributes |= MOUNT_ATTR_NOEXEC;
        else if (option == "noatime")
            attributes = (attributes & ~MOUNT_ATTR__ATIME) | MOUNT_ATTR_NOATIME;
        else if (option == "strictatime")
            attributes = (attributes & ~MOUNT_ATTR__ATIME) | MOUNT_ATTR_STRICTATIME;
        else if (option == "nodiratime")
            attributes |= MOUNT_ATTR_NODIRATIME;
    }
    return attributes;
}

std::vector<VolumeReformatter::FileSystemOption>
VolumeReformatter::fileSystemOptions(std::string_view superOptions)
{
    std::vector<FileSystemOption> options;
    for (const auto option : splitOptions(superOptions)) {
        if (option == "rw")
            continue;
        const std::size_t equals = option.find('=');
        if (equals == std::string_view::npos)
            options.emplace_back(std::string(option), std::nullopt);
        else
            options.emplace_back(std::string(option.substr(0, equals)),
                                 std::string(option.substr(equals + 1)));
    }
    return options;
}

HelperResult VolumeReformatter::reformatVolumeAt(const std::string& mountPath,
                                                 const ConfirmedVolume& confirmed) const
{
    stage("answered");
    std::lock_guard lock(reformatMutex());
    return run(mountPath, confirmed, false, nullptr);
}

HelperResult VolumeReformatter::checkVolumeAt(const std::string& mountPath,
                                              const std::optional<ConfirmedVolume>& confirmed,
                                              Description* description) const
{
    return run(mountPath, confirmed, true, description);
}

// The volume as checked before anything changes: the folder that holds its mount point (resolved
// once, link-free) and its name there, its mount, its device held open, and the mkfs to run.
struct VolumeReformatter::Volume
{
    std::string mountPoint;
    UniqueFd parent;
    std::string name;
    std::uint64_t parentMountId = 0;
    std::vector<MountEntry> mounts;
    MountEntry target;
    std::string device;
    // Held open across the unmount: a loop device set to clear itself would otherwise go away with
    // its last user, and mkfs would find no device.
    UniqueFd holder;
    struct stat held = {};
    std::optional<std::uint64_t> sequence;
    std::string label;
    MkfsCommand command;
    std::string mkfs;
};

HelperResult VolumeReformatter::run(const std::string& mountPath,
                                    const std::optional<ConfirmedVolume>& confirmed, bool checkOnly,
                                    Description* description) const
{
    Volume volume;
    if (auto located = locateMount(mountPath, volume); !located)
        return located;
    if (auto held = holdDevice(volume); !held)
        return held;
    if (auto found = findMkfs(volume); !found)
        return found;
    if (confirmed) {
        if (auto same = checkConfirmed(volume, *confirmed); !same)
            return same;
    }
    if (description) {
        std::uint64_t size = 0;
        if (::ioctl(volume.holder.get(), kGetSize64, &size) != 0)
            size = 0;
        *description = Description{volume.label, volume.device, size};
    }
    if (checkOnly)
        return {};
    return replaceFileSystem(volume);
}

HelperResult VolumeReformatter::checkConfirmed(const Volume& volume, const ConfirmedVolume& confirmed) const
{
    ConfirmedVolume found;
    found.device = volume.held.st_rdev;
    found.diskSequence = volume.sequence.value_or(0);
    found.label = volume.label;
    if (!confirmed.uuid.empty()) {
        const auto blkid = ToolRunner::find("blkid", m_toolSearchPath);
        if (!blkid)
            return HelperError::toolMissing("blkid is not installed; the UUID of " + volume.device +
                                            " cannot be read");
        // blkid fails when the file system has no UUID: then it is not the confirmed one.
        const auto probe =
            ToolRunner::run(*blkid, {"-p", "-o", "value", "-s", "UUID", volume.device}, kBlkidTimeoutSeconds);
        found.uuid = probe.succeeded() ? trimNewlines(probe.out) : std::string();
    }
    // Without a UUID to compare the label stands for the file system; a caller that could read
    // neither is held to the device and its medium.
    ConfirmedVolume asked = confirmed;
    if (asked.uuid.empty() && asked.label.empty())
        asked.label = found.label;
    if (const std::string difference = asked.differenceFrom(found); !difference.empty())
        return HelperError::invalidArgument("Refusing to reformat " + volume.mountPoint +
                                            ": it is not the volume that was confirmed (" + difference +
                                            "); nothing was formatted");
    return {};
}

HelperResult VolumeReformatter::locateMount(const std::string& mountPath, Volume& volume)
{
    if (const auto checked = ArgumentCheck::checkPath(mountPath); !checked)
        return HelperError::invalidArgument(checked.error());
    const std::string mountPoint = ArgumentCheck::normalized(mountPath);
    volume.mountPoint = mountPoint;
    if (auto checked = ReformatPolicy::checkPlace(mountPoint); !checked)
        return checked;

    // The folder that holds the mount point, resolved once and without links; everything after
    // goes through it.
    auto opened = FileOperations::openParent(mountPoint);
    if (!opened)
        return Unexpected(opened.error());
    volume.parent = std::move(opened->folder);
    volume.name = opened->name;
    UniqueFd top(opened->missing ? -1
                                 : ::openat(volume.parent.get(), volume.name.c_str(),
                                            O_PATH | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC));
    const auto mountId = top ? MountedDevice::mountId(top.get()) : std::nullopt;
    top.reset(); // it would keep the volume busy
    const auto parentMountId = MountedDevice::mountId(volume.parent.get());
    if (!mountId || !parentMountId)
        return HelperError::invalidArgument(mountPoint + " is not a mount point");
    volume.parentMountId = *parentMountId;
    auto mounts = MountTable::readCurrent();
    if (!mounts)
        return HelperError::failed("Cannot read the table of mounted file systems");
    volume.mounts = std::move(*mounts);
    auto found = findTarget(mountPoint, *mountId, volume.mounts);
    if (!found)
        return Unexpected(found.error());
    volume.target = std::move(*found);
    if (volume.target.parentId != *parentMountId)
        return HelperError::invalidArgument(mountPoint + " is not a mount point");
    return {};
}

HelperResult VolumeReformatter::holdDevice(Volume& volume)
{
    const MountEntry& target = volume.target;
    const auto device = MountedDevice::blockDevice(target);
    if (!device)
        return HelperError::invalidArgument(target.mountPoint + " is not on a block device (" +
                                            target.fsType + " " + target.source + ")");
    volume.device = *device;
    volume.holder = UniqueFd(::open(device->c_str(), O_RDONLY | O_CLOEXEC));
    if (!volume.holder || ::fstat(volume.holder.get(), &volume.held) != 0 || !S_ISBLK(volume.held.st_mode))
        return HelperError::failed("Cannot open the device " + *device + ": " + std::strerror(errno));
    if (auto checked = ReformatPolicy::checkDisks(
            volume.mountPoint, volume.held.st_rdev,
            ReformatPolicy::systemDevices(volume.mounts, readText("/proc/swaps")), "/sys");
        !checked)
        return checked;
    volume.sequence = MountedDevice::diskSequence(volume.holder.get());
    return {};
}

HelperResult VolumeReformatter::findMkfs(Volume& volume) const
{
    const std::string& device = volume.device;
    const auto blkid = ToolRunner::find("blkid", m_toolSearchPath);
    if (!blkid)
        return HelperError::toolMissing("blkid is not installed; the label of " + device + " cannot be read");
    const auto probe =
        ToolRunner::run(*blkid, {"-p", "-o", "value", "-s", "LABEL", device}, kBlkidTimeoutSeconds);
    if (!probe.succeeded())
        return HelperError::failed("Cannot read the label of " + device + " (" + probe.describeFailure() +
                                   ")");
    volume.label = trimNewlines(probe.out);
    // findTarget() accepted only types whose mkfs is known.
    volume.command = *mkfsCommand(volume.target.fsType, volume.label, device);
    const auto mkfs = ToolRunner::find(volume.command.program, m_toolSearchPath);
    if (!mkfs)
        return HelperError::toolMissing(volume.command.program + " is not installed; " +
                                        volume.target.mountPoint + " cannot be reformatted");
    volume.mkfs = *mkfs;
    return {};
}

Expected<UniqueFd, HelperError> VolumeReformatter::unmount(const Volume& volume)
{
    const MountEntry& target = volume.target;
    // Through the folder resolved above: the path may lead elsewhere by now. A mount point cannot
    // be renamed while mounted, so the name in that folder is still the volume.
    const std::string throughParent =
        "/proc/self/fd/" + std::to_string(volume.parent.get()) + "/" + volume.name;
    if (::umount2(throughParent.c_str(), UMOUNT_NOFOLLOW) != 0)
        return HelperError::failed("Cannot unmount " + target.mountPoint + ": " + std::strerror(errno));
    // The folder the volume was mounted on, to mount it again there and nowhere else. Something
    // still mounted there means the unmount took another file system stacked over the volume.
    UniqueFd folder(
        ::openat(volume.parent.get(), volume.name.c_str(), O_PATH | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC));
    if (!folder || MountedDevice::mountId(folder.get()) != volume.parentMountId)
        return HelperError::failed("Another file system was mounted over " + target.mountPoint +
                                   "; it was unmounted, and nothing was formatted");
    return folder;
}

// Why the volume, unmounted, was not formatted after all, and whether it is mounted again.
Unexpected<HelperError> VolumeReformatter::mountBack(const Volume& volume, int folder,
                                                     const std::string& problem)
{
    const auto again = mountOnto(folder, volume.target, volume.device);
    return HelperError::failed(problem + (!again ? "; " + volume.target.mountPoint + " is left unmounted (" +
                                                       again.error().message + ")"
                                                 : "; nothing was formatted, and the volume was mounted "
                                                   "again at its folder"));
}

// Nothing is formatted when the device is not free or the path or the device is no longer what
// was checked.
HelperResult VolumeReformatter::checkUnmounted(const Volume& volume, int folder) const
{
    const MountEntry& target = volume.target;
    const std::string& device = volume.device;
    // The device itself must be free now: an exclusive open fails while it is mounted anywhere.
    {
        const UniqueFd exclusive(::open(device.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC));
        if (!exclusive)
            return mountBack(volume, folder,
                             device + " is still in use after unmounting " + target.mountPoint + ": " +
                                 std::strerror(errno));
    }

    stage("unmounted");
    if (!MountedDevice::stillLeadsTo(volume.mountPoint, volume.parent.get(), folder))
        return mountBack(volume, folder,
                         "The path " + target.mountPoint + " changed while it was being reformatted");
    struct stat deviceNow = {};
    if (::stat(device.c_str(), &deviceNow) != 0 || !S_ISBLK(deviceNow.st_mode) ||
        deviceNow.st_rdev != volume.held.st_rdev ||
        MountedDevice::diskSequence(volume.holder.get()) != volume.sequence)
        return mountBack(volume, folder,
                         "The device " + device + " changed while " + target.mountPoint +
                             " was being reformatted");
    return {};
}

HelperResult VolumeReformatter::replaceFileSystem(const Volume& volume) const
{
    const MountEntry& target = volume.target;
    const std::string& device = volume.device;
    stage("resolved");
    logMessage("Reformatting ", target.mountPoint, " (", target.fsType, " on ", device, ", label \"",
               volume.label, "\")");
    const auto folder = unmount(volume);
    if (!folder)
        return Unexpected(folder.error());
    if (auto checked = checkUnmounted(volume, folder->get()); !checked)
        return checked;

    const auto made = ToolRunner::run(volume.mkfs, volume.command.arguments, kMkfsTimeoutSeconds);
    if (!made.succeeded()) {
        // The old file system is usually intact when mkfs fails; give it back to its users.
        const auto again = mountOnto(folder->get(), target, device);
        return HelperError::failed(volume.command.program + " failed on " + device + " (" +
                                   made.describeFailure() + ")" +
                                   (!again ? "; " + target.mountPoint + " is left unmounted"
                                           : "; the old file system was mounted again"));
    }
    if (const auto mounted = mountOnto(folder->get(), target, device); !mounted)
        return HelperError::failed("The new file system on " + device +
                                   " could not be mounted: " + mounted.error().message);
    logMessage("Reformatted ", target.mountPoint);
    return {};
}

void VolumeReformatter::stage(std::string_view name) const
{
    if (m_stageHook)
        m_stageHook(name);
}

} // namespace cv
