#include "job/VolumeReformat.h"

#include "common/Localization.h"
#include "common/Log.h"
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

void VolumeReformat::abandon(Wait& wait)
{
    std::lock_guard lock(wait.mutex);
    wait.abandoned = true;
    wait.done.notify_all();
}

void VolumeReformat::setPending(std::shared_ptr<Wait> wait)
{
    m_context.progress.update([&](JobProgress::Counters&) { m_pending = std::move(wait); });
}

void VolumeReformat::waitForReformat(const std::string& mountPath)
{
    if (!m_context.environment.helperTool) {
        logMessage("Cannot reformat ", mountPath, ": the privileged helper is not available");
        m_context.addFailure(ShredItem::Kind::Step, mountPath, "Reformatting failed",
                             localized("the privileged helper is not available"));
        return;
    }
    auto wait = std::make_shared<Wait>();
    setPending(wait);
    // A cancel that came before the wait was registered has found nothing to wake.
    if (m_context.isCancelled())
        wait->abandoned = true;
    askHelper(mountPath, wait);
    Expected<void, std::string> outcome;
    const bool answered = awaitReply(*wait, outcome);
    setPending(nullptr);
    report(mountPath, answered, outcome);
}

void VolumeReformat::askHelper(const std::string& mountPath, const std::shared_ptr<Wait>& wait)
{
    m_context.environment.helperTool->reformatVolumeAt(
        mountPath,
        [wait](Expected<void, std::string> outcome) {
            std::lock_guard lock(wait->mutex);
            wait->answered = true;
            wait->outcome = std::move(outcome);
            wait->done.notify_all();
        },
        [wait]() {
            std::lock_guard lock(wait->mutex);
            wait->askingUser = true;
            wait->done.notify_all();
        });
}

bool VolumeReformat::awaitReply(Wait& wait, Expected<void, std::string>& outcome)
{
    // Reformatting takes as long as it takes, and the helper's connection answers with an error
    // rather than never. A cancel ends the wait, though the helper finishes its work: the thread
    // that delivers the reply may be the very one waiting for this job to end.
    bool answered = false;
    bool waitingShown = false;
    {
        std::unique_lock lock(wait.mutex);
        while (!wait.answered && !wait.abandoned) {
            // While the user is asked for the password, the job says so.
            if (wait.askingUser && !waitingShown) {
                waitingShown = true;
                lock.unlock();
                m_context.progress.setWaitingForAuthorization(true);
                lock.lock();
                continue;
            }
            wait.done.wait(lock);
        }
        answered = wait.answered;
        outcome = wait.outcome;
    }
    if (waitingShown)
        m_context.progress.setWaitingForAuthorization(false);
    return answered;
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
