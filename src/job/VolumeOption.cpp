#include "job/VolumeOption.h"

namespace cv {

namespace {
// The keys the options record and the previous screen's record carry.
constexpr const char* kFreeSpace = "freespace";
constexpr const char* kDeleteFiles = "delete";
constexpr const char* kCompleteErase = "complete";
} // namespace

std::string volumeOptionKey(VolumeOption option)
{
    switch (option) {
    case VolumeOption::FreeSpace:
        return kFreeSpace;
    case VolumeOption::DeleteFiles:
        return kDeleteFiles;
    case VolumeOption::CompleteErase:
        return kCompleteErase;
    case VolumeOption::None:
        break;
    }
    return {};
}

VolumeOption volumeOptionFromKey(const std::string& key)
{
    if (key == kFreeSpace)
        return VolumeOption::FreeSpace;
    if (key == kDeleteFiles)
        return VolumeOption::DeleteFiles;
    if (key == kCompleteErase)
        return VolumeOption::CompleteErase;
    return VolumeOption::None;
}

} // namespace cv
