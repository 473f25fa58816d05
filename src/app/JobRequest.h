#pragma once

#include "engine/Algorithm.h"
#include "engine/ShredOptions.h"
#include "targets/PathCollection.h"

#include <memory>

namespace cv {

// What a screen hands to the window when the user starts a job: the targets, the overwrite method
// (a real one, with passes) and the options record, and the screen the user returns to afterwards.
struct JobRequest
{
    enum class ReturnTo
    {
        ShredScreen,
        FreeSpaceScreen,
        TemporaryDataScreen,
    };

    std::shared_ptr<PathCollection> pathCollection;
    std::shared_ptr<Algorithm> algorithm;
    std::shared_ptr<ShredOptions> shredOptions;
    ReturnTo returnTo = ReturnTo::ShredScreen;
};

} // namespace cv
