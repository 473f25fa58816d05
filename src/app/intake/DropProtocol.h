#pragma once

#include <string>
#include <vector>

namespace cv {

// What takes dropped locations: the shred screen, for its drop zone and for the file intake.
class DropProtocol
{
public:
    virtual ~DropProtocol() = default;
    // Paths as bytes, in the order they came.
    virtual void droppedLocations(const std::vector<std::string>& paths) = 0;
    virtual void startDragging() = 0;
    virtual void stopDragging() = 0;
};

} // namespace cv
