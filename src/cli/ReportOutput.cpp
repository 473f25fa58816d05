#include "cli/ReportOutput.h"

#include "reports/ReportBuilder.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cctype>
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

// Destroys our application object at exit, before the statics it relies on: exit handlers run in
// reverse order of registration, and this one is registered after a report was made, when every
// static the web engine uses exists already. (Left to the static above, the application would be
// destroyed after some of them and crash the process on its way out.)
void releaseApplication()
{
    ownApplication().reset();
}

// The application object the web engine needs: the existing one when it is a QApplication, else
// a new one made here and kept until the process ends.
QApplication* ensureApplication(std::string* whyNot)
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
    setIfUnset("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
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

} // namespace

std::optional<std::string> parseReportFormat(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "html")
        return std::string("HTML");
    if (lower == "pdf")
        return std::string("PDF");
    return std::nullopt;
}

std::optional<std::string> saveReportForCli(const ShredResult& result, const ReportCliOptions& options,
                                            std::string* whyNot)
{
    const auto fail = [whyNot](const char* reason) -> std::optional<std::string> {
        if (whyNot)
            *whyNot = reason;
        return std::nullopt;
    };
    if (result.canceled)
        return fail("no report is made for a cancelled job");
    SettingsManager& settings = SettingsManager::sharedManager();
    if (!settings.shouldAutoSaveReports())
        return fail("automatic saving of reports is off in the settings");
    if (!ensureApplication(whyNot))
        return std::nullopt;
    // Registered on the way out of this function, after the builder and its web view are gone.
    struct ReleaseAtExit
    {
        ~ReleaseAtExit()
        {
            if (ownApplication())
                std::atexit(releaseApplication);
        }
    } releaseAtExit;

    ReportBuilder builder(settings);
    if (options.reportDir)
        builder.setReportFolder(
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(*options.reportDir))).absoluteFilePath());
    if (options.reportFormat)
        builder.setReportFormat(QString::fromStdString(*options.reportFormat));

    QEventLoop loop;
    QString savedPath;
    bool finished = false;
    QObject::connect(&builder, &ReportBuilder::finished, &loop, [&](const QString& path) {
        savedPath = path;
        finished = true;
        loop.quit();
    });
    // The builder only reads the result, and only until finished: it may borrow it.
    builder.createReportWithShredResult(std::shared_ptr<const ShredResult>(std::shared_ptr<void>(), &result));
    if (!finished)
        loop.exec();
    if (savedPath.isEmpty())
        return fail("the report could not be saved (the log says why)");
    return QFile::encodeName(savedPath).toStdString();
}

} // namespace cv::cli
