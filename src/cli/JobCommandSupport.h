#pragma once

#include "engine/Algorithm.h"
#include "engine/FileShredder.h"
#include "engine/ShredResult.h"

#include <memory>
#include <optional>
#include <string>

namespace cv::cli {

class CommandLine;

// What the job commands (shred, wipe-free) share: choosing the method, asking before destroying
// anything, running the job and reporting its result.
class JobCommandSupport
{
public:
    // The method of --method, or the default one (the stored default, else one random pass).
    // Prints the reason and returns null for an unknown method or the placeholder.
    static std::shared_ptr<Algorithm> chooseMethod(const CommandLine& line);

    // Asks on the terminal unless --yes was given; false to stop. Without a terminal it refuses
    // unless --yes was given, printing why.
    static bool confirm(const CommandLine& line, const std::string& question);

    // Runs the job with terminal progress and Ctrl-C as cancel.
    static std::shared_ptr<ShredResult> runJob(FileShredder& job);

    // Prints the result as one JSON object on standard output.
    static void printJson(const ShredResult& result, const std::optional<std::string>& reportPath);
    // Prints a short human summary on standard output.
    static void printSummary(const ShredResult& result);

    // 130 for a cancelled job, 1 when files were not overwritten or not deleted, else 0.
    static int exitCodeFor(const ShredResult& result, bool leftovers);
};

} // namespace cv::cli
