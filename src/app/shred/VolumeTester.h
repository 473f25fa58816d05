#pragma once

#include <functional>
#include <string>

namespace cv {

// The two questions the shred screen asks about a path: is it the mount point of a volume, and is
// it the startup volume "/". By default the mount table answers; tests answer for folders of their
// own, so that no real volume is ever selected.
struct VolumeTester
{
    std::function<bool(const std::string& path)> isVolume;
    std::function<bool(const std::string& path)> isHdd;

    static VolumeTester system();
};

} // namespace cv
