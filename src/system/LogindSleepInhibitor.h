#pragma once

#include "common/UniqueFd.h"
#include "job/SleepInhibitor.h"

namespace cv {

// Keeps the machine from idle sleep and suspend through systemd-logind: Inhibit("idle:sleep") on
// the system bus returns a descriptor that holds the inhibition until it is closed. Plain sd-bus,
// so the command line and the window share it. Without logind or a system bus, acquire() fails
// and says why in the log; the job goes on.
class LogindSleepInhibitor : public SleepInhibitor
{
public:
    LogindSleepInhibitor() = default;
    ~LogindSleepInhibitor() override = default;

    bool acquire(const std::string& who, const std::string& why) override;
    void release() override;
    bool held() const { return m_lock.valid(); }

private:
    UniqueFd m_lock;
};

} // namespace cv
