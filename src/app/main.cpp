// Cindervault's window: start-up, the single instance on the session bus, the splash and the
// main window.
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/AppTranslator.h"
#include "app/SplashViewController.h"
#include "app/WindowController.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Ostrevane"_s);
    QApplication::setApplicationName(u"Cindervault"_s);
    QApplication::setApplicationVersion(QString::fromLatin1(CINDERVAULT_VERSION));
    QApplication::setDesktopFileName(u"com.Ostrevane.CindervaultForMac"_s);
    QApplication::setWindowIcon(QIcon(u":/images/cindervault.svg"_s));

    auto& settings = cv::SettingsManager::sharedManager();
    cv::wireServices();
    cv::AppDelegate delegate(settings);
    delegate.applicationDidFinishLaunching();
    cv::AppTranslator::install(app, cv::AppTranslator::languageAtStartup(settings.getCurrentLanguage()));

    QPointer<cv::WindowController> window;
    auto* splash = new cv::SplashViewController;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(splash, &cv::SplashViewController::showApp, &app, [&] {
        window = new cv::WindowController(settings);
        window->show();
    });
    splash->show();
    return QApplication::exec();
}
