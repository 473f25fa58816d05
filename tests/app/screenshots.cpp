// Renders every screen of the window into PNG files for a look by eye (run it under Xvfb so that
// real fonts are used):
//   cindervault_screenshots OUTPUT_FOLDER [LANGUAGE] [SCALE] [dark]
// "dark" (or CINDERVAULT_SCREENSHOTS_DARK=1) shows every screen on a dark desktop palette.
// SCALE (2, 1.5) takes the shots at that scale, as on a high-resolution screen (the windows fit
// the screen's area at that scale, as they must there); the file names then carry it ("2x-").
// It makes a private home and fixture files in temporary folders of its own (removed at the end)
// and never touches the user's files or settings. Jobs it shows run on its own fixture files only.
#include "LoopMount.h"
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/MainMenuHostViewController.h"
#include "app/ReportKeeper.h"
#include "app/SplashViewController.h"
#include "app/WindowController.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/ScreenFit.h"
#include "app/dashboard/DashboardViewController.h"
#include "app/dialogs/HelperInstallDialog.h"
#include "app/dialogs/ResetSettingsDialog.h"
#include "app/dialogs/SettingsPassword.h"
#include "app/explorer/ExplorerFileListController.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/freespace/FreeSpaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/reports/ReportListModel.h"
#include "app/reports/ReportModulListViewController.h"
#include "app/reports/ReportPreview.h"
#include "app/reports/ReportReviewViewController.h"
#include "app/reports/ReportViewController.h"
#include "app/reports/ReportWindowController.h"
#include "app/settings/SettingsWindowController.h"
#include "app/shred/DropFilesViewController.h"
#include "app/shred/OpenPanel.h"
#include "app/shred/VolumeOptionViewController.h"
#include "app/tempdata/TempDataViewController.h"
#include "engine/AlgorithmCollection.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportFactory.h"
#include "reports/ReportSettings.h"
#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"
#include "settings/SupportMessageSender.h"
#include "system/HelperToolService.h"
#include "translations/AppTranslator.h"
#include "updates/UpdateScheduler.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cstdlib>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString g_output;
// The pictures that could not be made, each with why: the run fails with this list.
QStringList g_missing;

void missing(const QString& name, const QString& why)
{
    g_missing << name + u": "_s + why;
    qWarning("picture %s not made: %s", qPrintable(name), qPrintable(why));
}

void save(QWidget* widget, const QString& name, int settleMs = 700)
{
    QTest::qWait(settleMs); // fades and animations come to rest
    const QString path = QDir(g_output).filePath(name + u".png"_s);
    if (!widget->grab().save(path))
        qFatal("cannot write %s", qPrintable(path));
    qInfo("%s", qPrintable(path));
}

// The dialog owner shows now, waited for; when none opens, the picture name is missing.
template <typename Dialog> Dialog* openDialog(QWidget* owner, const QString& name)
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
    if (!found)
        missing(name, u"its dialog did not open"_s);
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

// While held, scans wait: the screens show their busy states.
std::atomic<bool> g_holdScans{false};

void waitWhileHeld()
{
    while (g_holdScans.load())
        QThread::msleep(10);
}

// A search of the fixture's category folders that waits while scans are held.
class HeldSearcher : public cv::TempSearcher
{
public:
    ~HeldSearcher() override { waitForScans(); }

protected:
    std::shared_ptr<cv::PathCollection> scan(std::int32_t type,
                                             const std::vector<std::string>& folders) const override
    {
        waitWhileHeld();
        return cv::TempSearcher::scan(type, folders);
    }
};

cv::Volume shownVolume(const std::string& path, const std::string& name, std::int64_t size, std::int64_t free)
{
    cv::Volume volume;
    volume.setPath(path);
    volume.setName(name);
    volume.setSize(size);
    volume.setFreeSpace(free);
    return volume;
}

// The free-space screen over volumes made up for the picture: nothing real is read or selected.
cv::FreeSpaceViewController* pictureFreeSpaceScreen()
{
    return new cv::FreeSpaceViewController(
        new cv::FreeSpaceSelection(
            [] {
                return std::vector<cv::Volume>{
                    shownVolume("/", "Debian", 499'963'174'912, 201'326'592'000),
                    shownVolume("/media/user/USB STICK", "USB STICK", 31'004'295'168, 27'487'790'694),
                    shownVolume("/mnt/backup", "Backup", 2'000'398'934'016, 912'680'550'400)};
            },
            [](const std::string& path) {
                waitWhileHeld();
                auto collection = std::make_shared<cv::PathCollection>();
                collection->setPaths({path});
                return collection;
            },
            [](const std::string& path) { return path != "/mnt/backup"; }),
        false);
}

// A dark desktop as the Fusion style draws it. Disabled controls get their own, dimmer colours,
// as a desktop's dark theme gives them, so that they look disabled.
void useDarkPalette()
{
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::Button, QColor(55, 55, 60));
    dark.setColor(QPalette::ButtonText, QColor(220, 220, 220));
    dark.setColor(QPalette::Light, QColor(80, 80, 86));
    dark.setColor(QPalette::Midlight, QColor(70, 70, 75));
    dark.setColor(QPalette::Mid, QColor(90, 90, 95));
    dark.setColor(QPalette::Dark, QColor(25, 25, 27));
    dark.setColor(QPalette::Shadow, QColor(10, 10, 10));
    dark.setColor(QPalette::Highlight, QColor(42, 110, 200));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(220, 220, 220));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Link, QColor(110, 175, 255));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 124));
    dark.setColor(QPalette::Disabled, QPalette::Button, QColor(45, 45, 48));
    dark.setColor(QPalette::Disabled, QPalette::Base, QColor(40, 40, 42));
    dark.setColor(QPalette::Disabled, QPalette::Highlight, QColor(70, 70, 75));
    QApplication::setPalette(dark);
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

    // After the folder, in any order: "dark", a scale (a number) and a language. The scale is
    // Qt's, set before the application reads it.
    QString language = u"en"_s;
    QString scale;
    bool dark = qEnvironmentVariableIntValue("CINDERVAULT_SCREENSHOTS_DARK") != 0;
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        bool isNumber = false;
        argument.toDouble(&isNumber);
        if (argument == u"dark"_s)
            dark = true;
        else if (isNumber)
            scale = argument;
        else
            language = argument;
    }
    if (!scale.isEmpty())
        ::setenv("QT_SCALE_FACTOR", scale.toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Ostrevane"_s);
    QApplication::setApplicationName(u"Cindervault"_s);
    if (argc < 2)
        qFatal("usage: cindervault_screenshots OUTPUT_FOLDER [LANGUAGE] [SCALE] [dark]");
    g_output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_output);
    cv::AppTranslator::install(app, language);
    if (dark)
        useDarkPalette();
    cv::ScreenFit::install(); // as the program does
    const QString prefix = (language == u"en"_s ? QString() : language + u"-"_s) +
                           (scale.isEmpty() || scale == u"1"_s ? QString() : scale + u"x-"_s) +
                           (dark ? u"dark-"_s : QString());
    auto& settings = cv::SettingsManager::sharedManager();
    // The stored language is the shown one from the start, so that the settings' language list
    // and everything that reads it agree with the pictures' language.
    settings.setObject(QStringList{language}, cv::SettingsManager::kAppleLanguages);

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
    cv::VolumeProbe fakeVolumes{[volume](const std::string& p) { return p == volume; },
                                [](const std::string&) { return false; },
                                [](const std::string&) { return false; }};
    fakeVolumes.describe = [](const std::string& p) {
        return cv::VolumeFacts{"USB STICK", p, "/dev/sdb1", "vfat", 31'004'295'168};
    };

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
    // As small as the window can be made: the screen scrolls rather than being cut off.
    window.resize(window.minimumSizeHint());
    save(&window, prefix + u"01b-shred-smallest"_s, 300);
    cv::ScreenFit::fit(&window, QSize(cv::WindowController::kWidth, cv::WindowController::kHeight), true);

    // The first start of a build: the question before the helper is installed as root.
    {
        auto* question = new cv::HelperInstallDialog(cv::HelperToolService::selfInstallPlaces(), &window);
        question->open();
        save(question, prefix + u"01c-helper-install-question"_s, 300);
        question->reject();
    }

    // The open panel with a folder selected: its button still reads "Select".
    {
        auto* first = shredScreen(window);
        first->selectFiles();
        if (auto* panel = openDialog<cv::OpenPanel>(first, prefix + u"01d-open-panel-folder"_s)) {
            panel->setDirectory(QString::fromStdString(fixtures.path()));
            QTest::qWait(500); // the folder is read
            // Selected in the list as a click would: the button must stay "Select".
            // The views show the panel's proxy of the file-system model.
            const auto* model = panel->findChild<QFileSystemModel*>();
            for (auto* view : panel->findChildren<QAbstractItemView*>()) {
                const auto* proxy = qobject_cast<const QAbstractProxyModel*>(view->model());
                if (model && view->isVisible() && proxy && proxy->sourceModel() == model)
                    view->setCurrentIndex(proxy->mapFromSource(model->index(QString::fromStdString(folder))));
            }
            save(panel, prefix + u"01d-open-panel-folder"_s, 300);
            panel->reject();
        }
    }

    auto* screen = freshShredScreen(window);
    screen->startDragging();
    save(&window, prefix + u"02-shred-dragging"_s, 400);
    screen->stopDragging();

    dropAndWait(screen, {folder});
    // No method chosen yet: Start waits, and the screen says why.
    selectMethod(screen, 0);
    save(&window, prefix + u"03a-shred-files-no-method"_s);
    selectMethod(screen, 13);
    save(&window, prefix + u"03-shred-files"_s);
    // Keyboard focus on Start, a filled button: its focus frame shows.
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window, 3000);
    part<QWidget>(screen, "startShred")->setFocus(Qt::TabFocusReason);
    save(&window, prefix + u"03c-shred-start-focus"_s, 300);
    // The window may grow: the drop zone and the description take the room.
    window.resize(1100, 760);
    save(&window, prefix + u"03b-shred-files-larger"_s, 300);
    cv::ScreenFit::fit(&window, QSize(cv::WindowController::kWidth, cv::WindowController::kHeight), true);

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
    } else {
        missing(prefix + u"04-explorer"_s, u"the explorer did not open"_s);
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
        } else {
            missing(prefix + u"04b-explorer-long"_s, u"the explorer did not open"_s);
        }
        screen = freshShredScreen(window);
        dropAndWait(screen, {folder});
        selectMethod(screen, 13);
    }

    screen->startShred();
    if (auto* confirmation = openDialog<QMessageBox>(screen, prefix + u"05-confirmation"_s)) {
        save(confirmation, prefix + u"05-confirmation"_s, 300);
        confirmation->reject();
    }

    screen = freshShredScreen(window);
    screen->droppedLocations({volume});
    if (auto* sheet = openDialog<cv::VolumeOptionViewController>(screen, prefix + u"06-volume-options"_s)) {
        save(sheet, prefix + u"06-volume-options"_s, 300);
        part<cv::PillButton>(sheet, "completeErase")->click();
    }
    QSignalSpy(screen, &cv::DropFilesViewController::scanFinished).wait(3000);
    selectMethod(screen, 16);
    save(&window, prefix + u"07-shred-volume"_s);
    screen->startShred();
    if (auto* confirmation = openDialog<QMessageBox>(screen, prefix + u"07b-volume-confirmation"_s)) {
        save(confirmation, prefix + u"07b-volume-confirmation"_s, 300);
        confirmation->reject();
    }
    screen->droppedLocations({volume, volume + "/../USB Stick"});
    if (auto* alert = openDialog<QMessageBox>(screen, prefix + u"08-one-volume-alert"_s)) {
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
    if (auto* question = openDialog<QMessageBox>(&window, prefix + u"09b-quit-question"_s)) {
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
    cv::ScreenFit::fit(&window, QSize(cv::WindowController::kWidth, cv::WindowController::kHeight), true);
    {
        // A job that ended with errors: files the helper was refused for and a folder that could
        // not be read. No check mark, and the colour of failure.
        auto result = std::make_shared<cv::ShredResult>();
        result->lastState = std::make_shared<cv::ShredState>();
        result->end = result->start + std::chrono::seconds(42);
        result->fileCountTotal = 5;
        result->fileCountRemoved = 3;
        result->bytesCountRemoved = 3'100'000;
        result->errorCount = 2;
        result->addFailure(cv::ShredItem::Kind::Folder, "/home/user/private", "Folder could not be read",
                           "Permission denied");
        cv::ProgressViewController errors({nullptr, cv::AlgorithmCollection().findByIdentifier(16), nullptr});
        errors.resize(cv::WindowController::kWidth, cv::WindowController::kHeight - 120);
        errors.show();
        errors.finished(result);
        save(&errors, prefix + u"11d-progress-finished-with-errors"_s, 1200);
    }
    // The report window says why there is no report; with the real renderer it shows the report.
    const auto showReportWindow = [&](const QString& name) {
        progress->actionButtonUsed();
        auto* reportWindow =
            qobject_cast<cv::ReportWindowController*>(cv::sharedReportKeeper().reportWindow());
        if (!reportWindow)
            qFatal("no report window");
        QSignalSpy(reportWindow->contentViewController(), &cv::ReportViewController::reportShown).wait(60000);
        reportWindow->resize(QSize(760, 820).boundedTo(cv::ScreenFit::room(reportWindow)));
        save(reportWindow, name, 500);
        reportWindow->close();
    };
    showReportWindow(prefix + u"11b-report-window-failed"_s);
    ::setenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER, 1);
    showReportWindow(prefix + u"13-report-window"_s);
    settings.setBool(true, cv::SettingsManager::kSettingsDeletionShowPrompt);

    // The free-space tab: idle, a volume being looked at, selected, one the user cannot write to,
    // and the confirmation.
    settings.setInteger(16, cv::SettingsManager::kSettingsDeletionDefaultMethod);
    // The temporary-data screen as a user who is not root sees it: the system's categories offered
    // but not chosen (whoever runs the program).
    window.setScreenFactories(pictureFreeSpaceScreen, [] {
        auto* selection = new cv::TempDataSelection(std::make_unique<HeldSearcher>());
        selection->setAdministrator(false);
        return new cv::TempDataViewController(selection);
    });
    window.host()->changeTabToIndex(cv::MainMenuHostViewController::kFreeSpaceTab);
    auto* freeSpace = qobject_cast<cv::FreeSpaceViewController*>(window.freeSpaceTab()->current());
    save(&window, prefix + u"31-freespace-idle"_s, 300);
    auto* table = part<QTableWidget>(freeSpace, "tableView");
    g_holdScans = true;
    table->selectRow(1);
    save(&window, prefix + u"31b-freespace-building"_s, 300);
    {
        QSignalSpy built(freeSpace, &cv::FreeSpaceViewController::scanFinished);
        g_holdScans = false;
        built.wait(5000);
    }
    save(&window, prefix + u"32-freespace-selected"_s, 300);
    table->selectRow(2);
    QTest::qWait(300);
    save(&window, prefix + u"32b-freespace-not-writable"_s, 300);
    table->selectRow(0);
    {
        QSignalSpy built(freeSpace, &cv::FreeSpaceViewController::scanFinished);
        built.wait(5000);
    }
    freeSpace->startShred();
    if (auto* confirmation = openDialog<QMessageBox>(&window, prefix + u"33-freespace-confirmation"_s)) {
        save(confirmation, prefix + u"33-freespace-confirmation"_s, 300);
        confirmation->reject();
    }

    // The temporary-data tab over fixture folders: searching, the results, one category untaken,
    // the two sheets, and the finished job (here no snapshot tool answers).
    const std::string temp = fixtures / "temp";
    for (const char* sub : {"", "/log", "/log/apt", "/cache", "/cache/fonts", "/user", "/user/thumbnails"})
        cv::test::makeDir(temp + sub);
    cv::test::writeFile(temp + "/log/syslog", std::string(2'400'000, 'l'));
    cv::test::writeFile(temp + "/log/apt/history.log", std::string(180'000, 'l'));
    cv::test::writeFile(temp + "/cache/fonts/cache-8", std::string(5'300'000, 'c'));
    cv::test::writeFile(temp + "/user/thumbnails/a.png", std::string(64'000, 'u'));
    cv::test::writeFile(temp + "/user/thumbnails/b.png", std::string(72'000, 'u'));
    ::setenv("CINDERVAULT_TEMP_LOGS", (temp + "/log").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_CACHES", (temp + "/cache").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_USER_CACHES", (temp + "/user").c_str(), 1);
    for (const char* sub : {"/Trash", "/Trash/files", "/Trash/info"})
        cv::test::makeDir(temp + sub);
    cv::test::writeFile(temp + "/Trash/files/old-letter.odt", std::string(420'000, 't'));
    cv::test::writeFile(temp + "/Trash/info/old-letter.odt.trashinfo",
                        "[Trash Info]\nPath=/home/user/old-letter.odt\n");
    ::setenv("CINDERVAULT_TEMP_TRASH", (temp + "/Trash").c_str(), 1);
    window.showFreshTempDataScreen();
    auto* tempScreen = qobject_cast<cv::TempDataViewController*>(window.tempDataTab()->current());
    // The snapshot question as it is asked where snapper keeps snapshots and the helper answers.
    tempScreen->setSnapshotProbe([] { return true; });
    g_holdScans = true;
    window.host()->changeTabToIndex(cv::MainMenuHostViewController::kTemporaryDataTab);
    save(&window, prefix + u"34-tempdata-searching"_s, 400);
    {
        QSignalSpy done(tempScreen, &cv::TempDataViewController::resultsShown);
        g_holdScans = false;
        done.wait(10000);
    }
    save(&window, prefix + u"35-tempdata-results"_s, 300);
    tempScreen->toggle(cv::TempSearcher::UserCaches);
    save(&window, prefix + u"35b-tempdata-one-untaken"_s, 300);
    window.resize(1100, 760);
    save(&window, prefix + u"35c-tempdata-larger"_s, 300);
    cv::ScreenFit::fit(&window, QSize(cv::WindowController::kWidth, cv::WindowController::kHeight), true);
    tempScreen->toggle(cv::TempSearcher::UserCaches);
    tempScreen->startShred();
    if (auto* confirmation = openDialog<QMessageBox>(&window, prefix + u"36-tempdata-confirmation"_s)) {
        save(confirmation, prefix + u"36-tempdata-confirmation"_s, 300);
        confirmation->buttons().first()->click(); // DELETE
    }
    QTest::qWait(200);
    if (auto* question = openDialog<QMessageBox>(&window, prefix + u"36b-tempdata-snapshot-question"_s)) {
        save(question, prefix + u"36b-tempdata-snapshot-question"_s, 300);
        question->buttons().first()->click(); // DELETE: the snapshots too
    }
    if (auto* tempJob = qobject_cast<cv::ProgressViewController*>(window.tempDataTab()->current())) {
        QSignalSpy finished(tempJob, &cv::ProgressViewController::jobFinished);
        if (tempJob->completionCount() == 0)
            finished.wait(60000);
        save(&window, prefix + u"37-tempdata-finished"_s, 1200);
    } else {
        missing(prefix + u"37-tempdata-finished"_s, u"no job was started"_s);
    }

    // An empty report folder first; then saved reports, and a few of them selected.
    const std::string reportFolder = fixtures / "Reports";
    cv::test::makeDir(reportFolder);
    settings.setString(QString::fromStdString(reportFolder),
                       cv::SettingsManager::kSettingsDeletionReportLocation);
    emit cv::sharedReportKeeper().reportGenerated();
    for (std::size_t index : {0u, 4u}) {
        window.host()->changeTabToIndex(index);
        save(&window, prefix + u"12-tab-%1"_s.arg(index), 100);
    }
    // Their cards say how each job ended and what it was aimed at, as a saved report's do; one
    // was saved without these facts (by an earlier version) and shows its date alone.
    const cv::ReportCardFacts cardFacts[] = {
        {QString::fromLatin1(cv::ReportFactory::kSuccess), u"Project Files"_s, 2},
        {QString::fromLatin1(cv::ReportFactory::kErrors),
         u"contract-with-a-rather-long-name-that-needs-room.pdf"_s, 0},
        {QString::fromLatin1(cv::ReportFactory::kCanceled), u"large.iso"_s, 0},
        {QString::fromLatin1(cv::ReportFactory::kOldContentMayRemain), u"Photos"_s, 1204},
    };
    for (int i = 0; i < 9; ++i) {
        const std::string name = "deletionReport_2026_12_0" + std::to_string(1 + i / 3) + "_0" +
                                 std::to_string(1 + i) + "-1" + std::to_string(i) + "-7";
        const std::string path = reportFolder + "/" + name + (i % 4 == 3 ? ".html" : ".pdf");
        cv::test::writeFile(path,
                            "<html><body><h1>Deletion report " + std::to_string(i) + "</h1></body></html>");
        QString why;
        if (i != 8 && !cardFacts[i % 4].writeTo(QString::fromStdString(path), &why))
            missing(prefix + u"14-reports-cards"_s, u"the report cards' facts could not be kept: "_s + why);
    }
    // One of them a real HTML report, of the job above.
    const QString htmlReport =
        QString::fromStdString(reportFolder + "/deletionReport_2026_12_02_04-13-7.html");
    {
        QFile file(htmlReport);
        if (file.open(QIODevice::WriteOnly))
            file.write(cv::ReportFactory(progress->shredResult(), cv::ReportSettings::options(settings))
                           .generateHTMLReport()
                           .toUtf8());
        file.close();
        cv::ReportCardFacts::of(*progress->shredResult()).writeTo(htmlReport);
    }
    emit cv::sharedReportKeeper().reportGenerated();
    save(&window, prefix + u"14-reports-cards"_s, 300);
    auto* reportList = window.findChild<cv::ReportModulListViewController*>();
    QItemSelectionModel* selection = reportList->model()->selection();
    selection->select(reportList->model()->reports()->index(1), QItemSelectionModel::Select);
    save(&window, prefix + u"15-reports-one-selected"_s, 300);
    selection->select(reportList->model()->reports()->index(4), QItemSelectionModel::Select);
    save(&window, prefix + u"16-reports-two-selected"_s, 300);
    reportList->deleteClicked();
    if (auto* question = openDialog<QMessageBox>(reportList, prefix + u"17-reports-delete-question"_s)) {
        save(question, prefix + u"17-reports-delete-question"_s, 300);
        question->reject();
    }
    reportList->openReportForPath(QString::fromStdString(reportFolder + "/deletionReport_gone.pdf"));
    if (auto* alert = openDialog<QMessageBox>(reportList, prefix + u"18-reports-missing-alert"_s)) {
        save(alert, prefix + u"18-reports-missing-alert"_s, 300);
        alert->accept();
    }
    reportList->openReportForPath(htmlReport);
    if (auto* review = window.findChild<cv::ReportReviewViewController*>()) {
        QSignalSpy(review->preview(), &cv::ReportPreview::ready).wait(60000);
        review->resize(760, 600);
        save(review, prefix + u"19-review-window"_s, 500);
        review->close();
    } else {
        missing(prefix + u"19-review-window"_s, u"the review window did not open"_s);
    }

    // A file on a copy-on-write volume with snapshots: the warning and the choice to wipe the volume's free
    // space afterwards (as root only: a btrfs image of the program's own, loop-mounted among the fixtures).
    const std::string photos = fixtures / "Photos";
    cv::test::makeDir(photos);
    cv::test::LoopMount btrfs(fixtures / "photos.img", photos, "btrfs", "128M");
    if (btrfs.available()) {
        cv::test::writeFile(photos + "/beach.jpg", std::string(2450000, 'p'));
        cv::test::makeDir(photos + "/.snapshots"); // as snapper keeps them: the longest warning
        window.host()->changeTabToIndex(1);
        screen = freshShredScreen(window);
        dropAndWait(screen, {photos + "/beach.jpg"});
        selectMethod(screen, 16);
        part<QCheckBox>(screen, "thenWipeFree")->setChecked(true);
        if (part<QWidget>(screen, "copyOnWriteNotice")->isHidden())
            missing(prefix + u"20-shred-copy-on-write"_s, u"the notice did not show for a file on btrfs"_s);
        else
            save(&window, prefix + u"20-shred-copy-on-write"_s);
    } else {
        missing(prefix + u"20-shred-copy-on-write"_s,
                u"the btrfs image could not be mounted: "_s + QString::fromStdString(btrfs.failure()));
    }

    // The dashboard of a laptop with a volume 60 % full (the real machine's facts come in tab 0).
    {
        cv::DashboardFacts facts;
        facts.model = u"ThinkPad X1 Carbon Gen 11"_s;
        facts.machineName = u"workstation"_s;
        facts.serialNumber = u"-"_s;
        facts.osVersion = u"Version Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)"_s;
        facts.diskName = u"/ (Debian)"_s;
        facts.totalBytes = 500'000'000'000;
        facts.freeBytes = 200'000'000'000;
        facts.laptop = true;
        cv::DashboardViewController dashboard(facts);
        dashboard.resize(cv::WindowController::kWidth, cv::WindowController::kHeight - 83);
        dashboard.show();
        save(&dashboard, prefix + u"40-dashboard"_s, 100);
    }

    // The settings window: every pane unlocked, then locked with a PIN, and the PIN dialog.
    auto& services = cv::AppServices::shared();
    cv::NotificationManager notifications(settings, QDBusConnection(u"no-bus"_s));
    cv::UpdateScheduler updates(settings, notifications);
    updates.setFeed(cv::ServiceEndpoints::updateFeedFrom(u"https://updates.example.com/appcast.xml"_s));
    cv::SupportMessageSender support;
    support.setEndpoint(cv::ServiceEndpoints::supportServiceFrom(u"https://support.example.com"_s));
    services.notifications = &notifications;
    services.updateScheduler = &updates;
    services.supportSender = &support;
    const char* paneNames[] = {"general", "notifications", "deletion", "updates", "help"};
    settings.setObject(QStringList{language}, cv::SettingsManager::kAppleLanguages);
    window.showSettings();
    cv::SettingsWindowController* prefs = window.settingsWindow();
    for (int i = 0; i < prefs->tabs()->count(); ++i) {
        prefs->tabs()->setCurrentIndex(i);
        save(prefs, prefix + u"41-settings-%1-%2"_s.arg(i).arg(QLatin1StringView(paneNames[i])), 150);
    }
    // Help with an invalid and then valid fields.
    part<QLineEdit>(prefs, "nameField")->setText(u"Jo Example"_s);
    part<QLineEdit>(prefs, "emailField")->setText(u"jo@localhost"_s);
    save(prefs, prefix + u"42-settings-help-invalid"_s, 150);
    part<QLineEdit>(prefs, "emailField")->setText(u"jo@example.com"_s);
    save(prefs, prefix + u"42b-settings-help-valid"_s, 150);

    // Setting a PIN (first entry, then confirmation), then the locked panes.
    prefs->tabs()->setCurrentIndex(0);
    prefs->lockClicked();
    if (auto* pin = openDialog<cv::SettingsPassword>(prefs, prefix + u"43-pin-set"_s)) {
        save(pin, prefix + u"43-pin-set"_s, 200);
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(pin->field(i), u"1"_s);
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(pin->field(i), i == 3 ? u"2"_s : u"1"_s);
        save(pin, prefix + u"43b-pin-confirm-mismatch"_s, 200);
        // The confirmation starts over in empty fields.
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(pin->field(i), u"1"_s);
    }
    QTest::qWait(300);
    prefs->lockClicked(); // unlocked with a PIN: locks at once
    for (int i = 0; i < 4; ++i) {
        prefs->tabs()->setCurrentIndex(i);
        save(prefs, prefix + u"44-settings-locked-%1-%2"_s.arg(i).arg(QLatin1StringView(paneNames[i])), 150);
    }
    prefs->lockClicked();
    if (auto* pin = openDialog<cv::SettingsPassword>(prefs, prefix + u"45-pin-unlock-wrong"_s)) {
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(pin->field(i), u"9"_s);
        save(pin, prefix + u"45-pin-unlock-wrong"_s, 200);
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(pin->field(i), u"1"_s);
    }
    QTest::qWait(300);
    prefs->tabs()->setCurrentIndex(0);
    save(prefs, prefix + u"46-settings-unlocked-with-pin"_s, 150);
    part<QPushButton>(prefs, "passwordButton")->click();
    if (auto* pin = openDialog<cv::SettingsPassword>(prefs, prefix + u"47-pin-change"_s)) {
        save(pin, prefix + u"47-pin-change"_s, 200);
        pin->reject();
    }
    part<QPushButton>(prefs, "resetButton")->click();
    if (auto* question = openDialog<cv::ResetSettingsDialog>(prefs, prefix + u"48-reset-question"_s)) {
        save(question, prefix + u"48-reset-question"_s, 300);
        question->reject();
    }
    prefs->close();
    settings.reset();

    // A dark desktop: the same screens on a dark Fusion palette.
    useDarkPalette();
    {
        cv::WindowController darkWindow(settings, [&](cv::VolumeOption preset) {
            return new cv::DropFilesViewController(preset, nullptr, fakeVolumes);
        });
        darkWindow.setAttribute(Qt::WA_DeleteOnClose, false);
        darkWindow.host()->changeTabToIndex(0);
        darkWindow.show();
        save(&darkWindow, prefix + u"50-dark-dashboard"_s, 300);
        darkWindow.showSettings();
        cv::SettingsWindowController* darkPrefs = darkWindow.settingsWindow();
        for (int i : {0, 2, 4}) {
            darkPrefs->tabs()->setCurrentIndex(i);
            save(darkPrefs, prefix + u"51-dark-settings-%1-%2"_s.arg(i).arg(QLatin1StringView(paneNames[i])),
                 150);
        }
        darkPrefs->close();
    }

    // Too many wrong PINs: the wait counts down.
    settings.setPin(u"2468"_s);
    settings.lockView();
    {
        cv::SettingsPassword pin(settings, nullptr, nullptr);
        pin.setAttribute(Qt::WA_DeleteOnClose, false);
        pin.show();
        for (int attempt = 0; attempt < 5; ++attempt) {
            for (int i = 0; i < 4; ++i)
                QTest::keyClicks(pin.field(i), u"0"_s);
        }
        save(&pin, prefix + u"49-pin-wait-counting-down"_s, 1300);
    }
    settings.reset();

    if (!g_missing.isEmpty()) {
        qCritical("%lld picture(s) not made:\n%s", static_cast<long long>(g_missing.size()),
                  qPrintable(g_missing.join(u'\n')));
        return 1;
    }
    return 0;
}
