#pragma once

#include <string>
#include <vector>

namespace cv::cli {

// Each command takes the arguments after its name and returns the process exit code.
int runMethodsCommand(const std::vector<std::string>& args);
int runOverwriteCommand(const std::vector<std::string>& args);
int runScanCommand(const std::vector<std::string>& args);
int runShredCommand(const std::vector<std::string>& args);
int runWipeFreeCommand(const std::vector<std::string>& args);
int runCleanTempCommand(const std::vector<std::string>& args);
int runEmptyTrashCommand(const std::vector<std::string>& args);
int runVolumesCommand(const std::vector<std::string>& args);
int runVerifyReportCommand(const std::vector<std::string>& args);

} // namespace cv::cli
