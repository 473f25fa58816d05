// The temporary-data screen: busy indicators until each category is in, sizes, toggles and the
// total, the shred button (also for the placeholder method), one search per screen, the sheets,
// and a job over fixture folders that removes every file and keeps every folder.
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

#include <QLabel>
#include <QStandardPaths>

#include <cstdlib>

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
        for (const char* variable : TempSearcher::kFolderVariables)
            ::setenv(variable, "", 1);
    }
    // Points the category folders of every new searcher here (never the system's).
    void useForNewSearchers() const
    {
        for (std::size_t type = 0; type < 3; ++type)
            ::setenv(TempSearcher::kFolderVariables[type], folders[type].c_str(), 1);
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
    for (const char* name : {"progressLogs", "progressCache", "progressUserCache"})
        EXPECT_TRUE(part<BusyIndicator>(screen, name)->isAnimating()) << name;
    EXPECT_FALSE(screen->selection().searchStarted()) << "the search waits for the first appearance";
    EXPECT_TRUE(part(screen, "resultGroup")->isHidden());

    QSignalSpy done(screen, &TempDataViewController::resultsShown);
    host.show();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(part<QLabel>(screen, "header")->text(), u"Temporary data cleaning"_s);
    EXPECT_FALSE(part(screen, "resultGroup")->isHidden());
    for (const char* name : {"progressLogs", "progressCache", "progressUserCache"})
        EXPECT_FALSE(part<BusyIndicator>(screen, name)->isAnimating()) << name;
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
    for (const char* name : {"toggleLogs", "toggleCache", "toggleUserCache"})
        EXPECT_EQ(part<PillButton>(screen, name)->text(), u"Select"_s) << name;
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

} // namespace cv::test
