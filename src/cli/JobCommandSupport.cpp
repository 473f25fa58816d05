#include "cli/JobCommandSupport.h"

#include "cli/CliLog.h"
#include "cli/CommandLine.h"
#include "cli/JobRunner.h"
#include "cli/QtParts.h"
#include "cli/ReportOutput.h"
#include "cli/ResultOutput.h"
#include "cli/StoredSettings.h"
#include "cli/TerminalText.h"
#include "engine/AlgorithmCollection.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace cv::cli {

namespace {

// The method used when none is given and none is stored: one pass of random data.
constexpr std::uint64_t kFallbackMethod = 16;

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
    std::fprintf(stderr,
                 "%s\nThis cannot be undone. Type \"yes\" to go on: ", forStream(stderr, question).c_str());
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
            std::fprintf(stderr, "No report saved: %s\n", forStream(stderr, report.error()).c_str());
    }

    if (line.flag("--json")) {
        ResultOutput::printJson(result, reportPath, kept);
    } else {
        ResultOutput::printSummary(result, kept);
        if (reportPath)
            std::printf("Report: %s\n", forStream(stdout, *reportPath).c_str());
    }
    ResultOutput::printFailures(result);
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

} // namespace cv::cli
