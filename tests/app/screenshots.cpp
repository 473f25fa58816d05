// Renders each screen of the window into a PNG, for a look by eye under Xvfb:
//   cindervault_screenshots OUTPUT_FOLDER
// Point HOME and the XDG folders at a temporary folder first: the program makes its fixture files
// in a temporary folder and never touches the user's own.
#include "app/AppTranslator.h"
#include "app/MainMenuHostViewController.h"
#include "app/SplashViewController.h"
#include "app/WindowController.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString g_output;

void save(QWidget* widget, const QString& name)
{
    QTest::qWait(700); // fades and animations come to rest
    const QString path = QDir(g_output).filePath(name + u".png"_s);
    if (!widget->grab().save(path))
        qFatal("cannot write %s", qPrintable(path));
    qInfo("%s", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        qFatal("usage: cindervault_screenshots OUTPUT_FOLDER");
    g_output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_output);
    auto& settings = cv::SettingsManager::sharedManager();
    cv::AppTranslator::install(app, cv::AppTranslator::languageAtStartup(settings.getCurrentLanguage()));

    cv::SplashViewController splash;
    splash.ensurePolished();
    save(&splash, u"00-splash"_s);

    cv::WindowController window(settings);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    save(&window, u"01-shred-empty"_s);
    for (std::size_t tab : {0u, 2u, 3u, 4u}) {
        window.host()->changeTabToIndex(tab);
        save(&window, u"02-tab-%1"_s.arg(tab));
    }
    return 0;
}
