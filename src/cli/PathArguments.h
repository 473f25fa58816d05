#pragma once

#include "common/Expected.h"

#include <string>
#include <vector>

namespace cv::cli {

// The paths of the command line, checked and resolved the way every way in does it
// (PathOperand): relative ones start at the working folder; the empty path, a target ending in
// "." or "..", and a path the system cannot take as written ("file/") are usage errors. Each
// function gives back the paths, or the refusal of the first bad operand ("'d/..': reason") for
// the terminal: a command with one bad operand does nothing at all.

// The targets, resolved, in their order. With mustExist, a path that cannot be examined (nothing
// there) is refused too; without, it is left to the command.
Expected<std::vector<std::string>, std::string> checkedTargets(const std::vector<std::string>& operands,
                                                               bool mustExist);

// The excludes, resolved; each must exist and lie at, below or above one of the targets, so that
// a typo never turns into a silent loss.
Expected<std::vector<std::string>, std::string> checkedExcludes(const std::vector<std::string>& excludes,
                                                                const std::vector<std::string>& targets);

} // namespace cv::cli
