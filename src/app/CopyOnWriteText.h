#pragma once

#include "targets/TargetVolume.h"

#include <QString>

#include <vector>

namespace cv {

// What overwriting in place cannot reach on copy-on-write volumes and volumes with snapshots, as
// the shred and temporary-data screens warn about it: one line per fact.
class CopyOnWriteText
{
public:
    // shortened: long mount points keep their start and end, for a text that wraps on screen.
    static QString forVolumes(const std::vector<TargetVolume>& volumes, bool shortened = false);
    // A path shown inside a wrapped text: a long one keeps its start and its end, so that no word
    // wider than the screen pushes the layout apart.
    static QString shortenedPath(const QString& path);
};

} // namespace cv
