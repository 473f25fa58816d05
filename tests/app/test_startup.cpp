// Start-up: the daily log file, the main menu's tabs and the translations.
#include "AppTestMain.h"
#include "ProcessRunner.h"
#include "TempDir.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/AppTranslator.h"
#include "app/MainMenuHostViewController.h"
#include "app/PlaceholderPage.h"
#include "app/WindowController.h"
#include "app/controls/MenuButton.h"
#include "app/explorer/ExplorerFileCell.h"
#include "app/settings/SettingsWindowController.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QAbstractButton>
#include <QDate>
#include <QFile>
#include <QTabBar>
#include <QTabWidget>
#include <QTranslator>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

const char* const kForgedLine = "2026-01-01 00:00:00.000 cindervault[1] forged";

// --launch SETTINGS_FILE: the launch steps on that settings file, then one more log line.
const ChildMode launch("launch", [](int argc, char** argv) {
    if (argc != 3)
        return 2;
    SettingsManager settings(QString::fromLocal8Bit(argv[2]));
    AppDelegate delegate(settings);
    delegate.applicationDidFinishLaunching();
    // A file name with a line break of its own, as a job would log it.
    logMessage("after launch, naming x\n", kForgedLine);
    return 0;
});

std::string readText(const std::string& path)
{
    const auto bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(Startup, WithDiagnosisOnEveryRunOfADayAppendsToOneFileStartingWithAppStartup)
{
    TempDir dir;
    const std::string reports = dir / "Berichte \xC3\xA4"; // a folder name that is not ASCII
    const QString settingsFile = QString::fromStdString(dir / "settings.ini");
    {
        SettingsManager settings(settingsFile);
        settings.setString(QFile::decodeName(QByteArray::fromStdString(reports)),
                           SettingsManager::kSettingsDeletionReportLocation);
        settings.setBool(false, SettingsManager::kSettingsGeneralDiagnose);
    }
    const std::vector<std::string> child{testProgramPath(), "--launch", settingsFile.toStdString()};
    {
        // Diagnosis off: nothing is created.
        const ProcessResult run = runProcess(child);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(exists(reports + "/logs"));
        EXPECT_NE(run.err.find("after launch"), std::string::npos) << "the log stays on standard error";
    }
    SettingsManager(settingsFile).setBool(true, SettingsManager::kSettingsGeneralDiagnose);
    for (int i = 0; i < 2; ++i) {
        const ProcessResult run = runProcess(child);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err.find("after launch"), std::string::npos) << "standard error went to the file";
    }
    const std::string file =
        reports + "/logs/" + QDate::currentDate().toString(u"yyyy-MM-dd"_s).toStdString() + ".log";
    ASSERT_TRUE(exists(file));
    EXPECT_EQ(AppDelegate::logFilePath(u"/r/reports/"_s, QDate(2031, 12, 31)),
              u"/r/reports/logs/2031-12-31.log"_s);
    const std::string text = readText(file);
    const std::string firstLine = text.substr(0, text.find('\n'));
    EXPECT_NE(firstLine.find("App Startup"), std::string::npos) << firstLine;
    std::size_t runs = 0;
    for (std::size_t at = text.find("App Startup"); at != std::string::npos;
         at = text.find("App Startup", at + 1))
        ++runs;
    EXPECT_EQ(runs, 2u) << "both runs of the day append to the same file";
    EXPECT_NE(text.find("after launch"), std::string::npos);
}

TEST(Startup, TheLogFileIsTheUsersAloneNeverALinkAndNamesCannotForgeLines)
{
    TempDir dir;
    const std::string reports = dir / "shared/reports";
    const std::string logs = reports + "/logs";
    const std::string file =
        logs + "/" + QDate::currentDate().toString(u"yyyy-MM-dd"_s).toStdString() + ".log";
    const QString settingsFile = QString::fromStdString(dir / "settings.ini");
    {
        SettingsManager settings(settingsFile);
        settings.setString(QString::fromStdString(reports), SettingsManager::kSettingsDeletionReportLocation);
        settings.setBool(true, SettingsManager::kSettingsGeneralDiagnose);
    }
    const mode_t oldMask = ::umask(022);
    makeDir(dir / "shared");
    const std::vector<std::string> child{testProgramPath(), "--launch", settingsFile.toStdString()};
    {
        // A link planted where the log goes: not followed; the log stays on standard error.
        makeDir(reports);
        makeDir(logs);
        writeFile(dir / "victim", std::string("untouched\n"));
        ASSERT_EQ(::symlink((dir / "victim").c_str(), file.c_str()), 0);
        const ProcessResult run = runProcess(child);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(readText(dir / "victim"), "untouched\n");
        EXPECT_NE(run.err.find("Failed to open log file"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("after launch"), std::string::npos) << run.err;
        removeTree(reports);
    }
    const ProcessResult run = runProcess(child);
    ::umask(oldMask);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto modeOf = [](const std::string& path) {
        struct stat info = {};
        return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 07777u;
    };
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(logs), 0700u);
    EXPECT_EQ(modeOf(reports), 0700u);
    EXPECT_EQ(modeOf(dir / "shared"), 0755u) << "a folder that existed keeps its mode";
    const std::string text = readText(file);
    EXPECT_NE(text.find(std::string("naming x\\x0a") + kForgedLine), std::string::npos) << text;
    EXPECT_EQ(text.find(std::string("\n") + kForgedLine), std::string::npos) << text;
}

TEST(Startup, TheMainMenuOpensOnTheShredTabAndIgnoresIndexesPastTheLast)
{
    std::array<QWidget*, MainMenuHostViewController::kTabCount> pages{};
    std::array<QString, MainMenuHostViewController::kTabCount> titles;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        titles[i] = u"Tab %1"_s.arg(i);
        pages[i] = new PlaceholderPage(titles[i]);
    }
    MainMenuHostViewController host(pages, titles);
    const auto activeTabs = [&] {
        std::vector<std::size_t> active;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (host.tab(i)->active())
                active.push_back(i);
        }
        return active;
    };
    EXPECT_EQ(host.currentIndex(), 1);
    EXPECT_EQ(activeTabs(), std::vector<std::size_t>{1});

    host.changeTabToIndex(4);
    EXPECT_EQ(host.currentIndex(), 4);
    EXPECT_EQ(activeTabs(), std::vector<std::size_t>{4});
    host.changeTabToIndex(5);
    host.changeTabToIndex(std::size_t(-1));
    EXPECT_EQ(host.currentIndex(), 4) << "an index past the last tab changes nothing";
    EXPECT_EQ(activeTabs(), std::vector<std::size_t>{4});
    host.tab(0)->click();
    EXPECT_EQ(host.currentIndex(), 0);
    EXPECT_EQ(activeTabs(), std::vector<std::size_t>{0});
    // A button that is none of the five deactivates all and selects nothing.
    MenuButton stranger(u"x"_s);
    host.changeTab(&stranger);
    EXPECT_EQ(host.currentIndex(), 0);
    EXPECT_TRUE(activeTabs().empty());
}

TEST(Startup, TheLanguageSettingPicksTheTablesAndTheEngineTextsFollow)
{
    EXPECT_EQ(AppTranslator::languageAtStartup(u"de"_s), u"de"_s);
    EXPECT_FALSE(AppTranslator::languageAtStartup(QString()).isEmpty());

    // English (installed by the test program): symbol keys and German method titles read as English.
    EXPECT_EQ(localized("Erasing Data"), "Erasing Data");
    EXPECT_EQ(localized(" 1 Runde: Zufallswerte"), " 1 pass: random data");
    EXPECT_EQ(QCoreApplication::translate("cv::DropFilesViewController", "cannot_delete_hdd").left(18),
              u"The startup volume"_s);

    // German on top: the engine's hook reads the German table, also from a worker thread.
    const QList<QTranslator*> before = QCoreApplication::instance()->findChildren<QTranslator*>();
    EXPECT_EQ(AppTranslator::install(*QCoreApplication::instance(), u"de"_s), u"de"_s);
    EXPECT_EQ(localized("Erasing Data"), "Daten werden gelöscht");
    std::string fromWorker;
    std::thread([&] { fromWorker = localized("Canceling..."); }).join();
    EXPECT_EQ(fromWorker, "Wird abgebrochen...");
    EXPECT_EQ(QCoreApplication::translate("cv::ProgressViewController", "Deletion canceled"),
              u"Löschen abgebrochen"_s);
    EXPECT_EQ(localized("IDS__ALGORITHM_DETAIL_RANDOM").substr(0, 20), "Eine Runde mit Zufal");

    // An unknown language falls back to English.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        if (!before.contains(translator)) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    EXPECT_EQ(AppTranslator::install(*QCoreApplication::instance(), u"xx"_s), u"en"_s);
    EXPECT_EQ(localized("Erasing Data"), "Erasing Data");
}

TEST(Startup, EveryButtonWithoutWordsHasATooltipAndAnAccessibleName)
{
    // Buttons that show only an icon say what they do to the mouse (tooltip) and to a screen
    // reader (accessible name). Each tab and pane is walked while it is shown; Qt's own tab-bar
    // arrows are Qt's affair.
    const auto wordless = [](QWidget* root) {
        QStringList faults;
        for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
            if (qobject_cast<QTabBar*>(button->parentWidget()) || !button->isVisibleTo(root))
                continue;
            if (!button->text().remove(u'&').trimmed().isEmpty())
                continue;
            if (button->toolTip().isEmpty() || button->accessibleName().isEmpty())
                faults << u"%1 \"%2\" (in %3 of %4)"_s.arg(
                    QLatin1StringView(button->metaObject()->className()), button->objectName(),
                    QLatin1StringView(button->parent()->metaObject()->className()), root->objectName());
        }
        return faults;
    };
    WindowController window(SettingsManager::sharedManager());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QStringList faults;
    for (std::size_t tab = 0; tab < MainMenuHostViewController::kTabCount; ++tab) {
        window.host()->changeTabToIndex(tab);
        faults << wordless(&window);
    }
    window.showSettings();
    ASSERT_NE(window.settingsWindow(), nullptr);
    for (int pane = 0; pane < window.settingsWindow()->tabs()->count(); ++pane) {
        window.settingsWindow()->tabs()->setCurrentIndex(pane);
        faults << wordless(window.settingsWindow());
    }
    window.settingsWindow()->close();
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u", "_s).toStdString();

    // The explorer's row controls are drawn, not widgets: each has its tooltip.
    for (const auto part : {ExplorerFileCell::Part::FolderButton, ExplorerFileCell::Part::SelectedButton,
                            ExplorerFileCell::Part::FinderButton, ExplorerFileCell::Part::PreviewButton})
        EXPECT_FALSE(ExplorerFileCell::partTitle(part).isEmpty());
}

} // namespace cv::test
