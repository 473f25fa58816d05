#include "cli/CliLog.h"

#include "common/Log.h"
#include "common/PrivateFile.h"
#include "settings/SettingsManager.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace cv::cli {

void CliLog::setUp(bool verbose)
{
    // Once per process: a command that sets up the helper before its job has the log in place
    // before the helper's first line.
    static bool done = false;
    if (std::exchange(done, true))
        return;
    SettingsManager& settings = SettingsManager::sharedManager();
    if (settings.isDiagnoseSet()) {
        const QString folder = QDir::cleanPath(settings.getReportPath() + u"/logs"_s);
        const QString name = QDate::currentDate().toString(u"yyyy-MM-dd"_s) + u".log"_s;
        const std::string encodedFolder = QFile::encodeName(folder).toStdString();
        // A run as root may log into a report folder others can write: folders made here are
        // 0700, and the file is opened through no link and only when it and its folder are this
        // user's own.
        if (auto made = PrivateFile::createFolders(encodedFolder); !made)
            std::fprintf(stderr, "cindervault-cli: %s\n", escapedForLog(made.error()).c_str());
        auto file = PrivateFile::openForAppendIn(encodedFolder, QFile::encodeName(name).toStdString());
        if (file) {
            // Kept open for the life of the process: every log line of the job goes there.
            setLogDescriptor(file->release());
            return;
        }
        std::fprintf(stderr, "cindervault-cli: cannot use the log file: %s\n",
                     escapedForLog(file.error()).c_str());
    }
    setLogDescriptor(verbose ? STDERR_FILENO : -1);
}

} // namespace cv::cli
