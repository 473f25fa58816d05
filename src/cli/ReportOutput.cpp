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

std::optional<std::string> saveReportForCli(const ShredResult& result, const ReportCliOptions& options,
                                            std::string* whyNot)
{
    const auto fail = [whyNot](const std::string& reason) -> std::optional<std::string> {
        if (whyNot)
            *whyNot = reason;
        return std::nullopt;
    };
    if (result.canceled)
        return fail("no report is made for a cancelled job");
    SettingsManager& settings = SettingsManager::sharedManager();
    if (!settings.shouldAutoSaveReports())
        return fail("automatic saving of reports is off in the settings");
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
        return fail(builder.failure().isEmpty() ? "the report could not be saved"
                                                : builder.failure().toStdString());
    return QFile::encodeName(builder.savedPath()).toStdString();
}

} // namespace cv::cli
