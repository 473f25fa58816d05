#include "cli/ReportOutput.h"

#include "cli/CliApplication.h"

#include "reports/ReportBuilder.h"
#include "reports/ReportSettings.h"
#include "settings/SettingsManager.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace cv::cli {

namespace {

// The report options the settings hold, with the folder and format the command line names in
// their place (a relative folder is taken from the working folder).
ReportOptions optionsFor(const SettingsManager& settings, const ReportCliOptions& cliOptions)
{
    ReportOptions options = ReportSettings::options(settings);
    if (cliOptions.reportDir)
        options.folder =
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(*cliOptions.reportDir))).absoluteFilePath();
    if (cliOptions.reportFormat)
        options.format = QString::fromStdString(*cliOptions.reportFormat);
    return options;
}

} // namespace

Expected<std::string, std::string> saveReportForCli(const ShredResult& result,
                                                    const ReportCliOptions& options)
{
    SettingsManager& settings = SettingsManager::sharedManager();
    if (!settings.shouldAutoSaveReports())
        return Unexpected(std::string("automatic saving of reports is off in the settings"));
    CliApplication::ensure();
    CliApplication::releaseAtExit();

    ReportBuilder builder;
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&builder, &ReportBuilder::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    // The builder only reads the result, and only until finished: it may borrow it.
    builder.createReportWithShredResult(std::shared_ptr<const ShredResult>(std::shared_ptr<void>(), &result),
                                        optionsFor(settings, options));
    if (!finished)
        loop.exec();
    const ReportOutcome& outcome = builder.outcome();
    if (outcome.state != ReportOutcome::State::Saved)
        return Unexpected(outcome.failure.isEmpty() ? std::string("the report could not be saved")
                                                    : outcome.failure.toStdString());
    // Saved all the same, but the proof is weaker: the user hears why.
    if (!outcome.isSigned)
        std::fprintf(stderr, "Report not signed: %s\n", outcome.unsignedReason.toUtf8().constData());
    return QFile::encodeName(outcome.path).toStdString();
}

} // namespace cv::cli
