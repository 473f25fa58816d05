#include "helper/VolumeReformatter.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "helper/ArgumentCheck.h"
#include "helper/ToolRunner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr int kBlkidTimeoutSeconds = 60;
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

// The device node of a mount: its source when that is the block device the kernel names, else the
// node sysfs names for the device number. A file system on an anonymous device (major 0, as btrfs
// has) is accepted on its source when that is a block device.
std::optional<std::string> blockDevice(const MountEntry& entry)
{
    const dev_t wanted = makedev(entry.major, entry.minor);
    struct stat info = {};
    if (!entry.source.empty() && entry.source.front() == '/' && ::stat(entry.source.c_str(), &info) == 0 &&
        S_ISBLK(info.st_mode) && (info.st_rdev == wanted || entry.major == 0))
        return entry.source;
    std::ifstream uevent("/sys/dev/block/" + std::to_string(entry.major) + ":" + std::to_string(entry.minor) +
                         "/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.rfind("DEVNAME=", 0) != 0)
            continue;
        const std::string node = "/dev/" + line.substr(8);
        if (::stat(node.c_str(), &info) == 0 && S_ISBLK(info.st_mode) && info.st_rdev == wanted)
            return node;
    }
    return std::nullopt;
}

// Whether mountPoint holds part of the running system: where it boots from, keeps its programs and
// state, or its users' homes. Such a volume is never reformatted, whatever the caller asks; a misplaced
// click on the boot partition would leave the machine unable to start.
bool isSystemMountPoint(const std::string& mountPoint)
{
    // Below these the system keeps its own things only.
    for (const std::string_view tree : {"/boot", "/efi", "/usr"}) {
        if (mountPoint == tree || (mountPoint.size() > tree.size() && mountPoint.rfind(tree, 0) == 0 &&
                                   mountPoint[tree.size()] == '/'))
            return true;
    }
    for (const std::string_view folder :
         {"/var", "/var/lib", "/var/log", "/home", "/opt", "/srv", "/root", "/etc", "/tmp"}) {
        if (mountPoint == folder)
            return true;
    }
    return false;
}

std::string trimNewlines(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

VolumeReformatter::VolumeReformatter(std::vector<std::string> toolSearchPath)
    : m_toolSearchPath(std::move(toolSearchPath))
{}

HelperOutcome VolumeReformatter::findTarget(const std::string& mountPath,
                                            const std::vector<MountEntry>& mounts, MountEntry& target)
{
    if (auto refusal = ArgumentCheck::checkPath(mountPath))
        return HelperError::invalidArgument(*refusal);
    const std::string mountPoint = ArgumentCheck::normalized(mountPath);
    if (mountPoint == "/")
        return HelperError::invalidArgument("Refusing to reformat the startup volume /");
    if (isSystemMountPoint(mountPoint))
        return HelperError::invalidArgument("Refusing to reformat " + mountPoint +
                                            ", a volume the system runs from");

    const MountEntry* found = nullptr;
    for (const auto& entry : mounts) {
        if (entry.mountPoint == mountPoint)
            found = &entry; // the last one is the mount on top
    }
    if (!found)
        return HelperError::invalidArgument(mountPoint + " is not a mount point");
    if (found->root != "/")
        return HelperError::invalidArgument(mountPoint + " is a bind mount of the folder " + found->root +
                                            ", not a whole volume");
    for (const auto& entry : mounts) {
        if (&entry == found)
            continue;
        if (entry.major == found->major && entry.minor == found->minor)
            return HelperError::invalidArgument("The file system at " + mountPoint + " is also mounted at " +
                                                entry.mountPoint);
        if (entry.mountPoint.size() > mountPoint.size() && entry.mountPoint.rfind(mountPoint + "/", 0) == 0)
            return HelperError::invalidArgument(entry.mountPoint + " is mounted inside " + mountPoint);
    }
    if (!mkfsCommand(found->fsType, "", found->source))
        return HelperError::invalidArgument("Reformatting a file system of type " + found->fsType +
                                            " is not supported");
    target = *found;
    return std::nullopt;
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

unsigned long VolumeReformatter::mountFlags(std::string_view mountOptions)
{
    unsigned long flags = 0;
    for (const auto option : splitOptions(mountOptions)) {
        if (option == "ro")
            flags |= MS_RDONLY;
        else if (option == "nosuid")
            flags |= MS_NOSUID;
        else if (option == "nodev")
            flags |= MS_NODEV;
        else if (option == "noexec")
            flags |= MS_NOEXEC;
        else if (option == "sync")
            flags |= MS_SYNCHRONOUS;
        else if (option == "dirsync")
            flags |= MS_DIRSYNC;
        else if (option == "noatime")
            flags |= MS_NOATIME;
        else if (option == "nodiratime")
            flags |= MS_NODIRATIME;
        else if (option == "relatime")
            flags |= MS_RELATIME;
        else if (option == "strictatime")
            flags |= MS_STRICTATIME;
    }
    return flags;
}

std::string VolumeReformatter::mountData(std::string_view superOptions)
{
    std::string data;
    for (const auto option : splitOptions(superOptions)) {
        if (option == "rw" || option == "ro")
            continue;
        if (!data.empty())
            data += ',';
        data += option;
    }
    return data;
}

HelperOutcome VolumeReformatter::reformatVolumeAt(const std::string& mountPath) const
{
    std::lock_guard lock(reformatMutex());
    const auto mounts = MountTable::readCurrent();
    if (!mounts)
        return HelperError::failed("Cannot read the table of mounted file systems");
    MountEntry target;
    if (auto refusal = findTarget(mountPath, *mounts, target))
        return refusal;
    const auto device = blockDevice(target);
    if (!device)
        return HelperError::invalidArgument(target.mountPoint + " is not on a block device (" +
                                            target.fsType + " " + target.source + ")");

    const auto blkid = ToolRunner::find("blkid", m_toolSearchPath);
    if (!blkid)
        return HelperError::toolMissing("blkid is not installed; the label of " + *device +
                                        " cannot be read");
    const auto probe =
        ToolRunner::run(*blkid, {"-p", "-o", "value", "-s", "LABEL", *device}, kBlkidTimeoutSeconds);
    if (!probe.succeeded())
        return HelperError::failed("Cannot read the label of " + *device + " (" + probe.describeFailure() +
                                   ")");
    const std::string label = trimNewlines(probe.out);
    const auto command = mkfsCommand(target.fsType, label, *device);
    const auto mkfs = ToolRunner::find(command->program, m_toolSearchPath);
    if (!mkfs)
        return HelperError::toolMissing(command->program + " is not installed; " + target.mountPoint +
                                        " cannot be reformatted");

    // Held open across the unmount: a loop device set to clear itself would otherwise go away
    // with its last user, and mkfs would find no device.
    UniqueFd holder(::open(device->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat held = {};
    if (!holder || ::fstat(holder.get(), &held) != 0 || !S_ISBLK(held.st_mode))
        return HelperError::failed("Cannot open the device " + *device + ": " + std::strerror(errno));

    const unsigned long flags = mountFlags(target.mountOptions);
    const std::string data = mountData(target.superOptions);
    const auto mountAgain = [&](const std::string& withData) {
        return ::mount(device->c_str(), target.mountPoint.c_str(), target.fsType.c_str(), flags,
                       withData.empty() ? nullptr : withData.c_str()) == 0 ||
               ::mount(device->c_str(), target.mountPoint.c_str(), target.fsType.c_str(), flags, nullptr) ==
                   0;
    };

    logMessage("Reformatting ", target.mountPoint, " (", target.fsType, " on ", *device, ", label \"", label,
               "\")");
    if (::umount2(target.mountPoint.c_str(), UMOUNT_NOFOLLOW) != 0)
        return HelperError::failed("Cannot unmount " + target.mountPoint + ": " + std::strerror(errno));
    // The device itself must be free now: an exclusive open fails while it is mounted anywhere,
    // for instance when the mount point's path was swapped for another since it was checked.
    {
        UniqueFd exclusive(::open(device->c_str(), O_RDONLY | O_EXCL | O_CLOEXEC));
        if (!exclusive) {
            const int error = errno;
            mountAgain(data);
            return HelperError::failed(*device + " is still in use after unmounting " + target.mountPoint +
                                       ": " + std::strerror(error));
        }
    }

    const auto made = ToolRunner::run(*mkfs, command->arguments, kMkfsTimeoutSeconds);
    if (!made.succeeded()) {
        // The old file system is usually intact when mkfs fails; give it back to its users.
        const bool remounted = mountAgain(data);
        return HelperError::failed(command->program + " failed on " + *device + " (" +
                                   made.describeFailure() + ")" +
                                   (remounted ? "; the old file system was mounted again"
                                              : "; " + target.mountPoint + " is left unmounted"));
    }
    if (!mountAgain(data))
        return HelperError::failed("The new file system on " + *device + " could not be mounted at " +
                                   target.mountPoint + ": " + std::strerror(errno));
    logMessage("Reformatted ", target.mountPoint);
    return std::nullopt;
}

} // namespace cv
