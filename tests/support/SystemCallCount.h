#pragma once

#include <functional>
#include <optional>

namespace cv::test {

// Runs work in a child process that this process traces (ptrace) and counts the system calls the
// child makes while it runs: every call, whichever library made it. The child's effects on files
// stay; its memory does not come back, so work reports through what it leaves on the disk or
// through its result: the child exits with the value work returns. Nothing when tracing is not
// allowed here (a sandbox without ptrace).
struct SystemCallCount
{
    long calls = 0;
    int exitCode = -1;
};
std::optional<SystemCallCount> countSystemCalls(const std::function<int()>& work);

} // namespace cv::test
