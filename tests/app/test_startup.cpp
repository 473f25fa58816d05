// Start-up: the daily log file, the main menu's tabs, the translations, the question before a
// build installs its helper, the windows fitting the screen at any scale, and the real program
// without a display.
#include "AppTestMain.h"
#include "LoopMount.h"
#include "ProcessRunner.h"
#include "ShredScreenHarness.h"
#include "TempDir.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/MainMenuHostViewController.h"
#include "app/WindowController.h"
#include "app/controls/MenuButton.h"
#include "app/controls/ScreenFit.h"
#include "app/dialogs/HelperInstallDialog.h"
#include "app/explorer/ExplorerFileCell.h"
#include "app/reports/ReportReviewViewController.h"
#include "app/reports/ReportWindowController.h"
#include "app/settings/SettingsGeneral.h"
#include "app/settings/SettingsWindowController.h"
#include "app/tempdata/TempDataViewController.h"
#include "common/ByteCountFormatter.h"
#include "common/Language.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "engine/AlgorithmCollection.h"
#include "engine/MethodCatalogue.h"
#include "engine/ShredResult.h"
#include "reports/ReportFactory.h"
#include "settings/SettingsManager.h"
#include "system/HelperToolService.h"
#include "translations/AppTranslator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

const char* const kForgedLine = "2026-01-01 00:00:00.000 cindervault[1] forged";

// --launch SETTINGS_FILE [--verbose]: the launch steps on that settings file, then one more log
// line.
const ChildMode launch("launch", [](int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "--verbose"))
        return 2;
    SettingsManager settings(QString::fromLocal8Bit(argv[2]));
    AppDelegate delegate(settings);
    delegate.applicationDidFinishLaunching(argc == 4);
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
        // Diagnosis off: nothing is created, and standard error is for what the user must act on;
        // the log lines reach it only when asked for.
        const ProcessResult run = runProcess(child);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(exists(reports + "/logs"));
        EXPECT_EQ(run.err.find("after launch"), std::string::npos) << "diagnostics on standard error";
        std::vector<std::string> verbose = child;
        verbose.push_back("--verbose");
        const ProcessResult asked = runProcess(verbose);
        ASSERT_EQ(asked.exitCode, 0) << asked.err;
        EXPECT_NE(asked.err.find("after launch"), std::string::npos)
            << "--verbose: the log on standard error";
        EXPECT_FALSE(exists(reports + "/logs"));
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

TEST(Startup, WithoutADisplayTheWindowSaysWhatIsMissingAndHowToRunItAndEndsWithOne)
{
    TempDir dir;
    const auto start = [&](const std::string& display, bool verbose = false) {
        std::vector<std::string> argv{
            "env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
        if (!display.empty())
            argv.push_back("DISPLAY=" + display);
        argv.push_back(CINDERVAULT_APP_BINARY);
        if (verbose)
            argv.push_back("--verbose");
        return runProcess(argv, {dir.path(), {}});
    };
    const auto saysWhatToDo = [](const std::string& err) {
        return err.find("needs a graphical session") != std::string::npos &&
               err.find("desktop session") != std::string::npos && err.find("xvfb-run") != std::string::npos;
    };
    // None named, and one named that is not there (the platform plugin fails).
    const std::string absent = "unix:" + (dir / "no-x-server") + ":0";
    for (const std::string& display : {std::string(), absent}) {
        SCOPED_TRACE("DISPLAY=" + display);
        const ProcessResult run = start(display);
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_TRUE(saysWhatToDo(run.err)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one sentence: " << run.err;
        EXPECT_EQ(run.err.find("Reinstalling"), std::string::npos) << run.err;
    }
    // Asked for, Qt's own message comes too, each of its lines a log line of its own.
    const ProcessResult verbose = start(absent, true);
    EXPECT_EQ(verbose.exitCode, 1) << verbose.err;
    EXPECT_TRUE(saysWhatToDo(verbose.err)) << verbose.err;
    EXPECT_NE(verbose.err.find("platform plugin"), std::string::npos) << verbose.err;
    EXPECT_EQ(verbose.err.find("\\x0a"), std::string::npos) << verbose.err;
    EXPECT_GT(std::count(verbose.err.begin(), verbose.err.end(), '\n'), 2) << verbose.err;
}

TEST(Startup, TheMainMenuOpensOnTheShredTabAndIgnoresIndexesPastTheLast)
{
    std::array<QWidget*, MainMenuHostViewController::kTabCount> pages{};
    std::array<QString, MainMenuHostViewController::kTabCount> titles;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        titles[i] = u"Tab %1"_s.arg(i);
        pages[i] = new QWidget;
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

TEST(Startup, EveryTextTheEngineLooksUpIsListedForTheTablesAndTranslated)
{
    // Texts looked up through localized() or given as a file's reason are not seen by lupdate where
    // they are used; a key missing from the translator's list loses its translation at the next
    // update of the tables. Every literal key in the sources must be listed and read German.
    std::ifstream listing(CINDERVAULT_SOURCE_DIR "/translations/AppTranslator.cpp");
    const std::string listed((std::istreambuf_iterator<char>(listing)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(listed.empty());
    const std::regex lookup(R"re((?:localized|because)\("([^"]+)")re");
    std::set<std::string> keys;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CINDERVAULT_SOURCE_DIR)) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h")
            continue;
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), lookup), end; it != end; ++it)
            keys.insert((*it)[1]);
    }
    ASSERT_GT(keys.size(), 10u);
    ASSERT_EQ(AppTranslator::install(*QCoreApplication::instance(), u"de"_s), u"de"_s);
    for (const std::string& key : keys) {
        EXPECT_NE(listed.find("QT_TRANSLATE_NOOP(\"Shared\", \"" + key + "\")"), std::string::npos) << key;
        EXPECT_NE(localized(key), key) << key << " has no German text";
    }
    AppTranslator::install(*QCoreApplication::instance(), u"en"_s);
}

TEST(Startup, WindowReportsAndNumbersAgreeWhetherALanguageIsGerman)
{
    // The window's tables, its language pop-up, the report's language and template, method titles
    // and byte counts each used to decide "German or English" for themselves; a tag one of them
    // read otherwise gave a German window an English report. They all ask languageOf() now.
    const std::string germanTitle = cv::AlgorithmCollection::titleFor(16, "de");
    for (const char* tag : {"de", "de-CH", "de_AT", "en", "en-GB", "fr", "deu", ""}) {
        const bool german = cv::languageOf(tag) == cv::Language::German;
        const QString language = QString::fromLatin1(tag);
        EXPECT_EQ(AppTranslator::install(*QCoreApplication::instance(), language), german ? u"de"_s : u"en"_s)
            << tag;
        EXPECT_EQ(cv::ReportFactory::reportLanguage(language), german ? u"de"_s : u"en"_s) << tag;
        EXPECT_EQ(cv::ReportFactory::templatePath(language).endsWith(u"_de.html"_s), german) << tag;
        EXPECT_EQ(cv::SettingsGeneral::languageIndex(language), german ? 1 : 0) << tag;
        EXPECT_EQ(cv::AlgorithmCollection::titleFor(16, tag) == germanTitle, german) << tag;
        EXPECT_EQ(cv::ByteCountStyle::forLanguage(tag).decimalPoint == ",", german) << tag;
    }
    EXPECT_EQ(cv::languageOf("de-CH"), cv::Language::German) << "a regional German is German";
    EXPECT_EQ(cv::languageOf("fr"), cv::Language::English) << "what is not German is English";
    AppTranslator::install(*QCoreApplication::instance(), u"en"_s);
}

TEST(Startup, EachMethodHasItsOwnTitleAndDescriptionInBothLanguages)
{
    // A method's title and description are found through keys in its catalogue row, the English
    // table and the German translation table: a key in the wrong row or a text under the wrong key
    // shows one method with another's words. Each method's texts must name what only that method's
    // texts name (its standard, its pass count), in both languages, and its title must begin with
    // its number of passes. The marks are checked to fit no other method, so a swap always shows.
    struct Marks
    {
        std::uint64_t identifier;
        const char* title;       // in the English and the German title
        const char* description; // in the English and the German description
    };
    const Marks marks[] = {
        {1, "DWA (2007)", "50-"},
        {2, "Gutmann", "35-"},
        {3, "TL-03423", "TL-03423"},
        {4, "NATO", "NATO"},
        {5, "5220.22-M ECE", "5220.22-M ECE"},
        {21, "RCMP", "TSSIT OPS-II"},
        {6, "BSI-2011-VS", "BSI-2011-VS"},
        {18, "ADWA (2017)", "4-"},
        {7, "5220.22-M E f", "5220.22-M E f"},
        {17, "CSEC", "ITSG-06"},
        {8, "HMG", "HMG"},
        {9, "AFSSI-5020", "AFSSI-5020"},
        {10, "(MFM)", "MFM-"},
        {11, "(RLL)", "RLL-"},
        {12, "AR380-19", "AR380-19"},
        {13, "DoD", "5220.22-M E:"},
        {19, "NCSC", "NCSC-TG-025"},
        {20, "GOST", "GOST R 50739-95"},
        {14, "ISM", "ISM 6.2.92"},
        {15, "0xff", "byte 0xff"},
        {16, "random data|Zufallswerte", "random data: fast|Zufallsdaten: schnell"},
    };
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    // One of the |-separated marks is in text, case aside.
    const auto names = [&](const std::string& text, const char* mark) {
        std::stringstream alternatives(mark);
        for (std::string one; std::getline(alternatives, one, '|');) {
            if (lower(text).find(lower(one)) != std::string::npos)
                return true;
        }
        return false;
    };
    const auto passesOf = [](const std::string& title) { return std::strtoull(title.c_str(), nullptr, 10); };
    struct Texts
    {
        std::uint64_t passes;
        std::string title[2], description[2]; // English, German
    };
    std::map<std::uint64_t, Texts> texts;
    for (const cv::MethodCatalogue::Row& row : cv::MethodCatalogue::rows()) {
        if (row.passes > 0)
            texts[row.identifier] = {row.passes, {englishText(row.title)}, {englishText(row.descriptionKey)}};
    }
    ASSERT_EQ(AppTranslator::install(*QCoreApplication::instance(), u"de"_s), u"de"_s);
    for (const cv::MethodCatalogue::Row& row : cv::MethodCatalogue::rows()) {
        if (row.passes > 0) {
            texts[row.identifier].title[1] = localized(row.title);
            texts[row.identifier].description[1] = localized(row.descriptionKey);
        }
    }
    AppTranslator::install(*QCoreApplication::instance(), u"en"_s);
    ASSERT_EQ(texts.size(), std::size(marks)) << "every method has its marks";

    for (const Marks& mark : marks) {
        ASSERT_TRUE(texts.contains(mark.identifier)) << mark.identifier;
        const Texts& own = texts.at(mark.identifier);
        for (int language : {0, 1}) {
            const char* in = language == 0 ? " (English)" : " (German)";
            EXPECT_EQ(passesOf(own.title[language]), own.passes) << own.title[language] << in;
            EXPECT_TRUE(names(own.title[language], mark.title))
                << mark.identifier << in << ": " << own.title[language];
            EXPECT_TRUE(names(own.description[language], mark.description))
                << mark.identifier << in << ": " << own.description[language];
            for (const auto& [other, theirs] : texts) {
                if (other == mark.identifier)
                    continue;
                EXPECT_FALSE(passesOf(theirs.title[language]) == own.passes &&
                             names(theirs.title[language], mark.title))
                    << "the title mark of " << mark.identifier << " also fits method " << other << in;
                EXPECT_FALSE(names(theirs.description[language], mark.description))
                    << "the description mark of " << mark.identifier << " also fits method " << other << in;
            }
        }
    }
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

namespace cv::test {

namespace {

// The frame of a shown window, as the window manager (here the platform) draws it, and the
// available area of its screen.
::testing::AssertionResult fitsItsScreen(const QWidget& window)
{
    const QRect area = ScreenFit::availableArea(&window);
    const QRect frame = window.frameGeometry();
    if (area.contains(frame))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << window.objectName().toStdString() << " frame " << frame.x() << "," << frame.y() << " "
           << frame.width() << "x" << frame.height() << " outside the available area " << area.x() << ","
           << area.y() << " " << area.width() << "x" << area.height() << " (scale "
           << window.devicePixelRatio() << ")";
}

// The smallest screen the windows must fit, in its own points: 1280 by 720 pixels at 1.5.
constexpr QSize kSmallestScreen{1280 * 2 / 3, 720 * 2 / 3};

// Runs this program's window-fit tests again on a screen of width x height pixels at scale.
::testing::AssertionResult fitsAt(int width, int height, const char* scale)
{
    TempDir dir;
    const std::string config = dir / "screen.json";
    writeFile(config, "{\"screens\": [{\"name\": \"fit\", \"x\": 0, \"y\": 0, \"width\": " +
                          std::to_string(width) + ", \"height\": " + std::to_string(height) +
                          ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + QString::fromStdString(config));
    environment.insert(u"QT_SCALE_FACTOR"_s, QString::fromLatin1(scale));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QString::fromStdString(testProgramPath()), {u"--gtest_filter=WindowFit.*"_s});
    if (!child.waitForFinished(180000))
        return ::testing::AssertionFailure() << "the child run did not end";
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 ||
        !output.contains(u"[       OK ] WindowFit.TheMainWindow"_s))
        return ::testing::AssertionFailure() << width << "x" << height << " at " << scale << ":\n"
                                             << output.toStdString();
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(WindowFit, TheMainWindowTakesItsStartSizeWhereItFitsElseTheAvailableAreaAndCanBeMadeSmaller)
{
    WindowController window(SettingsManager::sharedManager());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(fitsItsScreen(window));
    const QRect area = ScreenFit::availableArea(&window);
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // The start size where it fits; in a dimension where it does not, the available area.
    const QSize room(area.width() - frame.left() - frame.right(),
                     area.height() - frame.top() - frame.bottom());
    EXPECT_EQ(window.size(), QSize(WindowController::kWidth, WindowController::kHeight).boundedTo(room));
    // Smaller than the start, down to what the smallest screen holds with a frame around: every
    // screen of the five tabs scrolls then rather than being cut off.
    const QSize smallest =
        kSmallestScreen - QSize(frame.left() + frame.right(), frame.top() + frame.bottom() + 40);
    EXPECT_LE(window.minimumSize().width(), smallest.width()) << "no minimum size equal to the start size";
    EXPECT_LE(window.minimumSizeHint().width(), smallest.width());
    EXPECT_LE(window.minimumSizeHint().height(), smallest.height());
    window.resize(smallest);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), smallest);
    for (std::size_t tab = 0; tab < MainMenuHostViewController::kTabCount; ++tab) {
        window.host()->changeTabToIndex(tab);
        QApplication::processEvents();
        auto* scroll = qobject_cast<QScrollArea*>(window.host()->tabController()->currentWidget());
        ASSERT_NE(scroll, nullptr) << "tab " << tab << " has no scroll area";
        EXPECT_GE(scroll->widget()->height(), scroll->widget()->minimumSizeHint().height())
            << "tab " << tab << " is squeezed below its layout's minimum";
    }
}

TEST(WindowFit, TheReportWindowsAndTheSettingsFitTheScreenFrameIncluded)
{
    SettingsManager& settings = SettingsManager::sharedManager();
    {
        // A width and place kept from a larger screen.
        settings.setInteger(5000, ReportWindowController::kWidthKey);
        settings.setInteger(4000, ReportWindowController::kXKey);
        auto result = std::make_shared<ShredResult>();
        result->lastState = std::make_shared<ShredState>();
        ReportWindowController report(settings, sharedReportKeeper(), result);
        report.setAttribute(Qt::WA_DeleteOnClose, false);
        report.show();
        QApplication::processEvents();
        EXPECT_TRUE(fitsItsScreen(report));
        const QRect area = ScreenFit::availableArea(&report);
        EXPECT_GE(report.frameGeometry().height(), area.height() - 1)
            << "the report window takes the screen's height, frame included";
        report.close();
    }
    {
        TempDir dir;
        ReportReviewViewController review(QUrl::fromLocalFile(QString::fromStdString(dir / "r.html")));
        review.setAttribute(Qt::WA_DeleteOnClose, false);
        review.show();
        QApplication::processEvents();
        EXPECT_TRUE(fitsItsScreen(review));
    }
    {
        SettingsWindowController preferences(settings, {});
        preferences.setAttribute(Qt::WA_DeleteOnClose, false);
        preferences.show();
        QApplication::processEvents();
        EXPECT_TRUE(fitsItsScreen(preferences));
        EXPECT_LT(preferences.minimumSizeHint().height(), kSmallestScreen.height() - 60);
    }
    {
        // Any other window the program opens, too large for the screen when it is shown.
        QWidget large(nullptr, Qt::Window);
        large.resize(4000, 3000);
        large.show();
        QApplication::processEvents();
        EXPECT_TRUE(fitsItsScreen(large));
    }
}

// Whether widget is shown whole: inside every widget that holds it, the scroll areas' viewports
// included, and so inside the window.
::testing::AssertionResult wholeInView(const QWidget* widget)
{
    if (!widget->isVisible())
        return ::testing::AssertionFailure() << widget->objectName().toStdString() << " is hidden";
    for (const QWidget* holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
        const QRect area(widget->mapTo(holder, QPoint()), widget->size());
        if (!holder->rect().contains(area))
            return ::testing::AssertionFailure()
                   << widget->objectName().toStdString() << " at " << area.x() << "," << area.y() << " "
                   << area.width() << "x" << area.height() << " lies outside "
                   << holder->objectName().toStdString() << " " << holder->width() << "x" << holder->height();
        if (holder->isWindow())
            break;
    }
    return ::testing::AssertionSuccess();
}

// The screens that start jobs keep Start in view at the window's start size (or the largest the
// screen holds, at any scale): only the content above it scrolls. The copy-on-write notice, which
// every btrfs user sees, makes the shred screen taller still.
TEST(WindowFit, StartStaysInViewOnTheScreensThatStartJobs)
{
    ShredScreenHarness h;
    QApplication::processEvents();
    const std::pair<std::size_t, const char*> screens[] = {
        {MainMenuHostViewController::kShredTab, "startShred"},
        {MainMenuHostViewController::kFreeSpaceTab, "startShred"},
        {MainMenuHostViewController::kTemporaryDataTab, "shredButton"}};
    const auto startOf = [&](std::size_t tab, const char* name) {
        h.window.host()->changeTabToIndex(tab);
        QApplication::processEvents();
        auto* page = h.window.host()->tabController()->currentWidget();
        return page->findChild<QWidget*>(QLatin1StringView(name));
    };
    for (const auto& [tab, name] : screens) {
        const QWidget* start = startOf(tab, name);
        ASSERT_NE(start, nullptr) << "tab " << tab;
        EXPECT_TRUE(wholeInView(start))
            << "tab " << tab << " in " << h.window.width() << "x" << h.window.height();
    }
    // The temporary data's total, once the search is in, stays in view beside its button.
    auto* tempData = qobject_cast<TempDataViewController*>(h.window.tempDataTab()->current());
    ASSERT_NE(tempData, nullptr);
    if (!tempData->selection().searchComplete()) {
        QSignalSpy searched(tempData, &TempDataViewController::resultsShown);
        ASSERT_TRUE(searched.wait(30000));
    }
    QApplication::processEvents();
    for (const char* name : {"resultTotal", "methodSummary", "shredButton"}) {
        const auto* part = tempData->findChild<QWidget*>(QLatin1StringView(name));
        ASSERT_NE(part, nullptr) << name;
        EXPECT_TRUE(wholeInView(part)) << name << " in " << h.window.width() << "x" << h.window.height();
    }

    const std::string volume = h.dir / "btrfs";
    makeDir(volume);
    LoopMount btrfs(h.dir / "btrfs.img", volume, "btrfs", "128M");
    if (!btrfs.available())
        GTEST_SKIP() << "the copy-on-write notice needs root and btrfs";
    writeFile(volume + "/file", std::string(100, 'v'));
    h.window.host()->changeTabToIndex(MainMenuHostViewController::kShredTab);
    ASSERT_TRUE(h.dropAndWait({volume + "/file"}));
    QApplication::processEvents();
    ASSERT_TRUE(h.shown("copyOnWriteNotice"));
    EXPECT_TRUE(wholeInView(h.part("startShred"))) << "with the copy-on-write notice";
    EXPECT_TRUE(wholeInView(h.part("methodSummary")));
}

// How many pixels of widget change, and clearly (by a quarter of a colour channel at least), when
// it gets the keyboard focus: a focus sign a user can see.
int focusSignPixels(QWidget* widget)
{
    widget->clearFocus();
    QApplication::processEvents();
    const QImage without = widget->grab().toImage();
    widget->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage with = widget->grab().toImage();
    if (!widget->hasFocus() || with.size() != without.size())
        return -1;
    int changed = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            const QColor a = with.pixelColor(x, y);
            const QColor b = without.pixelColor(x, y);
            if (std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                          std::abs(a.blue() - b.blue())}) >= 64)
                ++changed;
        }
    }
    return changed;
}

bool activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Keyboard use: the focus starts at the tab that is shown; the filled buttons, the gear and the
// lock show the focus; Escape and Ctrl+W close the settings and a report window.
TEST(Keyboard, FocusStartsAtTheShownTabEveryControlShowsItAndEscapeClosesSecondaryWindows)
{
    SettingsManager& settings = SettingsManager::sharedManager();
    WindowController window(settings);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(activate(window));
    EXPECT_EQ(QApplication::focusWidget(), window.host()->tab(MainMenuHostViewController::kShredTab))
        << "the focus starts at the shown tab, Shred Files";

    auto* start = window.host()->tabController()->currentWidget()->findChild<QPushButton*>(u"startShred"_s);
    ASSERT_NE(start, nullptr);
    start->setEnabled(true); // as with files and a method chosen
    EXPECT_GE(focusSignPixels(start), 60) << "Start shows the focus";
    auto* gear = window.findChild<QWidget*>(u"settingsButton"_s);
    ASSERT_NE(gear, nullptr);
    EXPECT_GE(focusSignPixels(gear), 40) << "the gear shows the focus";

    // Escape and Ctrl+W close the settings.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        window.showSettings();
        QPointer<SettingsWindowController> preferences = window.settingsWindow();
        ASSERT_NE(preferences, nullptr);
        ASSERT_TRUE(activate(*preferences));
        auto* lock = preferences->findChild<QWidget*>(u"lockButton"_s);
        ASSERT_NE(lock, nullptr);
        EXPECT_GE(focusSignPixels(lock), 40) << "the lock shows the focus";
        QTest::keySequence(preferences->focusWidget() ? preferences->focusWidget() : preferences.data(),
                           keys);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(preferences.isNull() || !preferences->isVisible()) << keys.toString().toStdString();
        if (preferences)
            preferences->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // And a report window.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto result = std::make_shared<ShredResult>();
        result->lastState = std::make_shared<ShredState>();
        QPointer<ReportWindowController> report =
            new ReportWindowController(settings, sharedReportKeeper(), result);
        ASSERT_TRUE(activate(*report));
        QTest::keySequence(report.data(), keys);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(report.isNull() || !report->isVisible()) << keys.toString().toStdString();
        if (report)
            delete report.data();
    }
}

TEST(WindowFitScales, AtOneTwiceAndOneAndAHalfTheScale)
{
    EXPECT_TRUE(fitsAt(1920, 1080, "1"));
    EXPECT_TRUE(fitsAt(1920, 1080, "2"));
    EXPECT_TRUE(fitsAt(1280, 720, "1.5"));
}

TEST(Startup, AWindowFromABuildAsksBeforeItInstallsItsHelperAndNotNowInstallsNothing)
{
    TempDir dir;
    const std::string marker = dir / "installed";
    const auto answerWith = [&](const char* buttonName) {
        // No bus: the helper does not answer, so the build would install it.
        HelperToolService service(QString::fromStdString("unix:path=" + (dir / "no-bus")));
        service.setInstallCommand(u"/bin/sh"_s, {u"-c"_s, QString::fromStdString("touch '" + marker + "'")});
        service.setInstallQuestion(&HelperInstallDialog::ask);
        QSignalSpy installed(&service, &HelperToolService::installFinished);
        service.installIfNeeded();
        HelperInstallDialog* question = nullptr;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (auto* found = qobject_cast<HelperInstallDialog*>(window); found && found->isVisible())
                        question = found;
                }
                return question != nullptr;
            },
            10000));
        if (!question)
            return;
        EXPECT_FALSE(exists(marker)) << "nothing runs as root before the answer";
        // What is installed where, and why.
        for (const QString& place : HelperToolService::selfInstallPlaces())
            EXPECT_TRUE(question->informativeText().contains(place)) << place.toStdString();
        EXPECT_TRUE(question->informativeText().contains(u"root"_s));
        EXPECT_EQ(question->defaultButton(), question->findChild<QPushButton*>(u"notNowButton"_s))
            << "Return runs nothing as root";
        EXPECT_TRUE(question->informativeText().contains(u"margin-left"_s))
            << "a wrapped path keeps its indent";
        auto* button = question->findChild<QAbstractButton*>(QLatin1StringView(buttonName));
        EXPECT_NE(button, nullptr) << buttonName;
        if (!button)
            return;
        button->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return installed.count() > 0; }, 10000));
        if (std::string(buttonName) == "notNowButton") {
            EXPECT_FALSE(installed.at(0).at(0).toBool());
            // Asked once a run: a later need of the helper neither asks nor installs.
            service.installAction();
            EXPECT_TRUE(QTest::qWaitFor([&] { return installed.count() > 1; }, 10000));
            for (QWidget* window : QApplication::topLevelWidgets())
                EXPECT_FALSE(qobject_cast<HelperInstallDialog*>(window) && window->isVisible());
        } else {
            EXPECT_TRUE(installed.at(0).at(0).toBool());
        }
    };
    answerWith("notNowButton");
    EXPECT_FALSE(exists(marker)) << "Not now installs nothing";
    answerWith("installButton");
    EXPECT_TRUE(exists(marker));
}

} // namespace cv::test
