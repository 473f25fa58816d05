#include "cli/JobCommandSupport.h"

#include "cli/CliLog.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/JsonWriter.h"
#include "cli/QtParts.h"
#include "cli/ReportOutput.h"
#include "cli/StoredSettings.h"
#include "common/ByteCountFormatter.h"
#include "engine/AlgorithmCollection.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace cv::cli {

namespace {

// The method used when none is given and none is stored: one pass of random data.
constexpr std::uint64_t kFallbackMethod = 16;

std::string isoTime(ShredResult::Clock::time_point point)
{
    const std::time_t seconds = ShredResult::Clock::to_time_t(point);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

const char* statusTitle(ShredResult::Status status)
{
    switch (status) {
    case ShredResult::Status::Cancelled:
        return "Cancelled";
    case ShredResult::Status::Errors:
        return "Done with errors";
    case ShredResult::Status::Success:
        break;
    }
    return "Done";
}

const char* statusKey(ShredResult::Status status)
{
    switch (status) {
    case ShredResult::Status::Cancelled:
        return "cancelled";
    case ShredResult::Status::Errors:
        return "errors";
    case ShredResult::Status::Success:
        break;
    }
    return "success";
}

bool onTerminal()
{
    return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
}

} // namespace

Expected<std::shared_ptr<Algorithm>, std::string> JobCommandSupport::chooseMethod(const CommandLine& line)
{
    const AlgorithmCollection collection;
    if (const auto text = line.value("--method")) {
        const auto identifier = CommandLine::parseUnsigned(*text);
        const auto algorithm = identifier ? collection.findByIdentifier(*identifier) : nullptr;
        if (!algorithm || algorithm->cycles() == 0)
            return Unexpected("unknown method " + *text + " (see: cindervault-cli methods)");
        return algorithm;
    }
    // The window's default method, unless the store holds none or one this version does not know.
    if (const auto stored = StoredSettings::defaultMethod()) {
        const auto algorithm = collection.findByIdentifier(*stored);
        if (algorithm && algorithm->cycles() > 0)
            return algorithm;
    }
    return collection.findByIdentifier(kFallbackMethod);
}

bool JobCommandSupport::confirm(const CommandLine& line, const std::string& question)
{
    if (line.flag("--yes"))
        return true;
    if (!onTerminal()) {
        printError("not on a terminal: give --yes to confirm that the data is to be destroyed");
        return false;
    }
    std::fprintf(stderr, "%s\nThis cannot be undone. Type \"yes\" to go on: ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "yes" || answer == "y";
}

std::vector<std::string> JobCommandSupport::valueOptions()
{
    return {"--method", "--report-dir", "--report-format"};
}

std::vector<std::string> JobCommandSupport::flagOptions()
{
    return {"--json", "--yes", "--verbose", "--no-report", "--no-ask-password", "--verify"};
}

Expected<Verification, std::string> JobCommandSupport::chooseVerification(const CommandLine& line)
{
    if (!line.flag("--verify"))
        return Verification::Off;
    const std::string value = line.value("--verify").value_or("last");
    if (value == "last")
        return Verification::LastPass;
    if (value == "all")
        return Verification::AllPasses;
    return Unexpected(std::string("--verify takes last or all"));
}

Expected<void, std::string> JobCommandSupport::checkReportOptions(const CommandLine& line)
{
    const auto format = line.value("--report-format");
    if (format && !parseReportFormat(*format))
        return Unexpected(std::string("--report-format takes html or pdf"));
    if (line.flag("--no-report") && (format || line.value("--report-dir")))
        return Unexpected(std::string("--no-report cannot go with --report-dir or --report-format"));
    return {};
}

std::shared_ptr<ShredResult> JobCommandSupport::runJob(const CommandLine& line, FileShredder& job,
                                                       HelperAccess* helper)
{
    // From here to the end of the process SIGINT and SIGTERM are blocked, in this thread and in
    // every thread started from now on: during the job they are taken as its cancel (JobRunner);
    // once its files are gone, while its report is made and its result printed, they are left
    // pending, so that a finished job is never killed before it has said what it did and exits
    // with its own status.
    sigset_t deferred;
    sigemptyset(&deferred);
    sigaddset(&deferred, SIGINT);
    sigaddset(&deferred, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &deferred, nullptr);

    CliLog::setUp(line.flag("--verbose"));
    // Protected files of the selection and reformatting are root's work, done by the privileged
    // helper, as in the window.
    std::optional<HelperAccess> ownHelper;
    if (!helper) {
        const bool reformat = job.options() && job.options()->formatVolume;
        helper = &ownHelper.emplace(line, reformat);
        if (reformat && !helper->client())
            printError("the volume cannot be reformatted: " + helper->unavailable());
    }
    job.setEnvironment(JobRunner::environment(helper->client()));
    JobRunner runner(job, ::isatty(STDERR_FILENO) != 0);
    auto result = runner.run();
    // The helper may go when this returns: the job keeps nothing of it.
    job.setEnvironment({});
    return result;
}

Expected<std::string, std::string> JobCommandSupport::saveReport(const ShredResult& result,
                                                                 const ReportCliOptions& options)
{
    // The module with the report step is loaded only for a report that is really made. A cancelled
    // job has its report too: what it destroyed before the cancel needs its proof most.
    if (!StoredSettings::autoSaveReports())
        return Unexpected(std::string("automatic saving of reports is off in the settings"));
    const auto parts = QtParts::load();
    if (!parts)
        return Unexpected(parts.error());
    return (*parts)->saveReport(result, options);
}

int JobCommandSupport::finish(const CommandLine& line, const ShredResult& result, const KeptPaths& kept)
{
    ReportCliOptions reportOptions;
    reportOptions.reportDir = line.value("--report-dir");
    if (const auto format = line.value("--report-format"))
        reportOptions.reportFormat = parseReportFormat(*format);
    // Asked for none (scripts): none is made, and nothing is said about it.
    const bool skipped = line.flag("--no-report");
    std::optional<std::string> reportPath;
    if (!skipped) {
        const Expected<std::string, std::string> report = saveReport(result, reportOptions);
        if (report)
            reportPath = *report;
        else
            std::fprintf(stderr, "No report saved: %s\n", report.error().c_str());
    }

    if (line.flag("--json")) {
        printJson(result, reportPath, kept);
    } else {
        printSummary(result, kept);
        if (reportPath)
            std::printf("Report: %s\n", reportPath->c_str());
    }
    switch (result.status()) {
    case ShredResult::Status::Cancelled:
        return kExitCancelled;
    case ShredResult::Status::Errors:
        return kExitFailure;
    case ShredResult::Status::Success:
        break;
    }
    return kExitOk;
}

namespace {

// The method's number and its name as the method list shows it, without the leading indent.
void writeMethod(JsonWriter& json, const ShredResult& result)
{
    json.key("method");
    json.beginObject();
    json.key("id");
    json.number(result.algorithm ? result.algorithm->identifier() : std::uint64_t(0));
    json.key("name");
    std::string name = result.algorithm ? result.algorithm->selectDesc() : std::string();
    name.erase(0, name.find_first_not_of(' '));
    json.string(name);
    json.endObject();
}

void writeCounts(JsonWriter& json, const ShredResult& result)
{
    json.key("fileCountTotal");
    json.number(result.fileCountTotal);
    json.key("fileCountFinished");
    json.number(result.fileCountFinished);
    json.key("status");
    json.string(statusKey(result.status()));
    json.key("errorCount");
    json.number(result.errorCount);
    json.key("otherErrorCount");
    json.number(result.otherErrorCount);
    json.key("bytesCountTotal");
    json.number(result.bytesCountTotal);
    json.key("bytesCountFinished");
    json.number(result.bytesCountFinished);
    json.key("fileCountRemoved");
    json.number(result.fileCountRemoved);
    json.key("bytesCountRemoved");
    json.number(result.bytesCountRemoved);
}

// Paths as text, and, where a path is not valid UTF-8, its exact bytes in Base64 in the same
// place of "pathsBase64" (null elsewhere).
void writePaths(JsonWriter& json, const ShredResult& result)
{
    const std::vector<std::string> noPaths;
    const auto& paths = result.paths ? result.paths->paths() : noPaths;
    json.key("paths");
    json.beginArray();
    bool anyInvalid = false;
    for (const auto& path : paths) {
        json.string(path);
        anyInvalid = anyInvalid || !JsonWriter::isValidUtf8(path);
    }
    json.endArray();
    if (!anyInvalid)
        return;
    json.key("pathsBase64");
    json.beginArray();
    for (const auto& path : paths) {
        if (JsonWriter::isValidUtf8(path))
            json.null();
        else
            json.string(JsonWriter::base64(path));
    }
    json.endArray();
}

void writeHistoryItem(JsonWriter& json, const ShredItem& item)
{
    json.beginObject();
    json.bytesMember("path", item.path.str());
    json.key("fileSize");
    json.number(item.fileSize);
    json.key("kind");
    json.string(ShredItem::kindKey(item.kind));
    json.key("success");
    json.boolean(item.success);
    if (item.kind == ShredItem::Kind::File) {
        json.key("verified");
        json.boolean(item.verified);
        json.key("state");
        json.string(ShredItem::stateKey(item.state));
    }
    json.key("error");
    if (item.error)
        json.string(*item.error);
    else
        json.null();
    json.endObject();
}

void writeVolume(JsonWriter& json, const ShredVolume& volume)
{
    json.beginObject();
    json.bytesMember("mountPoint", volume.volume.mountPoint);
    json.key("fileSystem");
    json.string(volume.volume.fileSystem);
    json.key("copyOnWrite");
    json.boolean(volume.volume.copyOnWrite);
    json.key("snapshots");
    json.boolean(volume.volume.snapshots);
    json.key("freeSpaceWiped");
    json.boolean(volume.freeSpaceWiped);
    json.key("wipedAfterDeletion");
    json.boolean(volume.wipedAfterDeletion);
    json.key("trim");
    json.string(ShredVolume::trimKey(volume.trim));
    json.endObject();
}

// The paths the job left alone on purpose, with the reason; absent when there are none.
void writeKept(JsonWriter& json, const JobCommandSupport::KeptPaths& kept)
{
    if (kept.empty())
        return;
    json.key("kept");
    json.beginArray();
    for (const auto& [path, reason] : kept) {
        json.beginObject();
        json.bytesMember("path", path);
        json.key("reason");
        json.string(reason);
        json.endObject();
    }
    json.endArray();
}

} // namespace

void JobCommandSupport::printJson(const ShredResult& result, const std::optional<std::string>& reportPath,
                                  const KeptPaths& kept)
{
    JsonWriter json;
    json.beginObject();
    json.key("canceled");
    json.boolean(result.canceled);
    json.key("start");
    json.string(isoTime(result.start));
    json.key("end");
    json.string(isoTime(result.end));
    writeMethod(json, result);
    json.key("verification");
    json.string(verificationKey(result.options ? result.options->verification : Verification::Off));
    writeCounts(json, result);
    writePaths(json, result);
    json.key("history");
    json.beginArray();
    for (const auto& item : result.history)
        writeHistoryItem(json, item);
    json.endArray();
    json.key("volumes");
    json.beginArray();
    for (const ShredVolume& volume : result.volumes)
        writeVolume(json, volume);
    json.endArray();
    writeKept(json, kept);
    if (reportPath)
        json.bytesMember("reportPath", *reportPath);
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}

void JobCommandSupport::printSummary(const ShredResult& result, const KeptPaths& kept)
{
    std::string name = result.algorithm ? result.algorithm->selectDesc() : std::string();
    name.erase(0, name.find_first_not_of(' '));
    // What was really overwritten and removed: after a cancel that may be less than was begun.
    // Errors of files and the other errors (folders, mount points, volumes, steps) are apart.
    std::printf(
        "%s: %llu of %llu files, %s, method %s; %llu removed (%s); %llu file errors; %llu other errors\n",
        statusTitle(result.status()), static_cast<unsigned long long>(result.fileCountFinished),
        static_cast<unsigned long long>(result.fileCountTotal),
        formatByteCount(result.bytesCountFinished).c_str(), name.c_str(),
        static_cast<unsigned long long>(result.fileCountRemoved),
        formatByteCount(result.bytesCountRemoved).c_str(), static_cast<unsigned long long>(result.errorCount),
        static_cast<unsigned long long>(result.otherErrorCount));
    for (const ShredVolume& volume : result.volumes) {
        if (!volume.freeSpaceWiped && !volume.volume.copyOnWrite)
            continue;
        std::string line = "Volume " + volume.volume.mountPoint + " (" + volume.volume.fileSystem +
                           (volume.volume.copyOnWrite ? ", copy-on-write" : "") + "): ";
        if (!volume.freeSpaceWiped)
            line += "free space not wiped";
        else
            line += volume.wipedAfterDeletion ? "free space wiped after the deletion" : "free space wiped";
        if (volume.freeSpaceWiped) {
            line += std::string("; TRIM ") + ShredVolume::trimKey(volume.trim);
            if (!volume.trimDetail.empty())
                line += " (" + volume.trimDetail + ")";
        }
        std::printf("%s\n", line.c_str());
    }
    for (const auto& [path, reason] : kept)
        std::printf("Kept: %s (%s)\n", path.c_str(), reason.c_str());
    const bool deleting = !(result.options && result.options->eraseFreeSpaceOnly);
    for (const auto& item : result.history) {
        if (item.failed(deleting) || (item.cancelled && item.kind == ShredItem::Kind::File && item.success))
            std::fprintf(stderr, "%s: %s\n", item.path.str().c_str(), item.error.value_or("failed").c_str());
    }
}

} // namespace cv::cli
