#pragma once

#include <functional>
#include <string>

namespace cv::test {

// The program's own temporary home: HOME, the XDG folders and the report folder of the settings
// all lie below it, so the window's code never touches the user's real files.
const std::string& appTestHome();

// A mode in which the test program plays a second process ("PROGRAM --NAME ARGS..."), for code
// that must run in a process of its own (it redirects standard error, say).
struct ChildMode
{
    ChildMode(const std::string& name, std::function<int(int argc, char** argv)> run);
};

// The test program's path, for running it again in a child mode.
const std::string& testProgramPath();

} // namespace cv::test
