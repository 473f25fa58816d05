// Makes the deletion report of a synthetic finished job, for bench/bench_report, which measures the
// time and the memory of this process and of the renderer processes below it.
//
//   bench_make_report FILES HTML|PDF FOLDER
//
// The job has FILES files (paths of about 70 bytes, every 50th file failed); the report is saved
// into FOLDER the way the application saves it after a job. Prints the seconds from the start of
// template filling to the saved file and the saved file's path; exit status 1 when no report was
// saved (the reason on standard error).
#include "reports/PdfReportSignature.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportSettings.h"
#include "reports/ReportSigningKey.h"
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// The name bench/bench_report looks for in the PDF's text.
std::string fileName(std::size_t i)
{
    return "/home/user/Documents/archive/project-" + std::to_string(i % 97) + "/reports/quarterly_" +
           std::to_string(i) + ".xlsx";
}

std::shared_ptr<cv::ShredResult> makeResult(std::size_t files)
{
    auto result = std::make_shared<cv::ShredResult>();
    result->end = result->start + std::chrono::minutes(42);
    result->algorithm = std::make_shared<cv::Algorithm>(17, 3, "DoD 5220.22-M E (3 passes)", "");
    result->options = std::make_shared<cv::ShredOptions>();
    result->paths = std::make_shared<cv::PathCollection>();
    result->paths->setPaths({"/home/user/Documents/archive"});
    result->history.reserve(files);
    for (std::size_t i = 1; i <= files; ++i) {
        cv::ShredItem item;
        item.path = fileName(i);
        item.fileSize = static_cast<std::int64_t>(1000 + (i * 7919) % 5000000);
        item.success = i % 50 != 0;
        item.state = item.success ? cv::ShredItem::State::Deleted : cv::ShredItem::State::NotOverwritten;
        if (!item.success)
            item.error = "Failed to open file";
        result->history.push_back(item);
        result->bytesCountTotal += item.fileSize;
    }
    result->fileCountTotal = files;
    result->fileCountFinished = files;
    result->errorCount = files / 50;
    result->bytesCountFinished = result->bytesCountTotal;
    return result;
}

// What signing adds to a PDF report: the seconds to sign the unsigned report with a key made
// beforehand (the builder loads it once per report).
void printSigningTime(const QString& path, const QString& keyFolder)
{
    QFile file(path);
    const auto key = cv::ReportSigningKey::loadOrCreate(keyFolder, u"Bench"_s, QString());
    if (!file.open(QIODevice::ReadOnly) || !key)
        return;
    const QByteArray pdf = file.readAll();
    QElapsedTimer timer;
    timer.start();
    const auto signedPdf = cv::PdfReportSignature::sign(pdf, *key, u"bench"_s, u"bench"_s);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (signedPdf)
        std::printf("signing: %.3f s\n", seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: bench_make_report FILES HTML|PDF FOLDER\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("CINDERVAULT_RENDERER"))
        qputenv("CINDERVAULT_RENDERER", CINDERVAULT_BENCH_RENDERER);
    QCoreApplication app(argc, argv);
    const auto result = makeResult(std::stoul(argv[1]));

    QTemporaryDir settingsFolder;
    cv::SettingsManager settings(settingsFolder.filePath(u"settings.ini"_s));
    cv::ReportOptions options = cv::ReportSettings::options(settings);
    options.folder = QString::fromLocal8Bit(argv[3]);
    options.format = QString::fromLatin1(argv[2]).toUpper();
    // Signed with a key of the run's own, never the user's; BENCH_UNSIGNED=1 leaves the report
    // unsigned, to tell what signing costs.
    options.signingKeyFolder =
        qEnvironmentVariableIsSet("BENCH_UNSIGNED") ? QString() : settingsFolder.filePath(u"signing"_s);
    cv::ReportBuilder builder;
    QEventLoop loop;
    QObject::connect(&builder, &cv::ReportBuilder::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    builder.createReportWithShredResult(result, options);
    loop.exec();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const cv::ReportOutcome& outcome = builder.outcome();
    if (outcome.state != cv::ReportOutcome::State::Saved) {
        std::fprintf(stderr, "no report saved: %s\n", qPrintable(outcome.failure));
        return 1;
    }
    if (!options.signingKeyFolder.isEmpty() && !outcome.isSigned)
        std::fprintf(stderr, "report not signed: %s\n", qPrintable(outcome.unsignedReason));
    std::printf("%.2f %s\n", seconds, qPrintable(outcome.path));
    if (options.signingKeyFolder.isEmpty() && options.format == u"PDF"_s)
        printSigningTime(outcome.path, settingsFolder.filePath(u"signing"_s));
    return 0;
}
