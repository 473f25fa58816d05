#pragma once

#include <string>

namespace cv {

// What happens to a volume among the shred screen's locations.
enum class VolumeOption
{
    None,          // not chosen yet
    FreeSpace,     // wipe its free space only; its files stay
    DeleteFiles,   // shred every file on it; the volume stays
    CompleteErase, // wipe its free space, shred its files and format it afresh
};

// The option's key in the options record ("freespace", "delete", "complete"; empty for none), which
// the next shred screen after a job is opened with.
std::string volumeOptionKey(VolumeOption option);
// The option a key names; None for any other text.
VolumeOption volumeOptionFromKey(const std::string& key);

} // namespace cv
