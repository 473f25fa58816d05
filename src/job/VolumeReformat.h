#pragma once

#include "common/ConfirmedVolume.h"
#include "common/Expected.h"

#include <map>
#include <optional>
#include <string>

namespace cv {

class JobProgress;
class JobResultBuilder;
class JobSettings;
class JobTargets;

// The complete erase's first check and last step: has the privileged helper reformat each target
// volume, the one the user confirmed, and waits for its reply until a cancel ends the wait.
class VolumeReformat
{
public:
    VolumeReformat(const JobSettings& settings, const JobTargets& targets, JobProgress& progress,
                   JobResultBuilder& result)
        : m_settings(settings), m_targets(targets), m_progress(progress), m_result(result)
    {}

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

    const JobSettings& m_settings;
    const JobTargets& m_targets;
    JobProgress& m_progress;
    JobResultBuilder& m_result;
    // The volumes as checkBeforeStart() found them, the ones the user confirmed: the helper
    // reformats each only while it is still that volume.
    std::map<std::string, ConfirmedVolume> m_confirmedVolumes;
};

} // namespace cv
