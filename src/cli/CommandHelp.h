#pragma once

#include <string>
#include <vector>

namespace cv::cli {

// What "cindervault-cli COMMAND --help" prints: the command's synopsis and every option its
// argument parser takes, listed from the parser's own lists, so that the help (and the manual page
// checked against it) cannot leave out an option the command accepts.
class CommandHelp
{
public:
    // The command whose arguments are parsed next; main names it before it runs the command.
    static void setCommand(const std::string& name);
    // Prints the help of that command, with its options, on standard output.
    static void print(const std::vector<std::string>& valueOptions,
                      const std::vector<std::string>& flagOptions);
};

} // namespace cv::cli
