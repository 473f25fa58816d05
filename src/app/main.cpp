// Cindervault's window: start-up, the single instance on the session bus, the splash and the
// main window.
//
//   cindervault [FILE...]          open the files with the application (they wait on the shred screen)
//   cindervault --erase FILE...    the file manager's "Shred with Cindervault"
//   cindervault --verbose ...      the log lines on standard error too (without diagnosis on)
//
// A start while another instance runs hands its files to that instance and ends. Standard error
// carries what the user must act on; the log lines go to the daily log file when diagnosis is on,
// else nowhere unless --verbose asks for them.
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/SplashViewController.h"
#include "app/WindowController.h"
#include "app/controls/ScreenFit.h"
#include "app/intake/ApplicationBus.h"
#include "app/intake/SystemService.h"
#include "common/Log.h"
#include "reports/ReportStage.h"
#include "settings/SettingsManager.h"
#include "targets/PathOperand.h"
#include "translations/AppTranslator.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Arguments
{
    bool erase = false;
    bool shredTrash = false;        // the desktop entry's "Shred the Trash"
    std::vector<std::string> paths; // absolute, as bytes
};

void printUsage()
{
    std::puts("Usage: cindervault [--verbose] [FILE...]\n"
              "       cindervault [--verbose] --erase FILE...\n"
              "       cindervault [--verbose] --shred-trash\n"
              "       cindervault --version\n"
              "Opens Cindervault with the files listed on its shred screen; --erase is the file\n"
              "manager's \"Shred with Cindervault\". A running Cindervault receives them instead.\n"
              "--verbose also writes the log lines on standard error.");
}

// Arguments are read as bytes (after Qt took its own options), so that any file name survives.
Arguments parseArguments(int argc, char** argv)
{
    Arguments arguments;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionsDone && argument == "--") {
            optionsDone = true;
        } else if (!optionsDone && argument == "--erase") {
            arguments.erase = true;
        } else if (!optionsDone && argument == "--shred-trash") {
            arguments.shredTrash = true;
        } else if (!optionsDone && argument == "--verbose") {
            // taken before the application was made (wantsOption)
        } else if (!optionsDone && (argument == "--help" || argument == "-h")) {
            // answered before the application was made (main)
        } else {
            // Checked like the command line's operands: an empty path, "." or ".." and "file/"
            // are refused before anything is handed on; relative paths start here.
            const auto checked = cv::PathOperand::check(argument, cv::PathOperand::Kind::Target,
                                                        cv::PathOperand::Source::CommandLine);
            if (!checked.kernelFileSystem.empty()) {
                std::fprintf(stderr, "cindervault: %s\n", checked.refusal.c_str());
                std::exit(2);
            }
            if (!checked.taken()) {
                std::fprintf(stderr, "cindervault: '%s': %s\n", argument.c_str(), checked.refusal.c_str());
                std::exit(2);
            }
            arguments.paths.push_back(checked.path);
        }
    }
    return arguments;
}

// Whether option (before "--") is among the arguments; read before Qt takes its own.
bool wantsOption(int argc, char** argv, std::string_view option)
{
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        if (std::string_view(argv[i]) == option)
            return true;
    }
    return false;
}

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// The window cannot be shown: one sentence on what is missing and how to run it, and exit status 1
// (instead of Qt's abort with its advice to reinstall).
[[noreturn]] void endWithoutDisplay(const std::string& missing)
{
    std::fprintf(stderr,
                 "cindervault: the window needs a graphical session, and %s: start it in a desktop "
                 "session, or for a try without one under xvfb-run (xvfb-run -a cindervault; "
                 "cindervault-cli needs no display).\n",
                 missing.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

// Without a platform chosen through QT_QPA_PLATFORM, Qt looks for an X or Wayland display; what is
// missing when neither is named, else empty.
std::string missingDisplay()
{
    if (isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"))
        return {};
    return "there is none here (neither DISPLAY nor WAYLAND_DISPLAY is set)";
}

// Set while the application object is made: a fatal message then is the platform plugin failing to
// open the display that was named.
std::atomic<bool> g_openingDisplay{false};

// Qt's own messages are log lines like the program's, one log line for each line of the message
// (control characters within a line escaped), in the daily log file when diagnosis is on. A fatal
// message also reaches standard error, where the user sees why the program ends.
void logQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const std::string text = message.toStdString();
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start)
            lines.push_back(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
    for (const std::string_view line : lines)
        cv::logLine(line);
    if (type != QtFatalMsg)
        return;
    if (g_openingDisplay.load()) {
        std::string named;
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            if (isSet(variable))
                named += std::string(named.empty() ? "" : ", ") + variable + "=" + std::getenv(variable);
        }
        endWithoutDisplay("the display it was given cannot be opened (" + named + ")");
    }
    if (cv::currentLogDescriptor() != STDERR_FILENO) {
        for (const std::string_view line : lines)
            std::fprintf(stderr, "cindervault: %s\n", cv::escapedForLog(line).c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the window's libraries look for a display, so it works anywhere.
    if (wantsOption(argc, argv, "--version")) {
        std::printf("cindervault %s\n", CINDERVAULT_VERSION);
        return 0;
    }
    if (wantsOption(argc, argv, "--help") || wantsOption(argc, argv, "-h")) {
        printUsage();
        return 0;
    }
    if (const std::string missing = missingDisplay(); !missing.empty())
        endWithoutDisplay(missing);
    // Diagnostics stay off standard error unless asked for; with diagnosis on, the launch steps
    // send them to the daily log file.
    const bool verbose = wantsOption(argc, argv, "--verbose");
    cv::setLogDescriptor(verbose ? STDERR_FILENO : -1);
    qInstallMessageHandler(logQtMessage);
    g_openingDisplay = true;
    QApplication app(argc, argv);
    g_openingDisplay = false;
    QApplication::setOrganizationName(u"Ostrevane"_s);
    QApplication::setApplicationName(u"Cindervault"_s);
    QApplication::setApplicationVersion(QString::fromLatin1(CINDERVAULT_VERSION));
    QApplication::setDesktopFileName(QString::fromLatin1(cv::ApplicationBus::kServiceName));
    QApplication::setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    // Every window and dialog stays inside its screen, frame included, at any scale.
    cv::ScreenFit::install();
    const Arguments arguments = parseArguments(argc, argv);
    // A report staged by a window that crashed lists shredded paths: it goes now.
    cv::ReportStage::removeLeftovers();

    auto& intake = cv::SystemService::sharedInstance();
    cv::ApplicationBus bus(intake);
    if (bus.registerInstance() == cv::ApplicationBus::Registration::AnotherInstance) {
        const QDBusConnection session = QDBusConnection::sessionBus();
        bool delivered = false;
        if (arguments.shredTrash)
            delivered = cv::ApplicationBus::forwardShredTrash(session);
        else if (arguments.paths.empty())
            delivered = cv::ApplicationBus::forwardActivate(session);
        else if (arguments.erase)
            delivered = cv::ApplicationBus::forwardErase(session, arguments.paths);
        else
            delivered = cv::ApplicationBus::forwardOpen(session, arguments.paths);
        return delivered ? 0 : 1;
    }

    auto& settings = cv::SettingsManager::sharedManager();
    cv::wireServices();
    cv::AppDelegate delegate(settings);
    delegate.applicationDidFinishLaunching(verbose);
    cv::AppTranslator::install(app, cv::AppTranslator::languageAtStartup(settings.getCurrentLanguage()));

    // Files of the command line wait in the intake until the shred screen is up.
    if (arguments.erase)
        intake.erase(arguments.paths);
    else
        for (const std::string& path : arguments.paths)
            delegate.openFile(path);

    QPointer<cv::WindowController> window;
    QObject::connect(&bus, &cv::ApplicationBus::activateRequested, &app, [&window] {
        if (window)
            window->bringToFront();
    });
    QObject::connect(&bus, &cv::ApplicationBus::filesReceived, &app, [&window] {
        if (window)
            window->showShredScreen();
    });
    // Asked for before the window is up (the action started the program): shown once it is.
    bool trashWanted = arguments.shredTrash;
    QObject::connect(&bus, &cv::ApplicationBus::shredTrashRequested, &app, [&window, &trashWanted] {
        if (window)
            window->showTrashScreen();
        else
            trashWanted = true;
    });

    auto* splash = new cv::SplashViewController;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(splash, &cv::SplashViewController::showApp, &app, [&] {
        window = new cv::WindowController(settings);
        window->show();
        if (trashWanted)
            window->showTrashScreen();
    });
    splash->show();
    const int status = QApplication::exec();
    cv::releaseReportBuilders();
    return status;
}
