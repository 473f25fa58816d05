#include "app/AppDelegate.h"

#include "app/AppServices.h"
#include "app/intake/SystemService.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

AppDelegate::AppDelegate(SettingsManager& settings, QObject* parent) : QObject(parent), m_settings(settings)
{}

void AppDelegate::applicationDidFinishLaunching()
{
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
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) {
        logMessage("Failed to create directory \"", QFile::encodeName(folder).toStdString(),
                   "\". Error: ", std::strerror(errno));
    }
    // The path in the file-system encoding (not only ASCII): a report folder below a home folder
    // with a non-ASCII name still gets its log. Standard error is replaced with dup2 so that every
    // writer of descriptor 2 (our log lines, Qt's messages) lands in the file.
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        logMessage("Failed to open log file \"", encoded.toStdString(), "\". Error: ", std::strerror(errno));
        return false;
    }
    std::fflush(stderr);
    const bool redirected = ::dup2(fd, STDERR_FILENO) >= 0;
    ::close(fd);
    if (!redirected) {
        logMessage("Failed to redirect the log to \"", encoded.toStdString(),
                   "\". Error: ", std::strerror(errno));
        return false;
    }
    logLine("App Startup");
    return true;
}

bool AppDelegate::openFile(const std::string& path)
{
    SystemService::sharedInstance().openFile(path);
    return true;
}

} // namespace cv
