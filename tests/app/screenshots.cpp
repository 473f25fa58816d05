// Renders every screen of the window into PNG files for a look by eye (run it under Xvfb so that
// real fonts are used):
//   cindervault_screenshots OUTPUT_FOLDER [LANGUAGE]
// It makes a private home and fixture files in temporary folders of its own (removed at the end)
// and never touches the user's files or settings. Jobs it shows run on its own fixture files only.
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/AppTranslator.h"
#include "app/MainMenuHostViewController.h"
#include "app/ReportKeeper.h"
#include "app/SplashViewController.h"
#include "app/WindowController.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/explorer/ExplorerFileListController.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/shred/DropFilesViewController.h"
#include "app/shred/VolumeOptionViewController.h"
#include "engine/AlgorithmCollection.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString g_output;

void save(QWidget* widget, const QString& name, int settleMs = 700)
{
    QTest::qWait(settleMs); // fades and animations come to rest
    const QString path = QDir(g_output).filePath(name + u".png"_s);
    if (!widget->grab().save(path))
        qFatal("cannot write %s", qPrintable(path));
    qInfo("%s", qPrintable(path));
}

template <typename Dialog> Dialog* openDialog(QWidget* owner)
{
    Dialog* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (Dialog* dialog : owner->findChildren<Dialog*>()) {
                if (dialog->isVisible())
                    found = dialog;
            }
            return found != nullptr;
        },
        3000);
    return found;
}

// The screen the shred tab shows now (a fresh one after a job).
cv::DropFilesViewController* shredScreen(cv::WindowController& window)
{
    QApplication::processEvents();
    return qobject_cast<cv::DropFilesViewController*>(window.shredTab()->current());
}

// A fresh shred screen in the tab, as the window makes one after a job.
cv::DropFilesViewController* freshShredScreen(cv::WindowController& window)
{
    window.showFreshShredScreen(cv::VolumeOption::None);
    return shredScreen(window);
}

template <typename Widget = QWidget> Widget* part(QWidget* screen, const char* name)
{
    return screen->findChild<Widget*>(QLatin1StringView(name));
}

void selectMethod(QWidget* screen, std::uint64_t identifier)
{
    part<QComboBox>(screen, "methodSelection")
        ->setCurrentIndex(static_cast<int>(cv::AlgorithmCollection().getIndexForIdentifier(identifier)));
}

void dropAndWait(cv::DropFilesViewController* screen, const std::vector<std::string>& paths)
{
    QSignalSpy scanned(screen, &cv::DropFilesViewController::scanFinished);
    screen->droppedLocations(paths);
    scanned.wait(10000);
}

} // namespace

int main(int argc, char** argv)
{
    // A private home before anything reads the environment.
    cv::test::TempDir home;
    for (const char* sub : {"/config", "/data", "/cache", "/runtime"})
        ::mkdir((home.path() + sub).c_str(), 0700);
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home.path() + "/no-bus").c_str(), 1);
    ::setenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER, 0);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Ostrevane"_s);
    QApplication::setApplicationName(u"Cindervault"_s);
    if (argc < 2)
        qFatal("usage: cindervault_screenshots OUTPUT_FOLDER [LANGUAGE]");
    g_output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_output);
    const QString language = argc > 2 ? QString::fromLocal8Bit(argv[2]) : u"en"_s;
    cv::AppTranslator::install(app, language);
    const QString prefix = language == u"en"_s ? QString() : language + u"-"_s;
    auto& settings = cv::SettingsManager::sharedManager();

    // Fixture files.
    cv::test::TempDir fixtures;
    const std::string folder = fixtures / "Project Files";
    cv::test::makeDir(folder);
    cv::test::writeFile(folder + "/budget 2024.xlsx", std::string(182000, 'b'));
    cv::test::writeFile(folder + "/holiday.jpg", std::string(2450000, 'h'));
    cv::test::writeFile(folder + "/.hidden-notes", std::string(3000, 'n'));
    cv::test::writeFile(folder + "/contract-with-a-rather-long-name-that-needs-room.pdf",
                        std::string(94000, 'c'));
    cv::test::makeDir(folder + "/Archive");
    cv::test::writeFile(folder + "/Archive/letters.txt", std::string(12000, 'l'));
    cv::test::makeDir(folder + "/Archive/2019");
    cv::test::writeFile(folder + "/Archive/2019/old.doc", std::string(40000, 'o'));
    const std::string volume = fixtures / "USB Stick";
    cv::test::makeDir(volume);
    cv::test::writeFile(volume + "/x", std::string(100, 'x'));
    const std::string many = fixtures / "Many Files";
    cv::test::makeDir(many);
    for (int i = 0; i < 300; ++i)
        cv::test::writeFile(many + "/scan_" + std::to_string(1000 + i) + ".pdf",
                            std::string(1000 + 37 * i, 's'));
    const std::string big = fixtures / "large.iso";
    cv::test::writeFile(big, std::vector<std::uint8_t>(96 << 20, 0x42));
    const cv::VolumeProbe fakeVolumes{[volume](const std::string& p) { return p == volume; },
                                      [](const std::string&) { return false; },
                                      [](const std::string&) { return false; }};

    cv::SplashViewController splash;
    splash.ensurePolished();
    save(&splash, prefix + u"00-splash"_s, 0);

    // The fixture's "USB Stick" folder plays a volume; no real volume is ever selected.
    cv::WindowController window(settings, [&](cv::VolumeOption preset) {
        return new cv::DropFilesViewController(preset, nullptr, fakeVolumes);
    });
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    save(&window, prefix + u"01-shred-empty"_s);

    auto* screen = freshShredScreen(window);
    screen->startDragging();
    save(&window, prefix + u"02-shred-dragging"_s, 400);
    screen->stopDragging();

    dropAndWait(screen, {folder});
    selectMethod(screen, 13);
    save(&window, prefix + u"03-shred-files"_s);
    // The window may grow: the drop zone and the description take the room.
    window.resize(1100, 760);
    save(&window, prefix + u"03b-shred-files-larger"_s, 300);
    window.resize(cv::WindowController::kWidth, cv::WindowController::kHeight);

    screen->showExplorer();
    QTest::qWait(700);
    if (auto* explorer = screen->findChild<cv::ExplorerViewController*>()) {
        cv::ExplorerFileListController* list = explorer->fileListController();
        for (std::size_t row = 0; row < list->source().size(); ++row) {
            if (list->source()[row]->path() == folder + "/Archive")
                list->fileCellFolderButtonToggle(static_cast<std::int64_t>(row), true);
        }
        for (std::size_t row = 0; row < list->source().size(); ++row) {
            if (list->source()[row]->path() == folder + "/holiday.jpg") {
                list->fileCellSelectToggle(static_cast<std::int64_t>(row), false);
                list->tableView()->setCurrentIndex(
                    list->tableView()->model()->index(static_cast<int>(row), 0));
            }
        }
        save(&window, prefix + u"04-explorer"_s);
        explorer->dismiss();
        QSignalSpy(screen, &cv::DropFilesViewController::scanFinished).wait(10000);
    }

    // A folder long enough for a vertical scroll bar: the size column stays in view.
    {
        auto* manyScreen = freshShredScreen(window);
        dropAndWait(manyScreen, {many});
        manyScreen->showExplorer();
        QTest::qWait(700);
        if (auto* explorer = manyScreen->findChild<cv::ExplorerViewController*>()) {
            explorer->fileListController()->tableView()->setCurrentIndex(
                explorer->fileListController()->tableView()->model()->index(3, 0));
            save(&window, prefix + u"04b-explorer-long"_s);
            explorer->dismiss();
            QSignalSpy(manyScreen, &cv::DropFilesViewController::scanFinished).wait(10000);
        }
        screen = freshShredScreen(window);
        dropAndWait(screen, {folder});
        selectMethod(screen, 13);
    }

    screen->startShred();
    if (auto* confirmation = openDialog<QMessageBox>(screen)) {
        save(confirmation, prefix + u"05-confirmation"_s, 300);
        confirmation->reject();
    }

    screen = freshShredScreen(window);
    screen->droppedLocations({volume});
    if (auto* sheet = openDialog<cv::VolumeOptionViewController>(screen)) {
        save(sheet, prefix + u"06-volume-options"_s, 300);
        part<cv::PillButton>(sheet, "completeErase")->click();
    }
    QSignalSpy(screen, &cv::DropFilesViewController::scanFinished).wait(3000);
    save(&window, prefix + u"07-shred-volume"_s);
    screen->droppedLocations({volume, volume + "/../USB Stick"});
    if (auto* alert = openDialog<QMessageBox>(screen)) {
        save(alert, prefix + u"08-one-volume-alert"_s, 300);
        alert->reject();
    }

    // A job that runs long enough to be seen, on the fixture file; then cancelled.
    screen = freshShredScreen(window);
    dropAndWait(screen, {big});
    selectMethod(screen, 2);
    settings.setBool(false, cv::SettingsManager::kSettingsDeletionShowPrompt);
    screen->startShred();
    auto* progress = qobject_cast<cv::ProgressViewController*>(window.shredTab()->current());
    (void)QTest::qWaitFor(
        [&] { return part<cv::CircleProgressBar>(progress, "circleProgressBar")->progress() > 0.04f; },
        60000);
    save(&window, prefix + u"09-progress-running"_s, 0);
    // Closing the window during the job asks first.
    window.close();
    if (auto* question = openDialog<QMessageBox>(&window)) {
        save(question, prefix + u"09b-quit-question"_s, 300);
        for (QAbstractButton* button : question->buttons())
            if (question->buttonRole(button) == QMessageBox::RejectRole)
                button->click();
    }
    QSignalSpy cancelled(progress, &cv::ProgressViewController::jobFinished);
    progress->actionButtonUsed();
    cancelled.wait(60000);
    save(&window, prefix + u"10-progress-cancelled"_s);
    part<cv::PillButton>(progress, "backButton")->click();

    // A job that finishes: the fixture folder; its report cannot be made (a renderer that aborts,
    // as the web engine does without a writable /dev/shm), which the screen and the Report button say.
    const std::string aborting = fixtures / "aborting-renderer.sh";
    cv::test::writeFile(aborting, "#!/bin/sh\nkill -ABRT $$\n");
    ::chmod(aborting.c_str(), 0755);
    ::setenv("CINDERVAULT_RENDERER", aborting.c_str(), 1);
    cv::wireReports(cv::AppServices::shared());
    cv::sharedReportKeeper().setOpener([](const QString&) { return false; }); // never a real viewer
    screen = shredScreen(window);
    dropAndWait(screen, {folder});
    selectMethod(screen, 16);
    screen->startShred();
    progress = qobject_cast<cv::ProgressViewController*>(window.shredTab()->current());
    QSignalSpy finished(progress, &cv::ProgressViewController::jobFinished);
    QSignalSpy reported(progress, &cv::ProgressViewController::reportFinished);
    if (progress->completionCount() == 0)
        finished.wait(60000);
    if (reported.isEmpty())
        reported.wait(60000);
    save(&window, prefix + u"11-progress-finished"_s, 1200);
    window.resize(1100, 760);
    save(&window, prefix + u"11c-progress-finished-larger"_s, 300);
    window.resize(cv::WindowController::kWidth, cv::WindowController::kHeight);
    progress->actionButtonUsed();
    if (auto* message = openDialog<QMessageBox>(&window)) {
        save(message, prefix + u"11b-report-message"_s, 300);
        message->accept();
    }
    settings.setBool(true, cv::SettingsManager::kSettingsDeletionShowPrompt);

    for (std::size_t index : {0u, 2u, 3u, 4u}) {
        window.host()->changeTabToIndex(index);
        save(&window, prefix + u"12-tab-%1"_s.arg(index), 100);
    }
    return 0;
}
