#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace cv {

class HelperToolClient;
class SleepInhibitor;
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
    // Keeps the machine awake during a job; null when there is none.
    SleepInhibitor* sleepInhibitor = nullptr;
    // Removes the local snapshots; reply is called once, on any thread (the error is not shown).
    std::function<void(std::function<void()> reply)> deleteSnapshots;
    // Builds (and, with automatic saving on, saves) the deletion report of a finished job.
    std::function<void(std::shared_ptr<ShredResult> result)> createReport;
    // Opens the report window for a job's result.
    std::function<void(std::shared_ptr<ShredResult> result, QWidget* parent)> showReport;
    // Raises the desktop notification for a finished (or cancelled) job.
    std::function<void(std::shared_ptr<ShredResult> result)> showNotification;

    static AppServices& shared();
};

// Fills AppServices::shared() with the real services this build has.
void wireServices();

} // namespace cv
