// The entry points of the command line's module of window libraries (see QtParts). The module has
// its own copy of the log, so each call first points it where the program's log goes.
#include "cli/CliApplication.h"
#include "cli/HelperThread.h"
#include "cli/ReportOutput.h"
#include "common/Log.h"

extern "C" {

__attribute__((visibility("default"))) bool
cindervault_cli_save_report(const cv::ShredResult& result, const cv::cli::ReportCliOptions& options,
                            std::string* path, std::string* whyNot, int logFd)
{
    cv::setLogDescriptor(logFd);
    const auto saved = cv::cli::saveReportForCli(result, options, whyNot);
    if (saved)
        *path = *saved;
    return saved.has_value();
}

__attribute__((visibility("default"))) cv::HelperToolClient* cindervault_cli_make_helper(std::string*,
                                                                                         int logFd)
{
    cv::setLogDescriptor(logFd);
    cv::cli::CliApplication::ensure();
    return new cv::cli::HelperThread();
}
}
