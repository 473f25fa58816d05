#include "cli/PathArguments.h"

#include "targets/PathOperand.h"

#include <cstring>

namespace cv::cli {

namespace {

// "'d/..': refusing to remove '.' or '..' directory": the operand quoted, since it may be empty.
Unexpected<std::string> refusal(const std::string& operand, const std::string& reason)
{
    return Unexpected("'" + operand + "': " + reason);
}

} // namespace

Expected<std::vector<std::string>, std::string> checkedTargets(const std::vector<std::string>& operands,
                                                               bool mustExist)
{
    std::vector<std::string> targets;
    targets.reserve(operands.size());
    for (const auto& operand : operands) {
        const auto checked =
            PathOperand::check(operand, PathOperand::Kind::Target, PathOperand::Source::CommandLine);
        if (!checked.kernelFileSystem.empty())
            return Unexpected(checked.refusal);
        if (!checked.taken())
            return refusal(operand, checked.refusal);
        if (mustExist && !checked.exists())
            return refusal(operand, std::strerror(checked.error));
        targets.push_back(checked.path);
    }
    return targets;
}

Expected<std::vector<std::string>, std::string> checkedExcludes(const std::vector<std::string>& excludes,
                                                                const std::vector<std::string>& targets)
{
    std::vector<std::string> checkedPaths;
    checkedPaths.reserve(excludes.size());
    for (const auto& exclude : excludes) {
        const auto checked =
            PathOperand::check(exclude, PathOperand::Kind::Exclude, PathOperand::Source::CommandLine);
        if (!checked.taken())
            return refusal(exclude, "--exclude: " + checked.refusal);
        if (!PathOperand::excludeMatches(checked, targets))
            return refusal(exclude, checked.exists()
                                        ? "--exclude matches nothing of the paths given"
                                        : "--exclude: " + std::string(std::strerror(checked.error)));
        checkedPaths.push_back(checked.path);
    }
    return checkedPaths;
}

} // namespace cv::cli
