// cindervault-helper: Cindervault's privileged helper, started as root by the system bus.

#include "common/ExitStatus.h"
#include "common/Log.h"
#include "helper/HelperRunner.h"
#include "helper/PolkitAuthorizer.h"
#include "helper/ToolRunner.h"

#include <QCoreApplication>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    ::umask(022);
    QCoreApplication application(argc, argv);
    const auto options =
        cv::HelperRunner::parseArguments(QCoreApplication::arguments().mid(1), cv::HelperRunner::Options());
    if (!options) {
        cv::logLine(options.error().toStdString());
        return cv::kExitUsage;
    }
    cv::PolkitAuthorizer authorizer;
    return cv::HelperRunner::run(*options, authorizer, cv::ToolRunner::defaultSearchPath());
}
