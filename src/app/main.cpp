// Cindervault's window: start-up, the single instance on the session bus, the splash and the
// main window.
//
//   cindervault [FILE...]          open the files with the application (they wait on the shred screen)
//   cindervault --erase FILE...    the file manager's "Shred with Cindervault"
//
// A start while another instance runs hands its files to that instance and ends.
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

#include <cstdio>
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
        } else if (!optionsDone && (argument == "--help" || argument == "-h")) {
            std::puts("Usage: cindervault [FILE...]\n"
                      "       cindervault --erase FILE...\n"
                      "       cindervault --shred-trash\n"
                      "       cindervault --version\n"
                      "Opens Cindervault with the files listed on its shred screen; --erase is the file\n"
                      "manager's \"Shred with Cindervault\". A running Cindervault receives them instead.");
            std::exit(0);
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

// Qt's own messages are log lines like the program's: one line each, control characters escaped,
// and in the daily log file when diagnosis is on.
void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    cv::logLine(message.toStdString());
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the window's libraries look for a display, so it works anywhere.
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            std::printf("cindervault %s\n", CINDERVAULT_VERSION);
            return 0;
        }
    }
    qInstallMessageHandler(logQtMessage);
    QApplication app(argc, argv);
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
    delegate.applicationDidFinishLaunching();
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
