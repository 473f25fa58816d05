// cindervault-helper: Cindervault's privileged helper, started as root by the system bus.

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
    cv::HelperRunner::Options options;
    QString error;
    if (!cv::HelperRunner::parseArguments(QCoreApplication::arguments().mid(1), options, error)) {
        cv::logLine(error.toStdString());
        return 2;
    }
    cv::PolkitAuthorizer authorizer;
    return cv::HelperRunner::run(options, authorizer, cv::ToolRunner::defaultSearchPath());
}
