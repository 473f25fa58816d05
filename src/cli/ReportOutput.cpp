#include "cli/ReportOutput.h"

#include "cli/CliApplication.h"

#include "reports/ReportBuilder.h"
#include "settings/SettingsManager.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <memory>

using namespace Qt::StringLiterals;

namespace cv::cli {

Expected<std::string, std::string> saveReportForCli(const ShredResult& result,
                                                    const ReportCliOptions& options)
{
    SettingsManager& settings = SettingsManager::sharedManager();
    if (!settings.shouldAutoSaveReports())
        return Unexpected(std::string("automatic saving of reports is off in the settings"));
    CliApplication::ensure();
    CliApplication::releaseAtExit();

    ReportBuilder builder(settings);
    if (options.reportDir)
        builder.setReportFolder(
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(*options.reportDir))).absoluteFilePath());
    if (options.reportFormat)
        builder.setReportFormat(QString::fromStdString(*options.reportFormat));

    QEventLoop loop;
    bool finished = false;
    QObject::connect(&builder, &ReportBuilder::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    // The builder only reads the result, and only until finished: it may borrow it.
    builder.createReportWithShredResult(std::shared_ptr<const ShredResult>(std::shared_ptr<void>(), &result));
    if (!finished)
        loop.exec();
    if (builder.outcome() != ReportBuilder::Outcome::Saved)
        return Unexpected(builder.failure().isEmpty() ? std::string("the report could not be saved")
                                                      : builder.failure().toStdString());
    return QFile::encodeName(builder.savedPath()).toStdString();
}

} // namespace cv::cli
