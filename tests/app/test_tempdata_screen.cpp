// The temporary-data screen: busy indicators until each category is in, sizes, toggles and the
// total, the shred button (also for the placeholder method), one search per screen, the sheets,
// and a job over fixture folders that removes every file and keeps every folder.
#include "ProcessRunner.h"
#include "ShredScreenHarness.h"
#include "app/AppServices.h"
#include "app/MainMenuHostViewController.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/PillButton.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/dialogs/SnapshotQuestionDialog.h"
#include "app/progress/ProgressViewController.h"
#include "app/tempdata/SnapshotProbe.h"
#include "app/tempdata/TempDataViewController.h"
#include "common/ByteCountFormatter.h"
#include "tempdata/TempCategories.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

// Three category folders with files in nested folders.
struct Fixture
{
    TempDir dir;
    std::array<std::string, 3> folders{dir / "log", dir / "cache", dir / "user-cache"};

    Fixture()
    {
        for (const std::string& folder : folders) {
            makeDir(folder);
            makeDir(folder + "/sub");
            makeDir(folder + "/sub/empty");
        }
        writeFile(folders[0] + "/syslog", std::string(3000, 'l'));
        writeFile(folders[0] + "/sub/old.1", std::string(1000, 'l'));
        writeFile(folders[1] + "/sub/pkg.bin", std::string(500, 'c'));
        writeFile(folders[2] + "/thumb.png", std::string(200, 'u'));
        writeFile(folders[2] + "/sub/.hidden", std::string(100, 'u'));
    }
    ~Fixture()
    {
        for (const TempCategories::Row& row : TempCategories::rows())
            ::setenv(row.folderVariable, "", 1);
    }
    // Points the log and cache folders of every new searcher here (never the system's).
    void useForNewSearchers() const
    {
        for (const auto type :
             {TempCategories::Logs, TempCategories::SystemCaches, TempCategories::UserCaches})
            ::setenv(TempCategories::find(type)->folderVariable, folders[std::size_t(type)].c_str(), 1);
    }
};

QString total(std::int64_t bytes, int files)
{
    return u"%1, %2 %3"_s.arg(QString::fromStdString(formatByteCount(bytes)))
        .arg(files)
        .arg(files == 1 ? u"file"_s : u"files"_s);
}

template <typename Widget = QWidget> Widget* part(const QWidget* screen, const char* name)
{
    auto* widget = screen->findChild<Widget*>(QLatin1StringView(name));
    EXPECT_NE(widget, nullptr) << "no part " << name;
    return widget;
}

} // namespace

TEST(TempDataScreen, CategoriesTotalsAndTheShredButton)
{
    Fixture fixture;
    fixture.useForNewSearchers();
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
    QWidget host;
    // As root's: every category is chosen (a user's choice is its own test below).
    auto* selection = new TempDataSelection;
    selection->setAdministrator(true);
    auto* screen = new TempDataViewController(selection, &host);
    for (const TempCategories::Row& row : TempCategories::rows())
        EXPECT_TRUE(part<BusyIndicator>(screen, ("progress" + std::string(row.name)).c_str())->isAnimating())
            << row.name;
    EXPECT_FALSE(screen->selection().searchStarted()) << "the search waits for the first appearance";
    EXPECT_TRUE(part(screen, "resultGroup")->isHidden());

    QSignalSpy done(screen, &TempDataViewController::resultsShown);
    host.show();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(part<QLabel>(screen, "header")->text(), u"Temporary data cleaning"_s);
    EXPECT_FALSE(part(screen, "resultGroup")->isHidden());
    for (const TempCategories::Row& row : TempCategories::rows())
        EXPECT_FALSE(part<BusyIndicator>(screen, ("progress" + std::string(row.name)).c_str())->isAnimating())
            << row.name;
    EXPECT_EQ(part<QLabel>(screen, "sizeLogs")->text(), QString::fromStdString(formatByteCount(4000)));
    EXPECT_EQ(part<QLabel>(screen, "resultTotal")->text(), total(4800, 5)) << "every category chosen";
    EXPECT_FALSE(part(screen, "shredButton")->isEnabled()) << "the placeholder method starts nothing";
    screen->startShred();
    EXPECT_EQ(screen->findChild<ConfirmDeletionDialog*>(), nullptr);

    part<QComboBox>(screen, "algoSelect")->setCurrentIndex(ShredScreenHarness::randomMethod());
    EXPECT_TRUE(part(screen, "shredButton")->isEnabled());
    part<PillButton>(screen, "toggleLogs")->click();
    EXPECT_EQ(part<QLabel>(screen, "resultTotal")->text(), total(800, 3));
    EXPECT_EQ(part<PillButton>(screen, "toggleLogs")->text(), u"Select"_s);
    part<PillButton>(screen, "toggleCache")->click();
    part<PillButton>(screen, "toggleUserCache")->click();
    part<PillButton>(screen, "toggleTrash")->click();
    EXPECT_EQ(part<QLabel>(screen, "resultTotal")->text(), total(0, 0));
    EXPECT_FALSE(part(screen, "shredButton")->isEnabled());
    part<PillButton>(screen, "toggleCache")->click();
    EXPECT_TRUE(part(screen, "shredButton")->isEnabled());

    // A second appearance does not search again.
    host.hide();
    host.show();
    EXPECT_FALSE(screen->selection().startSearch());
}

TEST(TempDataScreen, TheSheetsThenAFilesOnlyJobThatKeepsEveryFolderAndFinishTemp)
{
    if (!TempSearcher::runsAsAdministrator())
        GTEST_SKIP() << "the window's own selection chooses the system's categories for root alone";
    Fixture fixture;
    fixture.useForNewSearchers();
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    WindowController window(settings);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    auto* screen = qobject_cast<TempDataViewController*>(window.tempDataTab()->current());
    ASSERT_NE(screen, nullptr);
    screen->setSnapshotProbe([] { return true; }); // as on a machine with snapper and the helper
    QSignalSpy done(screen, &TempDataViewController::resultsShown);
    window.host()->changeTabToIndex(MainMenuHostViewController::kTemporaryDataTab);
    ASSERT_TRUE(done.wait(10000));
    ASSERT_TRUE(part(screen, "shredButton")->isEnabled());

    // Cancel on the confirmation starts nothing.
    screen->startShred();
    auto* confirmation = screen->findChild<ConfirmDeletionDialog*>();
    ASSERT_NE(confirmation, nullptr);
    button(confirmation, u"Cancel"_s)->click();
    QApplication::processEvents();
    EXPECT_EQ(screen->findChild<SnapshotQuestionDialog*>(), nullptr);
    EXPECT_EQ(window.tempDataTab()->current(), screen);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // DELETE, then the snapshot sheet: "Remain" keeps the snapshots.
    screen->startShred();
    confirmation = screen->findChild<ConfirmDeletionDialog*>();
    ASSERT_NE(confirmation, nullptr);
    button(confirmation, u"DELETE"_s)->click();
    auto* question = screen->findChild<SnapshotQuestionDialog*>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(buttonTitles(question), (QStringList{u"DELETE"_s, u"Remain"_s}));
    EXPECT_EQ(question->text(), u"Delete snapshots?"_s);
    button(question, u"Remain"_s)->click();

    auto* progress = qobject_cast<ProgressViewController*>(window.tempDataTab()->current());
    ASSERT_NE(progress, nullptr);
    const JobRequest& request = progress->request();
    EXPECT_FALSE(request.shredOptions->removeSnapshots);
    EXPECT_TRUE(request.shredOptions->filesOnly);
    EXPECT_EQ(request.shredOptions->optionKey, "delete");
    EXPECT_EQ(request.returnTo, JobRequest::ReturnTo::TemporaryDataScreen);
    QSignalSpy finished(progress, &ProgressViewController::jobFinished);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(progress->shredResult()->errorCount, 0u);
    EXPECT_EQ(progress->shredResult()->fileCountRemoved, 5u);
    for (const std::string& folder : fixture.folders) {
        EXPECT_EQ(listNames(folder), std::vector<std::string>{"sub"}) << folder;
        EXPECT_EQ(listNames(folder + "/sub"), std::vector<std::string>{"empty"}) << folder;
    }

    // FinishTemp: the first tab at once, a fresh temporary-data screen a second later.
    QTest::mouseClick(progress->findChild<PillButton*>(u"backButton"_s), Qt::LeftButton);
    EXPECT_EQ(window.host()->currentIndex(), int(MainMenuHostViewController::kOverviewTab));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return qobject_cast<TempDataViewController*>(window.tempDataTab()->current()) != nullptr; },
        3000));

    // Without prompts only the snapshot question comes; DELETE reaches the options.
    settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
    screen = qobject_cast<TempDataViewController*>(window.tempDataTab()->current());
    screen->setSnapshotProbe([] { return true; });
    QSignalSpy again(screen, &TempDataViewController::resultsShown);
    window.host()->changeTabToIndex(MainMenuHostViewController::kTemporaryDataTab);
    ASSERT_TRUE(again.wait(10000));
    std::vector<JobRequest> jobs;
    QObject::connect(screen, &TempDataViewController::jobRequested,
                     [&jobs](const JobRequest& request) { jobs.push_back(request); });
    // Nothing is left to shred, but a chosen (empty) category may still be cleaned.
    screen->startShred();
    EXPECT_EQ(screen->findChild<ConfirmDeletionDialog*>(), nullptr);
    question = screen->findChild<SnapshotQuestionDialog*>();
    ASSERT_NE(question, nullptr);
    button(question, u"DELETE"_s)->click();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs.front().shredOptions->removeSnapshots);
    auto* second = qobject_cast<ProgressViewController*>(window.tempDataTab()->current());
    ASSERT_NE(second, nullptr);
    QSignalSpy secondDone(second, &ProgressViewController::jobFinished);
    ASSERT_TRUE(secondDone.wait(30000)) << "no snapshot tool here: the job still ends";

    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

TEST(TempDataScreen, ShredTheTrashChoosesOnlyTheTrashAndEachRecordGoesWithItsItem)
{
    Fixture fixture;
    fixture.useForNewSearchers();
    const std::string trash = fixture.dir / "Trash";
    for (const char* folder : {"", "/files", "/info", "/files/album"})
        makeDir(trash + folder);
    writeFile(trash + "/files/letter.odt", std::string(300, 't'));
    writeFile(trash + "/info/letter.odt.trashinfo", "[Trash Info]\nPath=/home/u/letter.odt\n");
    writeFile(trash + "/files/album/photo.jpg", std::string(700, 'p'));
    writeFile(trash + "/info/album.trashinfo", "[Trash Info]\nPath=/home/u/album\n");
    ::setenv("CINDERVAULT_TEMP_TRASH", trash.c_str(), 1);
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
    WindowController window(settings);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();

    // The desktop's "Shred the Trash": the temporary-data tab, with only the Trash chosen.
    window.showTrashScreen();
    EXPECT_EQ(window.host()->currentIndex(), int(MainMenuHostViewController::kTemporaryDataTab));
    auto* screen = qobject_cast<TempDataViewController*>(window.tempDataTab()->current());
    ASSERT_NE(screen, nullptr);
    screen->setSnapshotProbe([] { return true; });
    QSignalSpy done(screen, &TempDataViewController::resultsShown);
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(part<PillButton>(screen, "toggleTrash")->text(), u"Deselect"_s);
    for (const TempCategories::Row& row : TempCategories::rows()) {
        if (row.type == TempCategories::Trash)
            continue;
        EXPECT_EQ(part<PillButton>(screen, ("toggle" + std::string(row.name)).c_str())->text(), u"Select"_s)
            << row.name;
    }
    EXPECT_EQ(part<QLabel>(screen, "resultTotal")->text(), total(300 + 700 + 37 + 32, 4))
        << "the two items and their two records";

    screen->startShred();
    auto* question = screen->findChild<SnapshotQuestionDialog*>();
    ASSERT_NE(question, nullptr);
    button(question, u"Remain"_s)->click();
    auto* progress = qobject_cast<ProgressViewController*>(window.tempDataTab()->current());
    ASSERT_NE(progress, nullptr);
    QSignalSpy finished(progress, &ProgressViewController::jobFinished);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(progress->shredResult()->status(), ShredResult::Status::Success);
    EXPECT_TRUE(listNames(trash + "/files").empty()) << "the trashed folder went whole";
    EXPECT_TRUE(listNames(trash + "/info").empty()) << "and each record after its item";
    EXPECT_EQ(listNames(fixture.folders[0] + "/sub"), (std::vector<std::string>{"empty", "old.1"}))
        << "the categories not chosen are untouched";
    ::setenv("CINDERVAULT_TEMP_TRASH", "", 1);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

// A user who is not root: the system's logs and caches are offered, not chosen, and say they need
// the administrator; the user's caches (and the Trash) are chosen. Root gets all four.
TEST(TempDataScreen, AUserGetsTheirOwnCategoriesChosenAndTheSystemsOnesOffered)
{
    Fixture fixture;
    fixture.useForNewSearchers();
    for (const bool administrator : {false, true}) {
        auto* selection = new TempDataSelection;
        selection->setAdministrator(administrator);
        QWidget host;
        auto* screen = new TempDataViewController(selection, &host);
        QSignalSpy done(screen, &TempDataViewController::resultsShown);
        host.show();
        ASSERT_TRUE(done.wait(10000));
        for (const char* name : {"Logs", "Cache"}) {
            const std::string suffix(name);
            EXPECT_EQ(part<PillButton>(screen, ("toggle" + suffix).c_str())->text(),
                      administrator ? u"Deselect"_s : u"Select"_s)
                << name;
            EXPECT_EQ(part(screen, ("needsAdministrator" + suffix).c_str())->isHidden(), administrator)
                << name;
        }
        EXPECT_EQ(part<PillButton>(screen, "toggleUserCache")->text(), u"Deselect"_s);
        EXPECT_EQ(part<PillButton>(screen, "toggleTrash")->text(), u"Deselect"_s);
        EXPECT_TRUE(part(screen, "needsAdministratorUserCache")->isHidden());
        EXPECT_EQ(part<QLabel>(screen, "resultTotal")->text(),
                  administrator ? total(4800, 5) : total(300, 2));
        EXPECT_TRUE(
            part(screen, "boxUserCache")->toolTip().contains(QString::fromStdString(fixture.folders[2])));
        // Offered all the same: a user may still choose the logs (and meet their errors).
        part<PillButton>(screen, "toggleLogs")->click();
        EXPECT_EQ(selection->isChosen(TempSearcher::Logs), !administrator);
    }
}

// The confirmation names what goes, the Trash by name; the snapshot question comes only where
// snapshots exist and can be removed (not on this machine without snapper): the job keeps them.
TEST(TempDataScreen, TheQuestionNamesTheTrashAndNoSnapshotQuestionWithoutSnapshotsToRemove)
{
    Fixture fixture;
    fixture.useForNewSearchers();
    const std::string trash = fixture.dir / "Trash";
    for (const char* folder : {"", "/files", "/info"})
        makeDir(trash + folder);
    writeFile(trash + "/files/letter.odt", std::string(300, 't'));
    writeFile(trash + "/info/letter.odt.trashinfo", "[Trash Info]\nPath=/home/u/letter.odt\n");
    ::setenv("CINDERVAULT_TEMP_TRASH", trash.c_str(), 1);
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    QWidget host;
    auto* selection = new TempDataSelection;
    selection->setAdministrator(false);
    auto* screen = new TempDataViewController(selection, &host);
    bool probed = false;
    screen->setSnapshotProbe([&probed] {
        probed = true;
        return false;
    });
    std::vector<JobRequest> jobs;
    QObject::connect(screen, &TempDataViewController::jobRequested,
                     [&jobs](const JobRequest& request) { jobs.push_back(request); });
    QSignalSpy done(screen, &TempDataViewController::resultsShown);
    host.show();
    ASSERT_TRUE(done.wait(10000));
    screen->startShred();
    auto* confirmation = screen->findChild<ConfirmDeletionDialog*>();
    ASSERT_NE(confirmation, nullptr);
    const QString asked = confirmation->informativeText();
    EXPECT_TRUE(asked.startsWith(u"This destroys the files of your caches and the Trash: 4 files, "_s))
        << asked.toStdString();
    EXPECT_TRUE(asked.contains(u"The Trash is emptied"_s)) << asked.toStdString();
    button(confirmation, u"DELETE"_s)->click();
    EXPECT_TRUE(probed);
    EXPECT_EQ(screen->findChild<SnapshotQuestionDialog*>(), nullptr) << "no question whose yes cannot work";
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_FALSE(jobs.front().shredOptions->removeSnapshots);
    // The default probe on a machine without snapper says no.
    if (QStandardPaths::findExecutable(u"snapper"_s).isEmpty() &&
        QStandardPaths::findExecutable(u"snapper"_s, {u"/usr/sbin"_s, u"/sbin"_s}).isEmpty()) {
        EXPECT_FALSE(SnapshotProbe::snapshotsRemovable());
    }
    ::setenv("CINDERVAULT_TEMP_TRASH", "", 1);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

// Every row of the categories' table is a category of its own wherever one is offered: a box on
// the screen that shows its own folder and whose toggle chooses it alone; an option of clean-temp,
// listed once in the help (so it is no other option's name), that cleans that category alone; and
// a search that finds what its variable names and, without it, its standard folders in the home.
TEST(TempDataScreen, EveryCategoryOfTheTableIsABoxAnOptionAndASearchOfItsOwn)
{
    const auto rows = TempCategories::rows();
    TempDir dir;
    // Each category's folder holds an item in files/ and its record in info/: the Trash's layout,
    // two plain files to any other category. The items' sizes tell the categories apart.
    const auto folderOf = [&](const TempCategories::Row& row) { return dir / std::string(row.name); };
    const auto itemSize = [](const TempCategories::Row& row) { return 1000 * std::size_t(row.type + 1); };
    const std::string record = "[Trash Info]\nPath=/home/u/item\n";
    const auto fill = [&](const TempCategories::Row& row) {
        writeFile(folderOf(row) + "/files/item", std::string(itemSize(row), 'x'));
        writeFile(folderOf(row) + "/info/item.trashinfo", record);
    };
    const auto untouched = [&](const TempCategories::Row& row) {
        return listNames(folderOf(row) + "/files") == std::vector<std::string>{"item"} &&
               listNames(folderOf(row) + "/info") == std::vector<std::string>{"item.trashinfo"};
    };
    for (const TempCategories::Row& row : rows) {
        for (const char* sub : {"", "/files", "/info"})
            makeDir(folderOf(row) + sub);
        fill(row);
        ::setenv(row.folderVariable, folderOf(row).c_str(), 1);
    }
    struct Unset
    {
        ~Unset()
        {
            for (const TempCategories::Row& row : TempCategories::rows())
                ::setenv(row.folderVariable, "", 1);
        }
    } unset;

    // The screen, as root's: every category chosen; each toggle unchooses its own category alone.
    {
        QWidget host;
        auto* selection = new TempDataSelection;
        selection->setAdministrator(true);
        auto* screen = new TempDataViewController(selection, &host);
        QSignalSpy done(screen, &TempDataViewController::resultsShown);
        host.show();
        ASSERT_TRUE(done.wait(10000));
        for (const TempCategories::Row& row : rows) {
            const std::string name(row.name);
            SCOPED_TRACE(name);
            const QString folder = QString::fromStdString(folderOf(row));
            const QStringList shown = part(screen, ("box" + name).c_str())->toolTip().split(u'\n');
            EXPECT_TRUE(std::ranges::any_of(shown, [&](const QString& line) {
                return line == folder || line.startsWith(folder + u'/');
            })) << shown.join(u' ').toStdString();
            EXPECT_EQ(part<QLabel>(screen, ("size" + name).c_str())->text(),
                      QString::fromStdString(formatByteCount(itemSize(row) + record.size())));
            part<PillButton>(screen, ("toggle" + name).c_str())->click();
            for (const TempCategories::Row& other : rows)
                EXPECT_EQ(selection->isChosen(other.type), other.type > row.type) << other.name;
        }
    }

    // The command line: each option once in the help, and each cleans its own category alone.
    const auto help = runProcess({CINDERVAULT_CLI, "clean-temp", "--help"});
    for (const TempCategories::Row& row : rows) {
        const std::string line = "\n  " + std::string(row.flag) + " ";
        const auto first = help.out.find(line);
        EXPECT_NE(first, std::string::npos) << row.flag << "\n" << help.out;
        EXPECT_EQ(first, help.out.rfind(line)) << row.flag << " is listed twice";
    }
    for (const TempCategories::Row& row : rows) {
        SCOPED_TRACE(std::string(row.flag));
        const auto run = runProcess(
            {CINDERVAULT_CLI, "clean-temp", "--yes", "--json", "--no-report", std::string(row.flag)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonObject result = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
        EXPECT_EQ(result.value(u"fileCountRemoved"_s).toInt(), 2) << run.out;
        for (const TempCategories::Row& other : rows)
            EXPECT_EQ(untouched(other), other.type != row.type) << other.name;
        fill(row);
    }

    // Without its variable each category searches its standard folders; those that lie in the
    // user's home (here a home of the test's, without XDG folders) are found there, by that
    // category alone.
    TempDir home;
    std::vector<std::string> homeFolders;
    for (const TempCategories::Row& row : rows) {
        for (const std::string& folder : TempCategories::standardFolders(row, home.path(), "")) {
            if (folder.starts_with(home.path() + "/")) {
                std::filesystem::create_directories(folder);
                homeFolders.push_back(folder);
            }
        }
    }
    EXPECT_FALSE(homeFolders.empty());
    const std::string ownHome = std::getenv("HOME");
    const std::string dataHome = std::getenv("XDG_DATA_HOME");
    const std::string cacheHome = std::getenv("XDG_CACHE_HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CACHE_HOME");
    for (const TempCategories::Row& row : rows)
        ::unsetenv(row.folderVariable);
    std::map<std::string, std::vector<std::string>> foundBy;
    for (const TempCategories::Row& row : rows) {
        for (const std::string& folder : TempCategories::foldersOf(row).folders)
            foundBy[folder].emplace_back(row.name);
    }
    ::setenv("HOME", ownHome.c_str(), 1);
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    for (const std::string& folder : homeFolders)
        EXPECT_EQ(foundBy[folder].size(), 1u) << folder << " is found by as many categories";
}

} // namespace cv::test
