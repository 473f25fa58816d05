#include "cli/CliApplication.h"

#include "common/Log.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdlib>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv::cli {

namespace {

void setIfUnset(const char* name, const QByteArray& value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

// The application object made here, when the process had none.
std::unique_ptr<QApplication>& ownApplication()
{
    static std::unique_ptr<QApplication> application;
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

QApplication* CliApplication::ensure(std::string* whyNot)
{
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        auto* application = qobject_cast<QApplication*>(existing);
        if (!application && whyNot)
            *whyNot = "the report needs a QApplication, and another kind of application object exists";
        return application;
    }
    // No window is shown and there may be no display; a root process's renderer cannot run
    // sandboxed; there is no GPU to use.
    setIfUnset("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        setIfUnset("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setIfUnset("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --log-level=3");
    qInstallMessageHandler(logQtMessage);
    // The engine's start-up report (graphics set-up, Chromium flags) is no business of a terminal;
    // rules in QT_LOGGING_RULES still take precedence.
    QLoggingCategory::setFilterRules(u"qt.webenginecontext.info=false"_s);
    // The web engine shares OpenGL contexts with the application; this must be set before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static int argc = 1;
    static char name[] = "cindervault-cli";
    static char* argv[] = {name, nullptr};
    ownApplication() = std::make_unique<QApplication>(argc, argv);
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
