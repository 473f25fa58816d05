#pragma once

namespace cv::cli {

// Where the engine's log lines go from the command line: with diagnosis on in the settings, onto
// the same daily log file the window writes ("<report folder>/logs/yyyy-MM-dd.log"); else onto
// standard error with --verbose; else nowhere, so that a terminal shows progress and errors only.
class CliLog
{
public:
    static void setUp(bool verbose);
};

} // namespace cv::cli
