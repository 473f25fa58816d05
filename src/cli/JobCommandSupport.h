#pragma once

#include "cli/HelperAccess.h"
#include "cli/ReportOutput.h"
#include "cli/ResultOutput.h"
#include "common/Expected.h"
#include "engine/Algorithm.h"
#include "engine/ShredResult.h"
#include "job/FileShredder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv::cli {

class CommandLine;

// What the job commands (shred, wipe-free) share: choosing the method, asking before destroying
// anything, running the job and reporting its result.
class JobCommandSupport
{
public:
    // The method of --method, or the default one (the stored default, else one random pass); an
    // unknown method or the placeholder is refused.
    static Expected<std::shared_ptr<Algorithm>, std::string> chooseMethod(const CommandLine& line);

    // The passes to read back: none without --verify, the last with --verify (or --verify=last),
    // every pass with --verify=all; another value is refused.
    static Expected<Verification, std::string> chooseVerification(const CommandLine& line);

    // Asks on the terminal unless --yes was given; false to stop. Without a terminal it refuses
    // unless --yes was given, printing why.
    static bool confirm(const CommandLine& line, const std::string& question);

    // The value options every job command takes besides its own, and its flags.
    static std::vector<std::string> valueOptions();
    static std::vector<std::string> flagOptions();
    // Checks --report-format (html or pdf) and that --no-report comes without the report's folder
    // and format.
    static Expected<void, std::string> checkReportOptions(const CommandLine& line);

    // Runs the job with terminal progress and Ctrl-C as cancel, with the privileged helper for
    // root's work (HelperAccess). Log lines go where CliLog says. SIGINT and SIGTERM stay blocked after
    // it returns, until the process ends: they cannot cut the report and the result short.
    // helper: the helper the caller set up for work of its own beside the job; made here when null.
    static std::shared_ptr<ShredResult> runJob(const CommandLine& line, FileShredder& job,
                                               HelperAccess* helper = nullptr);

    // What the job left out by rule, with the reason (path, reason), to be named with the result.
    using KeptPaths = ResultOutput::KeptPaths;
    // Saves the report as the settings and --report-dir/--report-format say (none with
    // --no-report), prints the result (JSON with --json, else a summary and the report's path) and
    // returns the exit status: kExitCancelled for a cancelled job, kExitFailure when anything of it
    // failed (a file, a folder, a volume or a step), else kExitOk: the same outcome the summary and
    // the report show.
    static int finish(const CommandLine& line, const ShredResult& result, const KeptPaths& kept = {});
    // The saved report's path, or why none was saved.
    static Expected<std::string, std::string> saveReport(const ShredResult& result,
                                                         const ReportCliOptions& options);
};

} // namespace cv::cli
