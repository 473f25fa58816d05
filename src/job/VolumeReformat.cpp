#include "job/VolumeReformat.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "engine/HelperWait.h"
#include "job/JobContext.h"

namespace cv {

void VolumeReformat::formatVolumes()
{
    for (const auto& path : m_context.pathCollection->paths()) {
        if (m_context.isCancelled())
            break;
        if (!m_context.isVolume(path))
            continue;
        logLine("Format Volume");
        m_context.progress.setCurPath(path + " - " + localized("Formatting"));
        m_context.progress.sendState();
        waitForReformat(path);
    }
}

void VolumeReformat::waitForReformat(const std::string& mountPath)
{
    if (!m_context.environment.helperTool) {
        logMessage("Cannot reformat ", mountPath, ": the privileged helper is not available");
        m_context.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed",
                             localized("the privileged helper is not available"));
        return;
    }
    HelperWait wait;
    m_context.environment.helperTool->reformatVolumeAt(mountPath, wait.reply(), wait.askingUser());
    // Reformatting takes as long as it takes, and the helper's connection answers with an error
    // rather than never. A cancel ends the wait, though the helper finishes its work: the thread
    // that delivers the reply may be the very one waiting for this job to end. While the user is
    // asked for the password, the job says so.
    const HelperWait::End end = wait.wait(
        HelperWait::kNoTimeout, [this] { return m_context.isCancelled(); },
        [this](bool waiting) { m_context.progress.setWaitingForAuthorization(waiting); });
    report(mountPath, end == HelperWait::End::Answered, wait.outcome());
}

void VolumeReformat::report(const std::string& mountPath, bool answered,
                            const Expected<void, std::string>& outcome)
{
    if (!answered) {
        // Given up on: a reformat the helper has not begun (its user not yet asked, say) never
        // begins later.
        m_context.environment.helperTool->withdrawCalls();
        logMessage("Format Volume still running, no longer waited for: ", mountPath);
    } else if (!outcome) {
        logMessage("Format Volume failed: ", mountPath, " -> ", outcome.error());
        m_context.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed", outcome.error());
    } else {
        logMessage("Format Volume done: ", mountPath);
    }
}

} // namespace cv
