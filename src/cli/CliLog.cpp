#include "cli/CliLog.h"

#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv::cli {

void CliLog::setUp(bool verbose)
{
    SettingsManager& settings = SettingsManager::sharedManager();
    if (settings.isDiagnoseSet()) {
        const QString folder = QDir::cleanPath(settings.getReportPath() + u"/logs"_s);
        const QString path = folder + u'/' + QDate::currentDate().toString(u"yyyy-MM-dd"_s) + u".log"_s;
        QDir().mkpath(folder);
        // Kept open for the life of the process: every log line of the job goes there.
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0) {
            setLogDescriptor(fd);
            return;
        }
        std::fprintf(stderr, "cindervault-cli: cannot open the log file %s: %s\n",
                     QFile::encodeName(path).constData(), std::strerror(errno));
    }
    setLogDescriptor(verbose ? STDERR_FILENO : -1);
}

} // namespace cv::cli
