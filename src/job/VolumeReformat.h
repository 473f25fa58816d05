#pragma once

#include "common/Expected.h"

#include <optional>
#include <string>

namespace cv {

class JobContext;

// The complete erase's last step: has the privileged helper reformat each target volume, and waits
// for its reply until a cancel ends the wait.
class VolumeReformat
{
public:
    explicit VolumeReformat(JobContext& context) : m_context(context) {}

    // Before anything is done: takes down each target volume as the user confirmed it, and asks
    // the helper (no question, no password) whether it would reformat it. False when the job must
    // not start: each volume the helper would refuse, or could never reformat, fails with the reason.
    bool checkBeforeStart();
    void formatVolumes();

private:
    // Why the helper would not reformat the volume at mountPath, or nothing when it would.
    std::optional<std::string> refusalOf(const std::string& mountPath);

    void waitForReformat(const std::string& mountPath);
    void report(const std::string& mountPath, bool answered, const Expected<void, std::string>& outcome);

    JobContext& m_context;
};

} // namespace cv
