#include "job/VolumeReformat.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "engine/HelperWait.h"
#include "job/JobProgress.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"

namespace cv {

namespace {

// The check asks nobody for anything: the helper answers at once, or is not there to answer.
constexpr std::chrono::seconds kCheckTimeout{60};

} // namespace

bool VolumeReformat::checkBeforeStart()
{
    bool allowed = true;
    for (const auto& path : m_targets.paths()) {
        if (m_settings.isCancelled())
            return false;
        if (!m_settings.isVolume(path))
            continue;
        if (const auto refusal = refusalOf(path)) {
            logMessage("Complete erase of ", path, " refused before it started: ", *refusal);
            m_result.addFailure(ShredItem::Kind::Step, path, "Reformatting failed", *refusal);
            allowed = false;
        }
    }
    return allowed;
}

std::optional<std::string> VolumeReformat::refusalOf(const std::string& mountPath)
{
    const VolumeProbe& probe = m_settings.environment().volumeProbe;
    const auto identity = probe.identify ? probe.identify(mountPath) : std::nullopt;
    if (!identity)
        return localized("the volume is not on a device that can be reformatted");
    m_confirmedVolumes[mountPath] = *identity;
    HelperToolClient* helper = m_settings.environment().helperTool;
    if (!helper)
        return localized("the privileged helper is not available");
    HelperWait wait;
    helper->checkReformatVolumeAt(mountPath, wait.reply());
    const HelperWait::End end = wait.wait(kCheckTimeout, [this] { return m_settings.isCancelled(); });
    if (end == HelperWait::End::Cancelled)
        return localized("Canceled");
    if (end == HelperWait::End::TimedOut) {
        helper->withdrawCalls();
        return localized("the privileged helper is not available");
    }
    if (!wait.outcome())
        return wait.outcome().error();
    return std::nullopt;
}

void VolumeReformat::formatVolumes()
{
    for (const auto& path : m_targets.paths()) {
        if (m_settings.isCancelled())
            break;
        if (!m_settings.isVolume(path))
            continue;
        logLine("Format Volume");
        m_progress.setCurPath(path + " - " + localized("Formatting"));
        m_progress.sendState();
        waitForReformat(path);
    }
}

void VolumeReformat::waitForReformat(const std::string& mountPath)
{
    if (!m_settings.environment().helperTool) {
        logMessage("Cannot reformat ", mountPath, ": the privileged helper is not available");
        m_result.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed",
                            localized("the privileged helper is not available"));
        return;
    }
    const auto confirmed = m_confirmedVolumes.find(mountPath);
    if (confirmed == m_confirmedVolumes.end()) {
        logMessage("Cannot reformat ", mountPath, ": it was not a volume on a device when the job started");
        m_result.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed",
                            localized("the volume is not on a device that can be reformatted"));
        return;
    }
    HelperWait wait;
    m_settings.environment().helperTool->reformatVolumeAt(mountPath, confirmed->second, wait.reply(),
                                                          wait.askingUser());
    // Reformatting takes as long as it takes, and the helper's connection answers with an error
    // rather than never. A cancel ends the wait, though the helper finishes its work: the thread
    // that delivers the reply may be the very one waiting for this job to end. While the user is
    // asked for the password, the job says so.
    const HelperWait::End end = wait.wait(
        HelperWait::kNoTimeout, [this] { return m_settings.isCancelled(); },
        [this](bool waiting) { m_progress.setWaitingForAuthorization(waiting); });
    report(mountPath, end == HelperWait::End::Answered, wait.outcome());
}

void VolumeReformat::report(const std::string& mountPath, bool answered,
                            const Expected<void, std::string>& outcome)
{
    if (!answered) {
        // Given up on: a reformat the helper has not begun (its user not yet asked, say) never
        // begins later.
        m_settings.environment().helperTool->withdrawCalls();
        logMessage("Format Volume still running, no longer waited for: ", mountPath);
    } else if (!outcome) {
        logMessage("Format Volume failed: ", mountPath, " -> ", outcome.error());
        m_result.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed", outcome.error());
    } else {
        logMessage("Format Volume done: ", mountPath);
    }
}

} // namespace cv
