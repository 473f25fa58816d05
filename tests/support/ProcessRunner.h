#pragma once

#include <string>
#include <vector>

namespace cv::test {

struct ProcessResult
{
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell), capturing both output streams, and waits for it.
ProcessResult runProcess(const std::vector<std::string>& argv);

} // namespace cv::test
