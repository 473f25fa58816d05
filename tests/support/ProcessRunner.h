#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cv::test {

struct ProcessResult
{
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// How a program is started: in which working folder, and after what preparation in the child
// (it runs after fork, before exec; false ends the child with status 127).
struct ProcessOptions
{
    std::string workingFolder;
    std::function<bool()> beforeExec;
};

// Runs a program with arguments (no shell), capturing both output streams, and waits for it.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

} // namespace cv::test
