#pragma once

#include <string>

namespace cv {

// What happens to a volume among the locations of a shred job: the window's volume sheet and the
// command line's --volume choose it.
enum class VolumeOption
{
    None,          // not chosen yet
    FreeSpace,     // wipe its free space only; its files stay
    DeleteFiles,   // shred every file on it; the volume stays
    CompleteErase, // wipe its free space, shred its files and format it afresh
};

// The option's key in the options record and on the command line ("freespace", "delete",
// "complete"; empty for none); the next shred screen after a job is opened with it.
std::string volumeOptionKey(VolumeOption option);
// The option a key names; None for any other text.
VolumeOption volumeOptionFromKey(const std::string& key);

} // namespace cv
