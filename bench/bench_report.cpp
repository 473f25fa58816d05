// How long a deletion report takes to make and save, and how much memory the application and the
// web engine's processes take meanwhile, for histories of the given sizes: the HTML report and,
// beside it in the same run, the PDF.
//
//   bench_report [FILES...]          (default: 1000 10000 100000 250000)
//
// For each size it builds a finished job's result with that many files (paths of about 70 bytes,
// every 50th file failed), then saves the report as HTML and as PDF into a temporary folder, the
// way the application does after a job, and prints one line per format:
//   - seconds from the start of template filling to the saved file;
//   - the file's size; for the PDF its page count and the width and greatest height of its pages;
//   - memory of this process and all its descendants (the renderer program with the web engine's
//     zygote and renderers): "peak RSS" is the sum of every process's own peak resident set
//     (VmHWM, reset at the start of each report), an upper bound of what they held at once; "peak
//     PSS" the greatest sum of their proportional set sizes (shared pages divided among the
//     processes that share them), sampled every 50 ms;
//   - for the PDF, how many of the file names pdftotext finds in it (a name that wraps in its
//     table cell is looked for without the line break).
// The load average is printed before and after: the machine is shared.
#include "reports/ReportBuilder.h"
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// pid and every process below it.
std::vector<pid_t> processTree(pid_t root)
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
    std::vector<pid_t> tree;
    for (const auto& [pid, parent] : parents) {
        pid_t up = pid;
        while (up > 1 && up != root)
            up = parents.count(up) ? parents[up] : 0;
        if (up == root)
            tree.push_back(pid);
    }
    return tree;
}

// The value in kB of a "Key:  value kB" line of a /proc file; 0 when absent.
long procValueKb(const std::string& path, const std::string& key)
{
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    }
    return 0;
}

// Samples the memory of this process's tree until stopped.
class MemorySampler
{
public:
    MemorySampler()
    {
        // Peak resident sets count from now on.
        std::ofstream("/proc/self/clear_refs") << "5";
        m_thread = std::thread([this] {
            while (!m_stop) {
                sample();
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    ~MemorySampler() { stop(); }

    void stop()
    {
        if (m_stop.exchange(true))
            return;
        m_thread.join();
        sample();
    }
    double peakRssMb() const
    {
        long total = 0;
        for (const auto& [pid, kb] : m_peakRss)
            total += kb;
        return static_cast<double>(total) / 1024.0;
    }
    double peakPssMb() const { return static_cast<double>(m_peakPss) / 1024.0; }

private:
    void sample()
    {
        long pss = 0;
        for (const pid_t pid : processTree(::getpid())) {
            const std::string folder = "/proc/" + std::to_string(pid);
            const long hwm = procValueKb(folder + "/status", "VmHWM:");
            // A pid seen before with a higher peak was another process: keep each one's peak.
            m_peakRss[pid] = std::max(m_peakRss[pid], hwm);
            pss += procValueKb(folder + "/smaps_rollup", "Pss:");
        }
        m_peakPss = std::max(m_peakPss, pss);
    }

    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::map<pid_t, long> m_peakRss;
    long m_peakPss = 0;
};

std::string fileName(std::size_t i)
{
    return "/home/user/Documents/archive/project-" + std::to_string(i % 97) + "/reports/quarterly_" +
           std::to_string(i) + ".xlsx";
}

std::shared_ptr<cv::ShredResult> makeResult(std::size_t files)
{
    auto result = std::make_shared<cv::ShredResult>();
    result->end = result->start + std::chrono::minutes(42);
    result->algorigthm = std::make_shared<cv::Algorithm>(17, 3, "DoD 5220.22-M E (3 passes)", "");
    result->options = std::make_shared<cv::ShredOptions>();
    result->paths = std::make_shared<cv::PathCollection>();
    result->paths->setPaths({"/home/user/Documents/archive"});
    result->history.reserve(files);
    for (std::size_t i = 1; i <= files; ++i) {
        cv::ShredItem item;
        item.path = fileName(i);
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

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// "N pages, W x H pt" with the greatest page height, from pdfinfo.
QString pageText(const QString& path)
{
    const QString info = run(u"pdfinfo"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"100000"_s, path});
    const auto pages =
        QRegularExpression(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption).match(info);
    double width = 0;
    double height = 0;
    auto sizes = QRegularExpression(u"size:\\s+([\\d.]+) x ([\\d.]+) pts"_s).globalMatch(info);
    while (sizes.hasNext()) {
        const auto size = sizes.next();
        width = std::max(width, size.captured(1).toDouble());
        height = std::max(height, size.captured(2).toDouble());
    }
    return u"%1 p. %2 x %3 pt"_s.arg(pages.captured(1)).arg(width, 0, 'f', 0).arg(height, 0, 'f', 0);
}

// How many of the first `files` file names pdftotext finds in the PDF.
std::size_t namesFound(const QString& path, std::size_t files)
{
    QString text = run(u"pdftotext"_s, {path, u"-"_s});
    text.remove(QRegularExpression(u"\\s"_s));
    std::set<std::string> found;
    auto names =
        QRegularExpression(u"/home/user/Documents/archive/project-\\d+/reports/quarterly_\\d+\\.xlsx"_s)
            .globalMatch(text);
    while (names.hasNext())
        found.insert(names.next().captured().toStdString());
    std::size_t count = 0;
    for (std::size_t i = 1; i <= files; ++i)
        count += found.count(fileName(i));
    return count;
}

void report(cv::SettingsManager& settings, const QString& folder, std::size_t files, const QString& format,
            bool quiet = false)
{
    const auto result = makeResult(files);
    cv::ReportBuilder builder(settings);
    builder.setReportFolder(folder);
    builder.setReportFormat(format);
    QEventLoop loop;
    QString saved;
    QObject::connect(&builder, &cv::ReportBuilder::finished, &loop, [&](const QString& path) {
        saved = path;
        loop.quit();
    });
    MemorySampler memory;
    QElapsedTimer timer;
    timer.start();
    builder.createReportWithShredResult(result);
    loop.exec();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    memory.stop();
    if (quiet)
        return;

    const qint64 size = QFile(saved).size();
    QString pages = u"-"_s;
    QString names = u"-"_s;
    if (format == u"PDF"_s && !saved.isEmpty()) {
        pages = pageText(saved);
        names = u"%1/%2"_s.arg(namesFound(saved, files)).arg(files);
    }
    std::printf(
        "%7zu files  %-4s  %7.2f s  %9.1f kB  %-24s  peak RSS %7.1f MB  peak PSS %7.1f MB  names %s%s\n",
        files, qPrintable(format), seconds, static_cast<double>(size) / 1000.0, qPrintable(pages),
        memory.peakRssMb(), memory.peakPssMb(), qPrintable(names), saved.isEmpty() ? "  (NOT SAVED)" : "");
    std::fflush(stdout);
}

void printLoad(const char* when)
{
    std::ifstream load("/proc/loadavg");
    std::string line;
    std::getline(load, line);
    std::printf("load average %s: %s\n", when, line.c_str());
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
        sizes = {1000, 10000, 100000, 250000};

    QTemporaryDir folder;
    cv::SettingsManager settings(folder.filePath(u"settings.ini"_s));
    // Warm the renderer up once (its program and libraries in the page cache), so that its first
    // start is not booked to the first size.
    report(settings, folder.filePath(u"warm-up"_s), 10, u"PDF"_s, true);
    printLoad("before");
    for (const std::size_t files : sizes) {
        report(settings, folder.filePath(u"reports"_s), files, u"HTML"_s);
        report(settings, folder.filePath(u"reports"_s), files, u"PDF"_s);
    }
    printLoad("after");
    if (qEnvironmentVariableIsSet("BENCH_REPORT_KEEP"))
        QDir(folder.path()).rename(u"reports"_s, qEnvironmentVariable("BENCH_REPORT_KEEP"));
    return 0;
}
