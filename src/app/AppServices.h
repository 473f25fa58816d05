#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace cv {

class HelperToolClient;
class NotificationManager;
class ReportKeeper;
class SleepInhibitor;
class SupportMessageSender;
class UpdateScheduler;
struct JobEnvironment;
struct ReportOutcome;
struct ShredResult;

// The window's links to services of other subsystems that the screens call: the privileged
// helper, the sleep inhibitor, the report builder and window, the notification manager. main()
// wires them once (wireServices); tests put stand-ins in. A hook left empty means the service is
// not available: the screens then go on without it (and log that), as they do when the real
// service fails.
struct AppServices
{
    // Installs or updates the privileged helper; must return at once (it never blocks start-up).
    std::function<void()> installHelperIfNeeded;
    // What a job asks the helper for; null when there is no helper.
    HelperToolClient* helperTool = nullptr;
    // Makes what keeps the machine awake during one job; empty when there is none.
    std::function<std::unique_ptr<SleepInhibitor>()> makeSleepInhibitor;
    // Removes the local snapshots; reply is called once, on any thread, with why they were not
    // removed (no snapshot tool configured, say) or nothing. The progress screen shows the reason;
    // it never fails the job.
    // asking: called (on any thread) when the user is asked to authorize the removal.
    std::function<void(std::function<void(std::optional<std::string> error)> reply,
                       std::function<void()> asking)>
        deleteSnapshots;
    // Builds (and, with automatic saving on, saves) the deletion report of a finished job; done
    // (may be empty) hears once, on the GUI thread, what became of it.
    std::function<void(std::shared_ptr<ShredResult> result, std::function<void(const ReportOutcome&)> done)>
        createReport;
    // Opens the report of a job's result, or tells the user on parent why it cannot.
    std::function<void(std::shared_ptr<ShredResult> result, QWidget* parent)> showReport;
    // Raises the desktop notification for a finished (or cancelled) job.
    std::function<void(std::shared_ptr<ShredResult> result)> showNotification;

    // What the settings window's panes work with; null where there is none.
    NotificationManager* notifications = nullptr;
    UpdateScheduler* updateScheduler = nullptr;
    SupportMessageSender* supportSender = nullptr;

    // What a job of the window works with: the helper, a sleep inhibitor of its own, the
    // user's home folder, and a thread in the background, so that the desktop stays responsive
    // while the job writes.
    JobEnvironment jobEnvironment() const;

    static AppServices& shared();
};

// Fills AppServices::shared() with the real services this build has.
void wireServices();
// Sets the report hooks of services to the shared ReportKeeper: reports are made (and saved, as
// the settings say) in the language the settings hold when each is made; showReport opens the
// report window for that result, or says why there is no report.
void wireReports(AppServices& services);
// The ReportKeeper the report hooks use (made on first use, owned by the application object).
ReportKeeper& sharedReportKeeper();
// Stops reports that are still being made (their renderers are killed), before the application
// object goes. main() calls it after the event loop.
void releaseReportBuilders();

} // namespace cv
