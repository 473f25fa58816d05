#include "app/AppDelegate.h"

#include "app/AppServices.h"
#include "app/intake/SystemService.h"
#include "common/Log.h"
#include "common/PrivateFile.h"
#include "settings/SettingsManager.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

AppDelegate::AppDelegate(SettingsManager& settings, QObject* parent) : QObject(parent), m_settings(settings)
{}

void AppDelegate::applicationDidFinishLaunching(bool verbose)
{
    setLogDescriptor(verbose ? STDERR_FILENO : -1);
    if (m_settings.isDiagnoseSet())
        redirectLogToDocuments(m_settings.getReportPath());
    if (const auto& install = AppServices::shared().installHelperIfNeeded)
        install();
    else
        logLine("Privileged helper not available in this build; root-only steps will be refused");
}

QString AppDelegate::logFilePath(const QString& reportFolder, const QDate& date)
{
    const QString folder = QDir::cleanPath(reportFolder + u"/logs/"_s);
    return folder + u'/' + date.toString(u"yyyy-MM-dd"_s) + u".log"_s;
}

bool AppDelegate::redirectLogToDocuments(const QString& reportFolder, const QDate& date)
{
    const QString path = logFilePath(reportFolder, date);
    const std::string folder = QFile::encodeName(QFileInfo(path).path()).toStdString();
    // Without the file the log lines stay on standard error, where the window may have dropped
    // them: the user asked for a log and learns why there is none.
    const auto stayOnStandardError = [] {
        if (currentLogDescriptor() < 0)
            setLogDescriptor(STDERR_FILENO);
    };
    // The folders made here are the user's alone (0700); folders that exist keep their modes.
    if (auto made = PrivateFile::createFolders(folder); !made) {
        stayOnStandardError();
        logMessage("Failed to create directory \"", folder, "\". Error: ", made.error());
    }
    // The path in the file-system encoding (not only ASCII): a report folder below a home folder
    // with a non-ASCII name still gets its log. The file is the user's alone and is never reached
    // through a link, nor taken when it belongs to someone else: the report folder may be shared.
    // Standard error is replaced with dup2 so that every writer of descriptor 2 (our log lines,
    // Qt's messages) lands in the file.
    const std::string encoded = QFile::encodeName(path).toStdString();
    auto file =
        PrivateFile::openForAppendIn(folder, QFile::encodeName(QFileInfo(path).fileName()).toStdString());
    if (!file) {
        stayOnStandardError();
        logMessage("Failed to open log file \"", encoded, "\". Error: ", file.error());
        return false;
    }
    std::fflush(stderr);
    const bool redirected = ::dup2(file->get(), STDERR_FILENO) >= 0;
    if (!redirected) {
        stayOnStandardError();
        logMessage("Failed to redirect the log to \"", encoded, "\". Error: ", std::strerror(errno));
        return false;
    }
    setLogDescriptor(STDERR_FILENO);
    logLine("App Startup");
    return true;
}

bool AppDelegate::openFile(const std::string& path)
{
    SystemService::sharedInstance().openFile(path);
    return true;
}

} // namespace cv
