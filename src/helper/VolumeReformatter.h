#pragma once

#include "common/ConfirmedVolume.h"
#include "common/MountTable.h"
#include "common/UniqueFd.h"
#include "helper/HelperError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cv {

// Reformats a mounted volume the way a disk utility does: finds its device, file-system type and
// label, unmounts it, makes a new file system of the same type with the same label on the same
// device and mounts it again at the same mount point. Everything that can be checked is checked
// before the unmount, so a refusal leaves the volume as it was. One reformat runs at a time.
//
// The mount point's path is resolved once, link-free, to a descriptor of the folder that holds it;
// the unmount and the mount again go through that descriptor, so a component of the path swapped
// for a link meanwhile leads nowhere else. When the path or the device changed between the checks
// and mkfs, nothing is formatted: the old file system is mounted again where it was.
class VolumeReformatter
{
public:
    // Called with "answered" when a reformat begins (the user has answered its question),
    // "resolved" before the unmount and "unmounted" before mkfs; only tests set one, to change
    // the path, the mount or the device at those moments.
    using StageHook = std::function<void(std::string_view stage)>;

    struct MkfsCommand
    {
        std::string program; // mkfs.<type>
        std::vector<std::string> arguments;
    };
    // One file-system option to mount with: a key and its value, or a flag without one.
    using FileSystemOption = std::pair<std::string, std::optional<std::string>>;

    explicit VolumeReformatter(std::vector<std::string> toolSearchPath, StageHook stageHook = {});

    // What the user is told about the volume in the question of a reformat.
    struct Description
    {
        std::string label;
        std::string device;
        std::uint64_t size = 0;
    };

    // Reformats the volume at mountPath, only while it is still the confirmed one: the same block
    // device with the same medium and file system (checked after the question was answered).
    HelperResult reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed) const;
    // Refuses what reformatVolumeAt would refuse before it unmounts (the place, the disks, a
    // missing tool, and with confirmed another volume than that), changing nothing; waits for no
    // reformat under way. Fills description, when given, with what it found.
    HelperResult checkVolumeAt(const std::string& mountPath,
                               const std::optional<ConfirmedVolume>& confirmed = {},
                               Description* description = nullptr) const;

    // The mount to reformat: the one with mountId among mounts, which must be mounted at mountPoint
    // (normalized). Else the reason for refusing: a path that is not a mount point, a bind mount of
    // a folder, a file system mounted at a second place too or over another one, a volume with other
    // mounts inside, or a type without a known mkfs.
    static Expected<MountEntry, HelperError> findTarget(const std::string& mountPoint, std::uint64_t mountId,
                                                        const std::vector<MountEntry>& mounts);
    // How to make a new file system of fsType on device, non-interactively, keeping label (an empty
    // label gives none). Nothing for types whose mkfs is not known.
    static std::optional<MkfsCommand> mkfsCommand(const std::string& fsType, const std::string& label,
                                                  const std::string& device);
    // Mount attributes (MOUNT_ATTR_*) of a mountinfo per-mount option list ("rw,nosuid,relatime").
    static unsigned mountAttributes(std::string_view mountOptions);
    // The file-system options to mount with again: the super options of mountinfo but rw.
    static std::vector<FileSystemOption> fileSystemOptions(std::string_view superOptions);

private:
    struct Volume;

    // The reformat, or with checkOnly its checks alone.
    HelperResult run(const std::string& mountPath, const std::optional<ConfirmedVolume>& confirmed,
                     bool checkOnly, Description* description) const;
    // Refuses the volume when it is not the confirmed one.
    HelperResult checkConfirmed(const Volume& volume, const ConfirmedVolume& confirmed) const;
    // The checks before anything changes, each filling in what it found: the mount point and its
    // mount, the device (held open, and no disk the system needs), the label and mkfs.
    static HelperResult locateMount(const std::string& mountPath, Volume& volume);
    static HelperResult holdDevice(Volume& volume);
    HelperResult findMkfs(Volume& volume) const;
    // Unmount, the checks again, mkfs and the mount again at the same folder.
    HelperResult replaceFileSystem(const Volume& volume) const;
    // The folder the volume was mounted on, open (O_PATH), after the unmount.
    static Expected<UniqueFd, HelperError> unmount(const Volume& volume);
    HelperResult checkUnmounted(const Volume& volume, int folder) const;
    static Unexpected<HelperError> mountBack(const Volume& volume, int folder, const std::string& problem);
    void stage(std::string_view name) const;

    std::vector<std::string> m_toolSearchPath;
    StageHook m_stageHook;
};

} // namespace cv
