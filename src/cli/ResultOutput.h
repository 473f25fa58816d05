#pragma once

#include "engine/ShredResult.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cv::cli {

// A job's result as the command line prints it: one JSON object (--json) or a short summary, with
// the paths the job left out by rule.
class ResultOutput
{
public:
    // What the job left out by rule, with the reason (path, reason), to be named with the result.
    using KeptPaths = std::vector<std::pair<std::string, std::string>>;

    // Prints the result as one JSON object on standard output.
    static void printJson(const ShredResult& result, const std::optional<std::string>& reportPath,
                          const KeptPaths& kept = {});
    // Prints a short human summary on standard output.
    static void printSummary(const ShredResult& result, const KeptPaths& kept = {});
    // Prints each failed entry on standard error, one line each ("path: reason"), as every tool
    // says its errors there, whatever the format of standard output.
    static void printFailures(const ShredResult& result);
};

} // namespace cv::cli
