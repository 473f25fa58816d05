#pragma once

#include "common/Expected.h"

#include <string>

namespace cv {

class JobContext;

// The complete erase's last step: has the privileged helper reformat each target volume, and waits
// for its reply until a cancel ends the wait.
class VolumeReformat
{
public:
    explicit VolumeReformat(JobContext& context) : m_context(context) {}

    void formatVolumes();

private:
    void waitForReformat(const std::string& mountPath);
    void report(const std::string& mountPath, bool answered, const Expected<void, std::string>& outcome);

    JobContext& m_context;
};

} // namespace cv
