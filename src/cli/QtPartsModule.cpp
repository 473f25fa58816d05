// The entry point of the command line's helper module (see QtParts). The module has its own copy
// of the log, so the call first points it where the program's log goes.
#include "cli/CliApplication.h"
#include "cli/HelperThread.h"
#include "common/Log.h"

extern "C" {

__attribute__((visibility("default"))) cv::HelperToolClient* cindervault_cli_make_helper(std::string*,
                                                                                         int logFd)
{
    cv::setLogDescriptor(logFd);
    cv::cli::CliApplication::ensure();
    return new cv::cli::HelperThread();
}
}
