// How long a deletion report takes to render and save, and how much memory the application and
// the web engine's processes take meanwhile, for histories of the given sizes.
//
//   bench_report [FILES...]          (default: 1000 10000)
//
// For each size it builds a finished job's result with that many files (paths of about 70 bytes,
// every 50th file failed), then saves the report as HTML and as a single-page PDF into a temporary
// folder, the way the application does after a job, and prints one line per format: seconds from
// the start of template filling to the saved file, the file's size and page size, and the peak
// proportional set size (PSS) of this process and all its descendants (the renderer program with
// the web engine's zygote and renderers), sampled every 10 ms.
#include "reports/PdfPageFitter.h"
#include "reports/ReportBuilder.h"
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Sums the PSS (kB) of pid and every process below it.
long treePssKb(pid_t root)
{
    std::map<pid_t, pid_t> parents;
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok)
            continue;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // The parent is the second field after the command, which is in parentheses.
        const auto close = line.rfind(')');
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        parents[pid] = parent;
    }
    long total = 0;
    for (const auto& [pid, parent] : parents) {
        pid_t up = pid;
        while (up > 1 && up != root)
            up = parents.count(up) ? parents[up] : 0;
        if (up != root)
            continue;
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string key;
        long value = 0;
        std::string unit;
        std::string line;
        while (std::getline(rollup, line)) {
            std::istringstream fields(line);
            if (fields >> key >> value >> unit && key == "Pss:") {
                total += value;
                break;
            }
        }
    }
    return total;
}

std::shared_ptr<cv::ShredResult> makeResult(std::size_t files)
{
    auto result = std::make_shared<cv::ShredResult>();
    result->end = result->start + std::chrono::minutes(42);
    result->algorithm = std::make_shared<cv::Algorithm>(17, 3, "DoD 5220.22-M E (3 passes)", "");
    result->options = std::make_shared<cv::ShredOptions>();
    result->paths = std::make_shared<cv::PathCollection>();
    result->paths->setPaths({"/home/user/Documents/archive"});
    for (std::size_t i = 1; i <= files; ++i) {
        cv::ShredItem item;
        item.path = "/home/user/Documents/archive/project-" + std::to_string(i % 97) + "/reports/quarterly_" +
                    std::to_string(i) + ".xlsx";
        item.fileSize = static_cast<std::int64_t>(1000 + (i * 7919) % 5000000);
        item.success = i % 50 != 0;
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

void run(cv::SettingsManager& settings, const QString& folder, std::size_t files, const QString& format)
{
    std::atomic<bool> sampling = true;
    std::atomic<long> peak = treePssKb(::getpid());
    std::thread sampler([&] {
        while (sampling) {
            peak = std::max(peak.load(), treePssKb(::getpid()));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    cv::ReportBuilder builder(settings);
    builder.setReportFolder(folder);
    builder.setReportFormat(format);
    QEventLoop loop;
    QString saved;
    QObject::connect(&builder, &cv::ReportBuilder::finished, &loop, [&](const QString& path) {
        saved = path;
        loop.quit();
    });
    const auto result = makeResult(files);
    QElapsedTimer timer;
    timer.start();
    builder.createReportWithShredResult(result);
    loop.exec();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    sampling = false;
    sampler.join();

    QFile file(saved);
    const qint64 size = file.size();
    QString page = u"-"_s;
    if (format == u"PDF"_s && file.open(QIODevice::ReadOnly)) {
        const auto pageSize = cv::PdfPageFitter::pageSize(file.readAll());
        if (pageSize)
            page = QString::number(pageSize->width(), 'f', 0) + u" x "_s +
                   QString::number(pageSize->height(), 'f', 0) + u" pt"_s;
    }
    std::printf("%8zu files  %-4s  %7.2f s  %9.1f kB  page %-18s  peak PSS %7.1f MB%s\n", files,
                qPrintable(format), seconds, static_cast<double>(size) / 1000.0, qPrintable(page),
                static_cast<double>(peak.load()) / 1024.0, saved.isEmpty() ? "  (NOT SAVED)" : "");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("CINDERVAULT_RENDERER"))
        qputenv("CINDERVAULT_RENDERER", CINDERVAULT_BENCH_RENDERER);
    QCoreApplication app(argc, argv);

    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty())
        sizes = {1000, 10000};

    QTemporaryDir folder;
    cv::SettingsManager settings(folder.filePath(u"settings.ini"_s));
    // Warm the renderer up once (its program and libraries in the page cache), so that its first
    // start is not booked to the first size.
    run(settings, folder.filePath(u"warm-up"_s), 10, u"PDF"_s);
    std::printf("--\n");
    for (const std::size_t files : sizes) {
        run(settings, folder.filePath(u"reports"_s), files, u"HTML"_s);
        run(settings, folder.filePath(u"reports"_s), files, u"PDF"_s);
    }
    if (qEnvironmentVariableIsSet("BENCH_REPORT_KEEP"))
        QDir(folder.path()).rename(u"reports"_s, qEnvironmentVariable("BENCH_REPORT_KEEP"));
    return 0;
}
