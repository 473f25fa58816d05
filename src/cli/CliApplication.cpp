#include "cli/CliApplication.h"

#include "common/Log.h"

#include <QCoreApplication>

#include <cstdlib>
#include <memory>

namespace cv::cli {

namespace {

// The application object made here, when the process had none.
std::unique_ptr<QCoreApplication>& ownApplication()
{
    static std::unique_ptr<QCoreApplication> application;
    return application;
}

void releaseApplication()
{
    ownApplication().reset();
}

// Qt's own warnings are log lines like the engine's: in the log, not on the user's terminal.
void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    logLine(message.toStdString());
}

} // namespace

QCoreApplication* CliApplication::ensure()
{
    if (QCoreApplication* existing = QCoreApplication::instance())
        return existing;
    qInstallMessageHandler(logQtMessage);
    static int argc = 1;
    static char name[] = "cindervault-cli";
    static char* argv[] = {name, nullptr};
    ownApplication() = std::make_unique<QCoreApplication>(argc, argv);
    return ownApplication().get();
}

void CliApplication::releaseAtExit()
{
    static bool registered = false;
    if (ownApplication() && !registered) {
        registered = true;
        std::atexit(releaseApplication);
    }
}

} // namespace cv::cli
