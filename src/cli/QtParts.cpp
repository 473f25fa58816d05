#include "cli/QtParts.h"

#include <QLibrary>
#include <QPluginLoader>
#include <QString>

#include <climits>
#include <unistd.h>

namespace cv::cli {

namespace {

constexpr const char* kPluginName = "libcindervault-cli-qt.so";

// Beside the program first (the build tree, a relocated install), then where it is installed.
std::string pluginBesideProgram()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + kPluginName;
}

Expected<QtParts*, std::string> loadOnce()
{
    std::string why;
    for (const std::string& candidate :
         {pluginBesideProgram(), std::string(CINDERVAULT_CLI_MODULE_DIR "/") + kPluginName}) {
        if (candidate.empty() || ::access(candidate.c_str(), F_OK) != 0)
            continue;
        // Never unloaded: the plugin's Qt objects live until the process ends.
        QPluginLoader loader(QString::fromLocal8Bit(candidate));
        // Bind every symbol now: a missing one is a load error here, not a crash in the middle of a job.
        loader.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (auto* parts = qobject_cast<QtParts*>(loader.instance()))
            return parts;
        why = loader.isLoaded() ? std::string("it is not the one this program was built with")
                                : loader.errorString().toStdString();
        break;
    }
    if (why.empty())
        why = std::string("there is no ") + kPluginName +
              " beside the program or in " CINDERVAULT_CLI_MODULE_DIR;
    return Unexpected("the report and helper module cannot be loaded: " + why);
}

} // namespace

Expected<QtParts*, std::string> QtParts::load()
{
    static const Expected<QtParts*, std::string> loaded = loadOnce();
    return loaded;
}

} // namespace cv::cli
