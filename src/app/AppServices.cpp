#include "app/AppServices.h"

#include "app/ReportKeeper.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"
#include "system/HelperToolService.h"
#include "system/LogindSleepInhibitor.h"

#include <QCoreApplication>
#include <QPointer>

namespace cv {

AppServices& AppServices::shared()
{
    static AppServices services;
    return services;
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
    // SEAM: the report window (print, save as PDF) replaces this when it lands; until then the
    // saved report opens in the desktop's viewer.
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
    services.installHelperIfNeeded = [&helper] { helper.installIfNeeded(); };
    services.helperTool = &helper;
    services.deleteSnapshots = [&helper](std::function<void()> reply) {
        // The outcome is not shown: a failed removal ends like a successful one (it is logged).
        helper.deleteSnapshotsWithReply([reply = std::move(reply)](Expected<void, std::string> outcome) {
            if (!outcome)
                logMessage("Snapshot removal failed: ", outcome.error());
            reply();
        });
    };
    services.showNotification = [](std::shared_ptr<ShredResult> result) {
        if (result)
            NotificationManager::sharedManager().showNotificationFromResult(*result);
    };
    services.makeSleepInhibitor = [] { return std::make_unique<LogindSleepInhibitor>(); };
    wireReports(services);
}

} // namespace cv
