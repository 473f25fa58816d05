#include "app/AppServices.h"

#include "common/Log.h"
#include "engine/ShredResult.h"
#include "reports/ReportBuilder.h"
#include "settings/NotificationManager.h"
#include "system/HelperToolService.h"
#include "system/LogindSleepInhibitor.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QUrl>

namespace cv {

AppServices& AppServices::shared()
{
    static AppServices services;
    return services;
}

namespace {

// The report made last, for showReport.
struct LastReport
{
    std::weak_ptr<const ShredResult> result;
    QPointer<ReportBuilder> builder; // while it is still at work
    QString savedPath;
};

LastReport& lastReport()
{
    static LastReport report;
    return report;
}

} // namespace

void wireReports(AppServices& services)
{
    services.createReport = [](std::shared_ptr<ShredResult> result) {
        // Lives until it has finished; the application object owns it meanwhile.
        auto* builder = new ReportBuilder(QCoreApplication::instance());
        LastReport& last = lastReport();
        last = LastReport{result, builder, {}};
        QObject::connect(builder, &ReportBuilder::finished, builder, [builder](const QString& savedPath) {
            LastReport& report = lastReport();
            if (report.builder == builder)
                report.savedPath = savedPath;
            builder->deleteLater();
        });
        builder->createReportWithShredResult(result);
    };
    // SEAM: the report window (print, save as PDF) replaces this when it lands; until then the
    // saved report opens in the desktop's viewer.
    services.showReport = [](std::shared_ptr<ShredResult> result, QWidget*) {
        const LastReport& last = lastReport();
        if (!result || last.result.lock() != result) {
            logLine("No report was made for this job");
        } else if (last.builder) {
            logLine("The report is still being made");
        } else if (last.savedPath.isEmpty()) {
            logLine("The report was not saved (automatic saving is off)");
        } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(last.savedPath))) {
            logMessage("No viewer could open ", QFile::encodeName(last.savedPath).toStdString());
        }
    };
}

void releaseReportBuilders()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (QCoreApplication* application = QCoreApplication::instance()) {
        const auto builders = application->findChildren<ReportBuilder*>(Qt::FindDirectChildrenOnly);
        if (!builders.isEmpty())
            logLine("Leaving while a report is still being made; it is not saved");
        qDeleteAll(builders);
    }
}

void wireServices()
{
    AppServices& services = AppServices::shared();
    HelperToolService& helper = HelperToolService::sharedInstance();
    services.installHelperIfNeeded = [&helper] { helper.installIfNeeded(); };
    services.helperTool = &helper;
    services.deleteSnapshots = [&helper](std::function<void()> reply) {
        // The outcome is not shown: a failed removal ends like a successful one (it is logged).
        helper.deleteSnapshotsWithReply([reply = std::move(reply)](std::optional<std::string> error) {
            if (error)
                logMessage("Snapshot removal failed: ", *error);
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
