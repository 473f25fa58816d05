#pragma once

#include "engine/Algorithm.h"

#include <memory>

namespace cv {

class SettingsManager;

// The overwrite method the user keeps as default (the Deletion pane's choice), read the one way
// that the window's screens, the Deletion pane and the command line share.
class DefaultMethod
{
public:
    // The method the stored default names, when it names one that writes: null while the key is
    // absent or holds the placeholder (0), a negative number, an identifier no method has, or
    // something that is not a number. Each caller then does what it does without a default.
    static std::shared_ptr<Algorithm> read(const SettingsManager& settings);
};

} // namespace cv
