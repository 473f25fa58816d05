#pragma once

#include <string>

namespace cv {

// Keeps the machine from idle sleep while a job runs. The window and the command line supply one
// backed by systemd-logind; a job without one, or whose inhibitor fails, logs it and goes on.
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;
    // Holds the machine awake until release(); false when no inhibition could be had.
    virtual bool acquire(const std::string& who, const std::string& why) = 0;
    virtual void release() = 0;
};

} // namespace cv
