#include "cli/PathArguments.h"

#include "cli/CommandLine.h"
#include "targets/PathOperand.h"

#include <cstring>

namespace cv::cli {

namespace {

// "'d/..': refusing to remove '.' or '..' directory": the operand quoted, since it may be empty.
void printRefusal(const std::string& operand, const std::string& reason)
{
    printError("'" + operand + "': " + reason);
}

} // namespace

std::optional<std::vector<std::string>> checkedTargets(const std::vector<std::string>& operands,
                                                       bool mustExist)
{
    std::vector<std::string> targets;
    targets.reserve(operands.size());
    for (const auto& operand : operands) {
        const auto checked =
            PathOperand::check(operand, PathOperand::Kind::Target, PathOperand::Source::CommandLine);
        if (!checked.taken()) {
            printRefusal(operand, checked.refusal);
            return std::nullopt;
        }
        if (mustExist && !checked.exists()) {
            printRefusal(operand, std::strerror(checked.error));
            return std::nullopt;
        }
        targets.push_back(checked.path);
    }
    return targets;
}

std::optional<std::vector<std::string>> checkedExcludes(const std::vector<std::string>& excludes,
                                                        const std::vector<std::string>& targets)
{
    std::vector<std::string> checkedPaths;
    checkedPaths.reserve(excludes.size());
    for (const auto& exclude : excludes) {
        const auto checked =
            PathOperand::check(exclude, PathOperand::Kind::Exclude, PathOperand::Source::CommandLine);
        if (!checked.taken()) {
            printRefusal(exclude, "--exclude: " + checked.refusal);
            return std::nullopt;
        }
        if (!PathOperand::excludeMatches(checked, targets)) {
            printRefusal(exclude, checked.exists()
                                      ? "--exclude matches nothing of the paths given"
                                      : "--exclude: " + std::string(std::strerror(checked.error)));
            return std::nullopt;
        }
        checkedPaths.push_back(checked.path);
    }
    return checkedPaths;
}

} // namespace cv::cli
