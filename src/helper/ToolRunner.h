#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cv {

// Runs the system tools the helper relies on (snapper, blkid, mkfs.<type>) as root: found only in a
// fixed search path, started without a shell, with a minimal environment and no input, their output
// captured. Each runs in a process group of its own: when it overruns its time, counted over its
// whole run, the group is killed, and whatever it leaves running when it ends goes with it.
// Arguments are passed as bytes, unchanged.
class ToolRunner
{
public:
    struct Result
    {
        bool started = false;
        bool timedOut = false;
        int exitCode = -1; // -1 when the tool did not exit normally
        std::string out;
        std::string err;

        bool succeeded() const { return started && !timedOut && exitCode == 0; }
        // "exit status 1: <last line of standard error>" and the like, for messages.
        std::string describeFailure() const;
    };

    // The folders where root's tools live on Debian.
    static const std::vector<std::string>& defaultSearchPath();
    // The full path of an executable called name in the first folder that has one.
    static std::optional<std::string> find(const std::string& name,
                                           const std::vector<std::string>& searchPath);
    static Result run(const std::string& program, const std::vector<std::string>& arguments,
                      int timeoutSeconds);
};

} // namespace cv
