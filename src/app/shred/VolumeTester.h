#pragma once

#include <functional>
#include <string>

namespace cv {

// The questions the shred screen asks about a path: is it the mount point of a volume, is it the
// startup volume (the file system mounted at "/", under whatever mount point), and is it a volume
// the system runs from, of which only the free space may be wiped. By default the mount table
// answers; tests answer for folders of their own, so that no real volume is ever selected.
struct VolumeTester
{
    std::function<bool(const std::string& path)> isVolume;
    std::function<bool(const std::string& path)> isHdd;
    std::function<bool(const std::string& path)> isSystemVolume;

    static VolumeTester system();
};

} // namespace cv
