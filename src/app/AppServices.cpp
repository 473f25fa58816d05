#include "app/AppServices.h"

#include "app/ReportKeeper.h"
#include "app/dialogs/HelperInstallDialog.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "job/JobEnvironment.h"
#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"
#include "settings/SupportMessageSender.h"
#include "system/HelperToolService.h"
#include "system/LogindSleepInhibitor.h"
#include "updates/UpdateScheduler.h"

#include <QCoreApplication>
#include <QPointer>

namespace cv {

AppServices& AppServices::shared()
{
    static AppServices services;
    return services;
}

JobEnvironment AppServices::jobEnvironment() const
{
    JobEnvironment environment;
    environment.helperTool = helperTool;
    if (makeSleepInhibitor)
        environment.sleepInhibitor = makeSleepInhibitor();
    environment.homeFolder = JobEnvironment::userHomeFolder();
    environment.niceness = JobEnvironment::kBackgroundNiceness;
    environment.background = true;
    return environment;
}

ReportKeeper& sharedReportKeeper()
{
    static QPointer<ReportKeeper> keeper;
    if (!keeper)
        keeper = new ReportKeeper(SettingsManager::sharedManager(), QCoreApplication::instance());
    return *keeper;
}

void wireReports(AppServices& services)
{
    services.createReport = [](std::shared_ptr<ShredResult> result,
                               std::function<void(const ReportOutcome&)> done) {
        sharedReportKeeper().createReport(std::move(result), std::move(done));
    };
    // The report window: the job's report made afresh, to print or save as PDF.
    services.showReport = [](std::shared_ptr<ShredResult> result, QWidget* parent) {
        sharedReportKeeper().showReport(result, parent);
    };
}

void releaseReportBuilders()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (QCoreApplication::instance())
        sharedReportKeeper().releaseBuilders();
}

void wireServices()
{
    AppServices& services = AppServices::shared();
    HelperToolService& helper = HelperToolService::sharedInstance();
    // A build asks in the window before it installs its helper as root.
    helper.setInstallQuestion(&HelperInstallDialog::ask);
    services.installHelperIfNeeded = [&helper] { helper.installIfNeeded(); };
    services.helperTool = &helper;
    services.deleteSnapshots = [&helper](std::function<void(std::optional<std::string>)> reply,
                                         std::function<void()> asking) {
        // A failed removal is logged and named; it fails the job's step.
        helper.deleteSnapshotsWithReply(
            [reply = std::move(reply)](Expected<void, std::string> outcome) {
                if (!outcome) {
                    logMessage("Snapshot removal failed: ", outcome.error());
                    reply(outcome.error());
                } else {
                    reply(std::nullopt);
                }
            },
            std::move(asking));
    };
    services.showNotification = [](std::shared_ptr<ShredResult> result) {
        if (result)
            NotificationManager::sharedManager().showNotificationFromResult(*result);
    };
    services.makeSleepInhibitor = [] { return std::make_unique<LogindSleepInhibitor>(); };
    wireReports(services);

    // Update checks run from start-up as the settings say (a newer version brings "New version available"
    // when the user asked for it); both services live as long as the application object.
    services.notifications = &NotificationManager::sharedManager();
    auto* scheduler = new UpdateScheduler(SettingsManager::sharedManager(), *services.notifications,
                                          QCoreApplication::instance());
    scheduler->start();
    services.updateScheduler = scheduler;
    services.supportSender = new SupportMessageSender(QCoreApplication::instance());
}

} // namespace cv
