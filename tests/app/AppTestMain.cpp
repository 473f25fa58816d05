// The entry of the window's test programs: a private home for settings and reports, the offscreen
// platform, no session bus unless a test starts its own, a QApplication, the English tables; then
// GoogleTest, or a child mode.
#include "AppTestMain.h"

#include "TempDir.h"
#include "app/controls/ScreenFit.h"
#include "tempdata/TempCategories.h"
#include "translations/AppTranslator.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

std::map<std::string, std::function<int(int, char**)>>& childModes()
{
    static std::map<std::string, std::function<int(int, char**)>> modes;
    return modes;
}

std::string g_home;
std::string g_program;

} // namespace

ChildMode::ChildMode(const std::string& name, std::function<int(int argc, char** argv)> run)
{
    childModes()[name] = std::move(run);
}

const std::string& appTestHome()
{
    return g_home;
}

const std::string& testProgramPath()
{
    return g_program;
}

} // namespace cv::test

int main(int argc, char** argv)
{
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    cv::test::g_program = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : argv[0];

    // A child inherits its parent's private home; the test program proper makes a new one.
    const char* inherited = std::getenv("CINDERVAULT_TEST_HOME");
    std::unique_ptr<cv::test::TempDir> home;
    if (inherited && *inherited) {
        cv::test::g_home = inherited;
    } else {
        home = std::make_unique<cv::test::TempDir>();
        cv::test::g_home = home->path();
        ::setenv("CINDERVAULT_TEST_HOME", cv::test::g_home.c_str(), 1);
    }
    const std::string& root = cv::test::g_home;
    for (const char* sub : {"/config", "/data", "/cache", "/runtime", "/Documents"})
        ::mkdir((root + sub).c_str(), 0700);
    ::setenv("HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The temporary-data screens of the tests find no category folders unless a test names its
    // own: a job there must never reach the system's logs, caches or Trash.
    for (const cv::TempCategories::Row& row : cv::TempCategories::rows())
        ::setenv(row.folderVariable, "", 1);
    // No session bus unless a test starts its own: nothing reaches the user's desktop.
    if (!std::getenv("CINDERVAULT_TEST_BUS"))
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + root + "/no-bus").c_str(), 1);

    // Reports are rendered by this build's renderer program.
    ::setenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER, 0);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Ostrevane"_s);
    QApplication::setApplicationName(u"Cindervault"_s);
    cv::AppTranslator::install(app, u"en"_s);
    cv::ScreenFit::install(); // as the program does

    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
        const auto& modes = cv::test::childModes();
        const auto it = modes.find(argv[1] + 2);
        if (it != modes.end())
            return it->second(argc, argv);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
