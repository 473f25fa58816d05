#pragma once

#include "helper/HelperError.h"
#include "helper/MountTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// Reformats a mounted volume the way a disk utility does: finds its device, file-system type and
// label, unmounts it, makes a new file system of the same type with the same label on the same
// device and mounts it again at the same mount point. Everything that can be checked is checked
// before the unmount, so a refusal leaves the volume as it was. One reformat runs at a time.
class VolumeReformatter
{
public:
    struct MkfsCommand
    {
        std::string program; // mkfs.<type>
        std::vector<std::string> arguments;
    };

    explicit VolumeReformatter(std::vector<std::string> toolSearchPath);

    HelperOutcome reformatVolumeAt(const std::string& mountPath) const;

    // The mount to reformat at mountPath among mounts, or the reason for refusing: the startup
    // volume "/" or another volume of the system (/boot, /boot/efi, /usr, /var, /home, ...), a path that is
    // not a mount point, a bind mount of a folder, a device mounted at a second place too, a volume with
    // other mounts inside, or a type without a known mkfs.
    static HelperOutcome findTarget(const std::string& mountPath, const std::vector<MountEntry>& mounts,
                                    MountEntry& target);
    // How to make a new file system of fsType on device, non-interactively, keeping label (an empty
    // label gives none). Nothing for types whose mkfs is not known.
    static std::optional<MkfsCommand> mkfsCommand(const std::string& fsType, const std::string& label,
                                                  const std::string& device);
    // mount(2) flags of a mountinfo per-mount option list ("rw,nosuid,relatime").
    static unsigned long mountFlags(std::string_view mountOptions);
    // The file-system options to mount with again: the super options without rw/ro, which the
    // flags carry.
    static std::string mountData(std::string_view superOptions);

private:
    std::vector<std::string> m_toolSearchPath;
};

} // namespace cv
