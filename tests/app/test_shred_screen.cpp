// The shred screen: its states, merging of drops, the volume rules and how a volume is named, the
// summary, the open panel, and drops that carry names which are not UTF-8.
#include "LoopMount.h"
#include "ShredScreenHarness.h"
#include "SleepingProcess.h"

#include "app/AmountText.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/ElidedLabel.h"
#include "app/controls/PillButton.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/intake/FileUri.h"
#include "app/progress/ProgressViewController.h"
#include "app/shred/DragAndDropBGView.h"
#include "app/shred/DragDropFilesView.h"
#include "app/shred/OpenPanel.h"
#include "app/shred/SelectionTexts.h"
#include "app/shred/ShredSelection.h"
#include "app/shred/VolumeOptionViewController.h"
#include "common/ByteCountFormatter.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"
#include "targets/TreeItem.h"
#include "translations/AppTranslator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTranslator>
#include <QTreeView>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

QString bytes(std::int64_t amount)
{
    return QString::fromStdString(formatByteCount(amount));
}

// Puts the tables of language in use in place of those used so far (install replaces them).
void useLanguage(const QString& language)
{
    AppTranslator::install(*qApp, language);
}

} // namespace

TEST(ShredScreen, StatesFromEmptyToFilesAndStartNeedsARealMethod)
{
    SettingsManager::sharedManager().setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
    ShredScreenHarness h;
    DropFilesViewController& s = *h.screen;
    writeFile(h.dir / "a.txt", std::string(1500, 'a'));
    writeFile(h.dir / "b.txt", std::string(500, 'b'));

    // Empty: the drop prompt, nothing to start.
    EXPECT_FALSE(h.part("groupStart")->isHidden());
    EXPECT_TRUE(h.part("groupFilesOn")->isHidden());
    EXPECT_TRUE(h.part("dropRemove")->isHidden());
    EXPECT_FALSE(h.startEnabled());
    EXPECT_EQ(h.selectedMethod(), 0) << "method 0 preselects the placeholder";

    // Scanning: the state update ran with no locations; Start stays off until the scan is shown.
    QSignalSpy scanned(&s, &DropFilesViewController::scanFinished);
    s.droppedLocations({h.dir / "a.txt", h.dir / "b.txt"});
    EXPECT_TRUE(s.selection().isScanning());
    EXPECT_FALSE(h.startEnabled());
    ASSERT_TRUE(scanned.wait(10000));

    // Files: summary, details and remove; the placeholder method keeps Start off.
    EXPECT_FALSE(h.part("groupFilesOn")->isHidden());
    EXPECT_TRUE(h.part("groupStart")->isHidden());
    EXPECT_FALSE(h.part("dropRemove")->isHidden());
    EXPECT_FALSE(h.part("detailsButton")->isHidden());
    EXPECT_TRUE(h.part<QLabel>("volumeOption")->isHidden());
    EXPECT_EQ(SelectionTexts::summaryText(*s.selection().pathCollection()),
              u"Selected:\n%1, 2 files"_s.arg(bytes(2000)));
    EXPECT_TRUE(h.part<QLabel>("dropResultLabel")->text().contains(bytes(2000)));
    EXPECT_FALSE(h.startEnabled());
    EXPECT_FALSE(s.selection().shredOptions().hasVolumes);

    h.selectMethod(ShredScreenHarness::randomMethod());
    EXPECT_TRUE(h.startEnabled());
    EXPECT_FALSE(h.part<QLabel>("methodDescription")->text().isEmpty());
    h.selectMethod(0);
    EXPECT_FALSE(h.startEnabled()) << "the placeholder is no method";

    // Removing everything returns to the empty state.
    s.removeDroppedFiles();
    EXPECT_TRUE(s.selection().locations().empty());
    EXPECT_FALSE(h.part("groupStart")->isHidden());
    EXPECT_TRUE(h.part("groupFilesOn")->isHidden());
}

TEST(ShredScreen, StoredDefaultMethodIsPreselectedAndAnUnknownOneSelectsThePlaceholder)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    {
        ShredScreenHarness h;
        EXPECT_EQ(h.selectedMethod(), ShredScreenHarness::randomMethod());
    }
    settings.setInteger(99, SettingsManager::kSettingsDeletionDefaultMethod);
    {
        ShredScreenHarness h;
        writeFile(h.dir / "a", std::string(10, 'a'));
        ASSERT_TRUE(h.dropAndWait({h.dir / "a"}));
        EXPECT_EQ(h.selectedMethod(), 0);
        EXPECT_FALSE(h.startEnabled());
    }
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

TEST(ShredScreen, DropsMergeInArrivalOrderWithoutDuplicates)
{
    // The merge itself: ShredPlan.EachPlaceAllowsItsOptionsAndTheRecordFollowsTheOptionInForce.
    ShredScreenHarness h;
    for (const char* name : {"a", "b", "c"})
        writeFile(h.dir / name, std::string(100, 'x'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "a", h.dir / "b"}));
    ASSERT_TRUE(h.dropAndWait({h.dir / "b", h.dir / "c", h.dir / "a"}));
    EXPECT_EQ(h.screen->selection().locations(),
              (std::vector<std::string>{h.dir / "a", h.dir / "b", h.dir / "c"}));
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 3u)
        << "the same file dropped twice counts once";
    EXPECT_EQ(h.screen->selection().pathCollection()->paths(), h.screen->selection().locations());
}

TEST(ShredScreen, ASecondDropWhileScanningWinsOverTheFirstScan)
{
    ShredScreenHarness h;
    makeDir(h.dir / "big");
    for (int i = 0; i < 300; ++i)
        writeFile(h.dir / ("big/" + std::to_string(i)), std::string(10, 'x'));
    writeFile(h.dir / "small", std::string(10, 'x'));
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    h.screen->droppedLocations({h.dir / "big"});
    h.screen->droppedLocations({h.dir / "small"});
    ASSERT_TRUE(scanned.wait(10000));
    QTest::qWait(200); // a stale first scan, if shown, would arrive here
    EXPECT_EQ(scanned.count(), 1);
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 301u)
        << "the shown totals are those of both drops";
}

TEST(ShredSelection, TheVolumeOptionSetsTheRecordsFlagsAndASystemVolumeOnlyAllowsTheWipe)
{
    FakeVolumes fake;
    TempDir dir;
    const std::string volume = dir / "volume";
    const std::string system = dir / "system";
    makeDir(volume);
    makeDir(system);
    fake.volumes.insert(volume);
    fake.systemVolumes.insert(system);
    writeFile(dir / "loose", std::string(10, 'l'));
    {
        ShredSelection selection(fake.tester(), VolumeOption::DeleteFiles);
        const auto options = [&] { return selection.shredOptions(); };
        const auto scanned = [&] {
            return QSignalSpy(&selection, &ShredSelection::scanFinished).wait(10000);
        };
        EXPECT_EQ(options().optionKey, "delete") << "the record keeps the option the screen was opened with";
        EXPECT_FALSE(options().hasVolumes) << "no volume: every flag false";

        ASSERT_EQ(selection.drop({volume}), ShredSelection::Drop::AddedVolume);
        ASSERT_TRUE(scanned());
        ASSERT_TRUE(selection.chooseOption(VolumeOption::CompleteErase));
        EXPECT_TRUE(options().hasVolumes && options().eraseFreeSpace && options().formatVolume);
        EXPECT_FALSE(options().eraseFreeSpaceOnly);
        ASSERT_TRUE(selection.chooseOption(VolumeOption::DeleteFiles));
        EXPECT_TRUE(options().hasVolumes);
        EXPECT_FALSE(options().eraseFreeSpace || options().formatVolume || options().eraseFreeSpaceOnly)
            << "switching from complete to delete clears the wipe";
        ASSERT_TRUE(selection.chooseOption(VolumeOption::FreeSpace));
        EXPECT_TRUE(options().hasVolumes && options().eraseFreeSpaceOnly);
        EXPECT_FALSE(options().eraseFreeSpace || options().formatVolume);
        EXPECT_EQ(options().optionKey, "delete");

        // Plain files next to the listed volume are added; the volume's option stays.
        ASSERT_EQ(selection.drop({dir / "loose"}), ShredSelection::Drop::Added);
        ASSERT_TRUE(scanned());
        EXPECT_EQ(selection.locations(), (std::vector<std::string>{volume, dir / "loose"}));
        EXPECT_TRUE(options().eraseFreeSpaceOnly);
        EXPECT_TRUE(selection.canStart(AlgorithmCollection().findByIdentifier(16).get()));
        EXPECT_FALSE(selection.canStart(AlgorithmCollection().get(0).get()))
            << "the placeholder is no method";

        // Clearing: the record's flags all fall back.
        selection.clear();
        EXPECT_FALSE(options().hasVolumes || options().eraseFreeSpaceOnly);
    }
    {
        // A volume the system runs from is never deleted, whatever the screen was opened with.
        const auto method = AlgorithmCollection().findByIdentifier(16);
        ShredSelection selection(fake.tester(), VolumeOption::DeleteFiles);
        ASSERT_EQ(selection.drop({system}), ShredSelection::Drop::AddedSystemVolume);
        ASSERT_TRUE(QSignalSpy(&selection, &ShredSelection::scanFinished).wait(10000));
        EXPECT_EQ(selection.option(), VolumeOption::None) << "the preset counts as none";
        EXPECT_TRUE(selection.shredOptions().hasVolumes);
        EXPECT_FALSE(selection.canStart(method.get()));
        EXPECT_FALSE(selection.chooseOption(VolumeOption::CompleteErase));
        EXPECT_FALSE(selection.shredOptions().formatVolume || selection.shredOptions().eraseFreeSpace);
        EXPECT_FALSE(selection.canStart(method.get()));
        EXPECT_TRUE(selection.chooseOption(VolumeOption::FreeSpace));
        EXPECT_TRUE(selection.canStart(method.get()));
    }
}

TEST(ShredSelection, ADropOfAKernelFileIsRefusedWithItsFileSystem)
{
    // The name of a process of the test's own stands for every file of the kernel's.
    cv::test::SleepingProcess sleeper;
    ASSERT_TRUE(sleeper.running());
    const std::string comm = sleeper.procFolder() + "/comm";
    FakeVolumes fake;
    TempDir dir;
    writeFile(dir / "loose", "data");
    ShredSelection selection(fake.tester(), VolumeOption::None);
    EXPECT_EQ(selection.drop({dir / "loose", comm}), ShredSelection::Drop::KernelFiles);
    EXPECT_EQ(selection.kernelRefusal(), (std::pair<std::string, std::string>{comm, "proc"}));
    EXPECT_FALSE(selection.hasLocations()) << "nothing of such a drop is taken";
    EXPECT_FALSE(selection.isScanning());
    EXPECT_EQ(sleeper.comm(), "sleep");
}

TEST(ShredScreen, AVolumeAsksForItsOptionAndShowsTheAnswer)
{
    ShredScreenHarness h;
    const std::string volume = h.dir / "volume";
    makeDir(volume);
    writeFile(volume + "/file", std::string(100, 'v'));
    h.volumes.insert(volume);
    DropFilesViewController& s = *h.screen;

    QSignalSpy scanned(&s, &DropFilesViewController::scanFinished);
    s.droppedLocations({volume});
    auto* sheet = h.openDialog<VolumeOptionViewController>();
    ASSERT_NE(sheet, nullptr) << "a dropped volume opens the options sheet";
    ASSERT_TRUE(scanned.wait(10000));
    // Before an answer: a volume with no option; the flags say only that there is a volume.
    const ShredOptions before = s.selection().shredOptions();
    EXPECT_TRUE(before.hasVolumes);
    EXPECT_FALSE(before.eraseFreeSpace || before.formatVolume || before.eraseFreeSpaceOnly);

    click(sheet, "completeErase");
    EXPECT_TRUE(s.selection().shredOptions().formatVolume);
    EXPECT_EQ(h.part<QLabel>("volumeOption")->text(), u"Complete Erase"_s);
    EXPECT_TRUE(h.shown("volumeOption"));
    EXPECT_TRUE(h.shown("volumeImage"));
    EXPECT_FALSE(h.shown("dropResultLabel"));
    EXPECT_FALSE(h.shown("detailsButton"));
    h.selectMethod(ShredScreenHarness::randomMethod());
    EXPECT_TRUE(h.startEnabled());
}

TEST(ShredScreen, AVolumeJobNamesTheVolumeOnTheScreenAndInTheConfirmation)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    ShredScreenHarness h;
    const std::string volume = h.dir / "stick";
    makeDir(volume);
    writeFile(volume + "/file", std::string(100, 'v'));
    h.volumes.insert(volume);
    h.facts[volume] = VolumeFacts{"BACKUP 2019", volume, "/dev/sdz1", "exfat", 64'000'000'000};
    const QStringList named{u"BACKUP 2019"_s, QString::fromStdString(volume), u"/dev/sdz1"_s, u"exfat"_s,
                            bytes(64'000'000'000)};
    DropFilesViewController& s = *h.screen;
    h.selectMethod(ShredScreenHarness::randomMethod());

    for (const char* option : {"completeErase", "deleteFiles", "freeSpace"}) {
        s.removeDroppedFiles();
        QSignalSpy scanned(&s, &DropFilesViewController::scanFinished);
        s.droppedLocations({volume});
        auto* sheet = h.openDialog<VolumeOptionViewController>();
        ASSERT_NE(sheet, nullptr) << option;
        ASSERT_TRUE(scanned.wait(10000)) << option;
        click(sheet, option);
        ASSERT_TRUE(h.shown("volumeTitle") && h.shown("volumeDetails")) << option;
        const QString onScreen =
            h.part<ElidedLabel>("volumeTitle")->fullText() + u'\n' + h.part<QLabel>("volumeDetails")->text();
        s.startShred();
        QMessageBox* confirmation = h.openDialog();
        ASSERT_NE(confirmation, nullptr) << option;
        const QString asked = confirmation->informativeText();
        for (const QString& part : named) {
            EXPECT_TRUE(onScreen.contains(part)) << option << ": the screen does not name " << utf8(part);
            EXPECT_TRUE(asked.contains(part)) << option << ": the confirmation does not name " << utf8(part);
        }
        // A free-space wipe deletes no file, and says so instead of the files' warning.
        const bool wipeOnly = std::string_view(option) == "freeSpace";
        EXPECT_EQ(asked.contains(u"No file is deleted"_s), wipeOnly) << utf8(asked);
        EXPECT_EQ(asked.contains(u"once you start the secure deletion"_s), !wipeOnly) << utf8(asked);
        button(confirmation, u"Cancel"_s)->click();
        QTest::qWait(20); // the closed question goes
    }
    // Without a label the mount point names it, and the screen says so.
    h.facts[volume].label.clear();
    EXPECT_TRUE(SelectionTexts::volumeTitle(h.facts[volume]).contains(u"without a label"_s));
}

TEST(OpenPanel, SelectingAFolderKeepsSelectWhichAddsItAndADoubleClickOpensIt)
{
    TempDir dir;
    makeDir(dir / "folder");
    writeFile(dir / "folder/inner", "i");
    writeFile(dir / "file", "f");
    const auto openOn = [&](OpenPanel& panel) {
        panel.setDirectory(QString::fromStdString(dir.path()));
        panel.show();
        auto* list = panel.findChild<QListView*>(u"listView"_s);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return list && list->model()->rowCount(list->rootIndex()) == 2; }, 60000));
        return list;
    };
    const auto rowOf = [](QListView* list, const QString& name) {
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
            if (index.data().toString() == name)
                return index;
        }
        return QModelIndex();
    };
    {
        OpenPanel panel;
        QListView* list = openOn(panel);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(panel.selectButton(), nullptr);
        EXPECT_FALSE(panel.selectButton()->isEnabled()) << "nothing selected yet";
        list->setCurrentIndex(rowOf(list, u"folder"_s));
        QApplication::processEvents();
        EXPECT_EQ(panel.selectButton()->text(), u"Select"_s)
            << "a selected folder does not turn it into Open";
        EXPECT_TRUE(panel.selectButton()->isEnabled());
        for (const QPushButton* other : panel.findChildren<QPushButton*>())
            EXPECT_FALSE(other->isVisible() && other->text().remove(u'&') == u"Open"_s);
        panel.selectButton()->click();
        EXPECT_EQ(panel.result(), QDialog::Accepted);
        EXPECT_EQ(panel.selectedPaths(), std::vector<std::string>{dir / "folder"})
            << "Select adds the folder";
    }
    {
        OpenPanel panel;
        QListView* list = openOn(panel);
        ASSERT_NE(list, nullptr);
        const QModelIndex folder = rowOf(list, u"folder"_s);
        ASSERT_TRUE(folder.isValid());
        const QPoint at = list->visualRect(folder).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return panel.directory().absolutePath() == QString::fromStdString(dir / "folder"); },
            60000))
            << "a double click opens the folder";
        EXPECT_TRUE(panel.isVisible());
        EXPECT_TRUE(panel.selectedPaths().empty()) << "and adds nothing";
    }
}

// The places on the left (the computer, the home folder) show their names whole, in English and
// German, without a sideways scroll bar; so do the list's types ("Folder", "Verzeichnis").
TEST(OpenPanel, ThePlacesAndTheTypesShowTheirNamesWhole)
{
    TempDir dir;
    makeDir(dir / "folder");
    const auto english = qScopeGuard([] { useLanguage(u"en"_s); });
    for (const QString& language : {u"en"_s, u"de"_s}) {
        useLanguage(language);
        OpenPanel panel;
        panel.setViewMode(QFileDialog::Detail);
        panel.setDirectory(QString::fromStdString(dir.path()));
        panel.show();
        auto* places = panel.findChild<QListView*>(u"sidebar"_s);
        auto* details = panel.findChild<QTreeView*>(u"treeView"_s);
        ASSERT_TRUE(places && details);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return details->model()->rowCount(details->rootIndex()) == 1; }, 60000));
        QApplication::processEvents();
        ASSERT_GE(places->model()->rowCount(), 2);
        for (int row = 0; row < places->model()->rowCount(); ++row) {
            const QModelIndex place = places->model()->index(row, 0);
            EXPECT_GE(places->viewport()->width(), places->sizeHintForIndex(place).width())
                << utf8(language) << ": " << utf8(place.data().toString());
        }
        EXPECT_FALSE(places->horizontalScrollBar()->isVisible()) << utf8(language);
        const QModelIndex folder = details->model()->index(0, 2, details->rootIndex());
        EXPECT_GE(details->columnWidth(2), details->sizeHintForIndex(folder).width())
            << utf8(language) << ": " << utf8(folder.data().toString());
    }
}

TEST(ShredScreen, FilesOnACopyOnWriteVolumeAreWarnedOfWithTheChoiceToWipeItsFreeSpace)
{
    ShredScreenHarness h;
    const std::string volume = h.dir / "btrfs";
    makeDir(volume);
    LoopMount btrfs(h.dir / "btrfs.img", volume, "btrfs", "128M");
    if (!btrfs.available())
        GTEST_SKIP() << "needs root and btrfs";
    writeFile(volume + "/file", std::string(100, 'v'));
    EXPECT_FALSE(h.shown("copyOnWriteNotice")) << "nothing to warn of without a selection";

    ASSERT_TRUE(h.dropAndWait({volume + "/file"}));
    EXPECT_TRUE(h.shown("copyOnWriteNotice"));
    const QString warning = h.part<QLabel>("copyOnWriteWarning")->text();
    EXPECT_TRUE(warning.contains(QString::fromStdString(volume)) && warning.contains(u"btrfs"_s))
        << utf8(warning);
    EXPECT_FALSE(h.screen->selection().shredOptions().thenWipeFree) << "the long wipe is the user's choice";
    // The warning has a row of its own above the summary, in every language.
    const auto english = qScopeGuard([] { useLanguage(u"en"_s); });
    for (const QString& language : {u"en"_s, u"de"_s}) {
        useLanguage(language);
        h.screen->removeDroppedFiles();
        ASSERT_TRUE(h.dropAndWait({volume + "/file"}));
        QApplication::processEvents();
        const QWidget* notice = h.part("copyOnWriteNotice");
        const QWidget* summary = h.part("dropResultLabel");
        const QRect noticeArea(notice->mapTo(h.screen, QPoint()), notice->size());
        const QRect summaryArea(summary->mapTo(h.screen, QPoint()), summary->size());
        EXPECT_FALSE(noticeArea.intersects(summaryArea))
            << utf8(language) << ": the warning runs into the summary";
        EXPECT_LE(h.part("copyOnWriteWarning")->minimumSizeHint().width(), h.screen->width())
            << utf8(language);
    }

    h.part<QCheckBox>("thenWipeFree")->click();
    EXPECT_TRUE(h.screen->selection().shredOptions().thenWipeFree);

    // A new selection starts without the choice.
    h.screen->removeDroppedFiles();
    EXPECT_FALSE(h.shown("copyOnWriteNotice"));
    EXPECT_FALSE(h.screen->selection().shredOptions().thenWipeFree);
    EXPECT_FALSE(h.part<QCheckBox>("thenWipeFree")->isChecked());
}

TEST(ShredScreen, CancellingTheVolumeSheetRemovesEveryLocation)
{
    ShredScreenHarness h;
    writeFile(h.dir / "file", std::string(10, 'f'));
    makeDir(h.dir / "volume");
    h.volumes.insert(h.dir / "volume");
    ASSERT_TRUE(h.dropAndWait({h.dir / "file"}));
    h.screen->droppedLocations({h.dir / "volume"});
    auto* sheet = h.openDialog<VolumeOptionViewController>();
    ASSERT_NE(sheet, nullptr);
    click(sheet, "cancel");
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.screen->selection().locations().empty(); }, 60000))
        << "not only the volume goes";
    EXPECT_FALSE(h.part("groupStart")->isHidden());
}

TEST(ShredScreen, OnlyOneVolumeAtATime)
{
    ShredScreenHarness h;
    for (const char* name : {"v1", "v2"}) {
        makeDir(h.dir / name);
        h.volumes.insert(h.dir / name);
    }
    {
        // One drop of two volumes.
        h.screen->droppedLocations({h.dir / "v1", h.dir / "v2"});
        QMessageBox* alert = h.openDialog();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->text(), u"Error"_s);
        EXPECT_EQ(alert->informativeText(), u"Only 1 volume is supported at a time"_s);
        EXPECT_EQ(buttonTitles(alert), (QStringList{u"Ok"_s, u"Cancel"_s}));
        EXPECT_EQ(alert->icon(), QMessageBox::Warning);
        EXPECT_TRUE(h.openDialog<VolumeOptionViewController>() == nullptr);
        EXPECT_TRUE(h.screen->selection().locations().empty());
        button(alert, u"Ok"_s)->click();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !h.part<BusyIndicator>("dropSpinner")->isAnimating(); }, 60000))
            << "closing the alert stops the spinner";
    }
    {
        // A volume dropped while another is listed.
        QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
        h.screen->droppedLocations({h.dir / "v1"});
        ASSERT_TRUE(scanned.wait(10000));
        click(h.openDialog<VolumeOptionViewController>(), "deleteFiles");
        h.screen->droppedLocations({h.dir / "v2"});
        QMessageBox* alert = h.openDialog();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->informativeText(), u"Only 1 volume is supported at a time"_s);
        EXPECT_EQ(h.screen->selection().locations(), std::vector<std::string>{h.dir / "v1"});
        button(alert, u"Cancel"_s)->click();
    }
}

TEST(ShredScreen, TheStartupVolumeIsRefused)
{
    ShredScreenHarness h;
    makeDir(h.dir / "root");
    h.startupVolume = h.dir / "root";
    h.screen->droppedLocations({h.dir / "root"});
    QMessageBox* alert = h.openDialog();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), u"Error"_s);
    EXPECT_NE(alert->informativeText(), u"cannot_delete_hdd"_s) << "the symbol key reads as its English text";
    EXPECT_TRUE(alert->informativeText().contains(u"startup volume"_s)) << utf8(alert->informativeText());
    EXPECT_EQ(buttonTitles(alert), QStringList{u"Ok"_s});
    EXPECT_TRUE(h.screen->selection().locations().empty());
    EXPECT_TRUE(h.openDialog<VolumeOptionViewController>() == nullptr);
    button(alert, u"Ok"_s)->click();

    // Named through "..", it is the same volume and is refused the same way.
    makeDir(h.dir / "root/sub");
    h.screen->droppedLocations({h.dir / "root/sub/../../root/"});
    alert = h.openDialog();
    ASSERT_NE(alert, nullptr) << "a path with \"..\" slipped past the startup-volume check";
    EXPECT_TRUE(h.screen->selection().locations().empty());
    button(alert, u"Ok"_s)->click();
}

TEST(ShredScreen, OnlyAbsolutePathsThatNameSomethingOfTheirOwnAreTaken)
{
    ShredScreenHarness h;
    writeFile(h.dir / "file", std::string(10, 'f'));
    makeDir(h.dir / "d");
    TempDir logs;
    const int logFd = ::open((logs / "log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    const int previousLog = currentLogDescriptor();
    setLogDescriptor(logFd);
    // None of these may ever reach the program's own working folder or the parent of a folder.
    const std::vector<std::string> refused{
        "", "relative", "./file", h.dir / "d/..", h.dir / "d/.", h.dir / "file/"};
    h.screen->droppedLocations(refused);
    h.intake.erase(refused);
    h.intake.openFile("");
    QTest::qWait(50); // a scan of a refused path, if one were started, would show now
    EXPECT_TRUE(h.screen->selection().locations().empty());
    EXPECT_FALSE(h.screen->selection().isScanning());
    EXPECT_EQ(h.openDialog(), nullptr);

    // Beside a refused path, the good ones are taken.
    EXPECT_TRUE(h.dropAndWait({"", h.dir / "file", h.dir / "d/.."}));
    setLogDescriptor(previousLog);
    ::close(logFd);
    EXPECT_EQ(h.screen->selection().locations(), std::vector<std::string>{h.dir / "file"});
    const Bytes log = readFile(logs / "log");
    const std::string text(log.begin(), log.end());
    EXPECT_NE(text.find("Refused the path \"relative\": not an absolute path"), std::string::npos) << text;
    EXPECT_NE(text.find("Refused the path \"\": "), std::string::npos) << text;
    EXPECT_NE(text.find("refusing to remove '.' or '..' directory"), std::string::npos) << text;
    EXPECT_NE(text.find("Not a directory"), std::string::npos) << text;
}

TEST(ShredScreen, EverySpellingOfOnePathIsOneTarget)
{
    ShredScreenHarness h;
    makeDir(h.dir / "real");
    makeDir(h.dir / "real/sub");
    writeFile(h.dir / "real/sub/f", std::string(100, 'f'));
    writeFile(h.dir / "real/g", std::string(10, 'g'));
    ASSERT_EQ(::symlink("real", (h.dir / "lnk").c_str()), 0);
    ASSERT_TRUE(h.dropAndWait({h.dir / "lnk/sub", h.dir / "real/sub/f", h.dir / "lnk//sub/"}));
    EXPECT_EQ(h.screen->selection().pathCollection()->paths(), std::vector<std::string>{h.dir / "real/sub"})
        << "the explorer's tree, and so its excludes, must read like the paths a job walks";
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 1u);
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 100);

    // A folder holding what is listed takes it in: each file counts once.
    ASSERT_TRUE(h.dropAndWait({h.dir / "lnk/sub/../../real"}));
    EXPECT_EQ(h.screen->selection().pathCollection()->paths(), std::vector<std::string>{h.dir / "real"});
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 2u);
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 110);
}

TEST(ShredScreen, AVolumeTheSystemRunsFromOffersOnlyItsFreeSpace)
{
    ShredScreenHarness h;
    const std::string volume = h.dir / "system";
    makeDir(volume);
    h.systemVolumes.insert(volume);
    DropFilesViewController& s = *h.screen;
    h.selectMethod(ShredScreenHarness::randomMethod());

    ASSERT_TRUE(h.dropAndWait({volume}));
    auto* sheet = h.openDialog<VolumeOptionViewController>();
    ASSERT_NE(sheet, nullptr);
    for (const PillButton* button : sheet->findChildren<PillButton*>()) {
        const bool wipe = button->text() == u"Freespace Erase only"_s || button->text() == u"Cancel"_s;
        EXPECT_EQ(button->isEnabled(), wipe) << utf8(button->text());
    }
    auto* note = sheet->findChild<QLabel*>(u"systemNote"_s);
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().contains(u"free space"_s)) << utf8(note->text());
    EXPECT_FALSE(h.startEnabled()) << "nothing starts before the wipe is chosen";

    QSignalSpy chosen(sheet, &VolumeOptionViewController::optionChosen);
    click(sheet, "deleteFiles");
    EXPECT_EQ(chosen.count(), 0) << "delete is not taken";
    EXPECT_TRUE(sheet->isVisible());
    click(sheet, "freeSpace");
    EXPECT_TRUE(s.selection().shredOptions().eraseFreeSpaceOnly);
    EXPECT_TRUE(h.startEnabled());
}

TEST(ShredScreen, OneFileCountWithTheDetailsViewHiddenEntriesNamedApart)
{
    ShredScreenHarness h;
    makeDir(h.dir / "f");
    for (const char* name : {"a", "b", "c", ".d", ".e"})
        writeFile(h.dir / (std::string("f/") + name), std::string(200, 'x'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "f"}));
    const std::shared_ptr<PathCollection> collection = h.screen->selection().pathCollection();
    EXPECT_EQ(collection->fileCount(), 5u);
    EXPECT_EQ(collection->hiddenCount(), 2u);
    EXPECT_EQ(SelectionTexts::summaryText(*collection),
              u"Selected:\n%1, 5 files\n(2 hidden included)"_s.arg(bytes(1000)));
    // The details view counts the same selection the same way.
    ExplorerViewController explorer(collection);
    EXPECT_EQ(explorer.findChild<QLabel*>(u"summaryLabel"_s)->text(),
              u"Selected %1 (5 files)"_s.arg(bytes(1000)));

    // One file: no "(s)".
    PathCollection one;
    one.setFileCount(1);
    one.setTotalSize(932);
    EXPECT_EQ(SelectionTexts::summaryText(one), u"Selected:\n932 bytes, 1 file"_s);
}

TEST(ShredScreen, GermanWindowFormatsAmountsAndLoadsQtsOwnTexts)
{
    ASSERT_EQ(AppTranslator::install(*qApp, u"de"_s), u"de"_s);
    EXPECT_EQ(AmountText::bytes(0), u"Null KB"_s);
    EXPECT_EQ(AmountText::bytes(932), u"932 Byte"_s);
    EXPECT_EQ(AmountText::bytes(2'800'000), u"2,8 MB"_s);
    EXPECT_EQ(AmountText::count(1234), u"1.234"_s);
    PathCollection collection;
    collection.setFileCount(1234);
    collection.setHiddenCount(1);
    collection.setTotalSize(2'800'000);
    EXPECT_EQ(SelectionTexts::summaryText(collection),
              u"Ausgewählt:\n2,8 MB, 1.234 Dateien\n(davon 1 versteckt)"_s);
    {
        // Qt's own texts of the file panel follow the language (package qt6-translations-l10n).
        OpenPanel panel(nullptr);
        EXPECT_EQ(panel.findChild<QLabel*>(u"lookInLabel"_s)->text(), u"Suchen in:"_s);
        EXPECT_EQ(panel.findChild<QLabel*>(u"fileNameLabel"_s)->text(), u"Datei&name:"_s);
        auto* buttons = panel.findChild<QDialogButtonBox*>(u"buttonBox"_s);
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), u"Abbrechen"_s);
    }
    // A change of language replaces Qt's table as well as ours.
    ASSERT_EQ(AppTranslator::install(*qApp, u"en"_s), u"en"_s);
    EXPECT_EQ(AmountText::bytes(2'800'000), u"2.8 MB"_s);
    EXPECT_EQ(AmountText::bytes(0), u"Zero KB"_s);
    OpenPanel panel(nullptr);
    EXPECT_EQ(panel.findChild<QLabel*>(u"lookInLabel"_s)->text(), u"Look in:"_s);
}

TEST(ShredScreen, DroppedNamesKeepTheirBytes)
{
    const auto paths = FileUri::pathsFromUriList(
        "# a comment\r\nfile:///tmp/na%FFme%20x\r\nfile://localhost/srv/a%23b\r\n"
        "http://example.com/x\r\nfile://elsewhere/etc/passwd\r\n\r\nfile:///q%3Fr?query\n");
    EXPECT_EQ(paths, (std::vector<std::string>{"/tmp/na\xFFme x", "/srv/a#b", "/q?r"}));

    // A real drop of a file whose name is not UTF-8 reaches the scan with its bytes.
    ShredScreenHarness h;
    const std::string odd = h.dir / "bad\xFF\xFEname";
    writeFile(odd, std::string(42, 'x'));
    QMimeData data;
    data.setData(u"text/uri-list"_s, FileUri::fromPath(odd).toLatin1() + "\r\n");
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.part("dropZone"), &enter);
    EXPECT_TRUE(h.part<DragAndDropBGView>("dndBackground")->highlight());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.part("dropZone"), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "the source must never be told to move or delete";
    ASSERT_TRUE(scanned.wait(10000));
    EXPECT_EQ(h.screen->selection().locations(), std::vector<std::string>{odd});
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 1u);
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 42);
    EXPECT_FALSE(h.part<DragAndDropBGView>("dndBackground")->highlight());
}

TEST(ShredScreen, TheExplorersUntickedEntriesLeaveTheTotals)
{
    ShredScreenHarness h;
    makeDir(h.dir / "f");
    writeFile(h.dir / "f/keep", std::string(100, 'k'));
    writeFile(h.dir / "f/drop", std::string(900, 'd'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "f"}));
    h.screen->showExplorer();
    auto* explorer = h.screen->findChild<ExplorerViewController*>();
    ASSERT_NE(explorer, nullptr);
    ExplorerFileListController& list = *explorer->fileListController();
    ShredScreenHarness::untick(list, h.dir / "f/drop");
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    explorer->dismiss();
    EXPECT_TRUE(list.source().empty()) << "the fading explorer still holds the trees the rescan replaces";
    EXPECT_FALSE(h.startEnabled()) << "no job may start on a collection being recounted";
    ASSERT_TRUE(scanned.wait(10000));
    // The explorer fades out while the rescan has replaced the trees it showed: it must not
    // touch them any more.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return h.screen->findChild<ExplorerViewController*>() == nullptr; }, 60000))
        << "the explorer went once it had faded out";
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 100);
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 1u);
    EXPECT_EQ(h.screen->selection().pathCollection()->excludes(), std::vector<std::string>{h.dir / "f/drop"});
}

TEST(ShredScreen, EntriesUntickedInTheExplorerStayOutWhenMoreIsDropped)
{
    auto& settings = SettingsManager::sharedManager();
    ShredScreenHarness h;
    makeDir(h.dir / "f");
    writeFile(h.dir / "f/keep", std::string(100, 'k'));
    writeFile(h.dir / "f/spare", std::string(900, 's'));
    writeFile(h.dir / "more", std::string(10, 'm'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "f"}));
    h.screen->showExplorer();
    auto* explorer = h.screen->findChild<ExplorerViewController*>();
    ASSERT_NE(explorer, nullptr);
    ExplorerFileListController& list = *explorer->fileListController();
    ShredScreenHarness::untick(list, h.dir / "f/spare");
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    explorer->dismiss();
    ASSERT_TRUE(scanned.wait(10000));

    // A later drop adds to the selection; it does not bring back what the user took out of it.
    ASSERT_TRUE(h.dropAndWait({h.dir / "more"}));
    EXPECT_EQ(h.screen->selection().pathCollection()->excludes(),
              std::vector<std::string>{h.dir / "f/spare"});
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 110);
    EXPECT_EQ(h.screen->selection().pathCollection()->fileCount(), 2u);

    h.selectMethod(ShredScreenHarness::randomMethod());
    settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
    h.screen->startShred();
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    auto* progress = qobject_cast<ProgressViewController*>(h.window.shredTab()->current());
    ASSERT_NE(progress, nullptr);
    QSignalSpy done(progress, &ProgressViewController::jobFinished);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_FALSE(exists(h.dir / "f/keep"));
    EXPECT_FALSE(exists(h.dir / "more"));
    EXPECT_TRUE(exists(h.dir / "f/spare")) << "an unticked file was shredded";
}

TEST(ShredScreen, FilesSentWhileTheExplorerIsOpenWaitForIt)
{
    ShredScreenHarness h;
    makeDir(h.dir / "f");
    writeFile(h.dir / "f/keep", std::string(100, 'k'));
    writeFile(h.dir / "f/spare", std::string(900, 's'));
    writeFile(h.dir / "more", std::string(10, 'm'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "f"}));
    h.screen->showExplorer();
    auto* explorer = h.screen->findChild<ExplorerViewController*>();
    ASSERT_NE(explorer, nullptr);

    // The file manager sends a file while the user is unticking entries.
    h.intake.erase({h.dir / "more"});
    ExplorerFileListController& list = *explorer->fileListController();
    ShredScreenHarness::untick(list, h.dir / "f/spare");
    explorer->dismiss();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !h.screen->selection().isScanning() && h.screen->selection().pathCollection() &&
                   h.intake.files().empty();
        },
        10000));
    EXPECT_EQ(h.screen->selection().locations(), (std::vector<std::string>{h.dir / "f", h.dir / "more"}));
    EXPECT_EQ(h.screen->selection().pathCollection()->excludes(), std::vector<std::string>{h.dir / "f/spare"})
        << "what was unticked in the explorer was lost";
    EXPECT_EQ(h.screen->selection().pathCollection()->totalSize(), 110);
    EXPECT_TRUE(h.intake.readyToReceiveFiles());
}

TEST(ShredScreen, AConfirmationStartsNothingWhenTheSelectionChangedMeanwhile)
{
    ShredScreenHarness h;
    writeFile(h.dir / "asked", std::string(10, 'a'));
    writeFile(h.dir / "sent", std::string(10, 's'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "asked"}));
    h.selectMethod(ShredScreenHarness::randomMethod());
    QSignalSpy progress(h.screen, &DropFilesViewController::jobRequested);
    h.screen->startShred();
    QMessageBox* confirmation = h.openDialog();
    ASSERT_NE(confirmation, nullptr);

    // The file manager sends another file while the question is open; its scan is shown.
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    h.intake.erase({h.dir / "sent"});
    ASSERT_TRUE(scanned.wait(10000));
    ASSERT_EQ(h.screen->selection().pathCollection()->fileCount(), 2u);

    button(confirmation, u"DELETE"_s)->click();
    QTest::qWait(20); // a job, if the stale answer started one, would be asked for now
    EXPECT_EQ(progress.count(), 0) << "the answer was given for another selection";
    EXPECT_EQ(h.window.shredTab()->current(), h.screen);
    EXPECT_TRUE(exists(h.dir / "sent"));
}

TEST(ShredScreen, StartAsksForConfirmationUnlessPromptsAreOff)
{
    auto& settings = SettingsManager::sharedManager();
    ShredScreenHarness h;
    writeFile(h.dir / "victim", std::string(10, 'v'));
    ASSERT_TRUE(h.dropAndWait({h.dir / "victim"}));
    h.selectMethod(ShredScreenHarness::randomMethod());
    QSignalSpy progress(h.screen, &DropFilesViewController::jobRequested);
    {
        settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
        h.screen->startShred();
        QMessageBox* confirmation = h.openDialog();
        ASSERT_NE(confirmation, nullptr);
        EXPECT_EQ(confirmation->text(), u"Are you sure?"_s);
        EXPECT_EQ(
            confirmation->informativeText(),
            u"This destroys “victim”: 1 file, %1.\n\nData cannot be recovered once you start the secure "
            u"deletion process. Do you want to continue?"_s.arg(bytes(10)));
        EXPECT_EQ(buttonTitles(confirmation), (QStringList{u"DELETE"_s, u"Cancel"_s}));
        EXPECT_EQ(confirmation->defaultButton(), button(confirmation, u"Cancel"_s))
            << "Return must not start a destructive job";
        EXPECT_EQ(confirmation->escapeButton(), button(confirmation, u"Cancel"_s));
        button(confirmation, u"Cancel"_s)->click();
        QTest::qWait(20); // a job, if Cancel started one, would be asked for now
        EXPECT_EQ(progress.count(), 0) << "Cancel changes nothing";
        EXPECT_TRUE(exists(h.dir / "victim"));
        EXPECT_EQ(h.window.shredTab()->current(), h.screen);
    }
    {
        settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
        h.screen->startShred();
        EXPECT_EQ(h.openDialog(), nullptr) << "no question with prompts off";
        ASSERT_EQ(progress.count(), 1);
        auto* screen = qobject_cast<ProgressViewController*>(h.window.shredTab()->current());
        ASSERT_NE(screen, nullptr) << "the progress screen replaces the shred screen";
        EXPECT_FALSE(h.intake.readyToReceiveFiles()) << "files opened during the job wait";
        QSignalSpy done(screen, &ProgressViewController::jobFinished);
        ASSERT_TRUE(done.wait(20000));
        EXPECT_FALSE(exists(h.dir / "victim"));
    }
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
}

// The question names what it destroys: the first items by name, how many more, the files' count
// and size.
TEST(ShredScreen, TheConfirmationNamesTheFirstItemsTheirCountAndSize)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    ShredScreenHarness h;
    makeDir(h.dir / "photos");
    writeFile(h.dir / "photos/1.jpg", std::string(300, 'p'));
    writeFile(h.dir / "photos/2.jpg", std::string(300, 'p'));
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        writeFile(h.dir / name, std::string(100, 'f'));
    ASSERT_TRUE(h.dropAndWait(
        {h.dir / "photos", h.dir / "a.txt", h.dir / "b.txt", h.dir / "c.txt", h.dir / "d.txt"}));
    h.selectMethod(ShredScreenHarness::randomMethod());
    h.screen->startShred();
    QMessageBox* confirmation = h.openDialog();
    ASSERT_NE(confirmation, nullptr);
    const QString asked = confirmation->informativeText();
    EXPECT_TRUE(asked.startsWith(
        u"This destroys “photos”, “a.txt”, “b.txt” and 2 more items: 6 files, %1."_s.arg(bytes(1000))))
        << utf8(asked);
    EXPECT_TRUE(asked.contains(u"cannot be recovered"_s));
    button(confirmation, u"Cancel"_s)->click();
    QTest::qWait(20); // the closed question goes
}

// With something chosen, more can still be added through the open panel.
TEST(ShredScreen, AddOpensThePanelBesideASelectionAndMergesWhatItAdds)
{
    ShredScreenHarness h;
    EXPECT_FALSE(h.shown("addMore")) << "the empty screen has its browse link";
    writeFile(h.dir / "first", "1");
    writeFile(h.dir / "second", "2");
    ASSERT_TRUE(h.dropAndWait({h.dir / "first"}));
    ASSERT_TRUE(h.shown("addMore"));
    h.part<PillButton>("addMore")->click();
    auto* panel = h.openDialog<OpenPanel>();
    ASSERT_NE(panel, nullptr) << "Add opens the panel";
    panel->selectFile(QString::fromStdString(h.dir / "second"));
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    panel->accept();
    ASSERT_TRUE(scanned.wait(10000));
    EXPECT_EQ(h.screen->selection().locations(),
              (std::vector<std::string>{h.dir / "first", h.dir / "second"}));
}

// Removing a volume resets the option it set: the copy-on-write notice of files dropped next is
// shown again (a complete erase, which needs no notice, no longer counts).
TEST(ShredScreen, RemovingAVolumeResetsItsOptionAndTheCopyOnWriteNoticeComesBack)
{
    ShredScreenHarness h;
    const std::string volume = h.dir / "btrfs";
    makeDir(volume);
    LoopMount btrfs(h.dir / "btrfs.img", volume, "btrfs", "128M");
    if (!btrfs.available())
        GTEST_SKIP() << "needs root and btrfs";
    writeFile(volume + "/file", std::string(100, 'v'));
    h.volumes.insert(volume);
    QSignalSpy scanned(h.screen, &DropFilesViewController::scanFinished);
    h.screen->droppedLocations({volume});
    auto* sheet = h.openDialog<VolumeOptionViewController>();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(scanned.wait(10000));
    click(sheet, "completeErase");
    EXPECT_FALSE(h.shown("copyOnWriteNotice")) << "a complete erase reaches every copy";
    h.part<PillButton>("dropRemove")->click();
    ASSERT_TRUE(h.dropAndWait({volume + "/file"}));
    EXPECT_EQ(h.screen->selection().option(), VolumeOption::None);
    EXPECT_TRUE(h.shown("copyOnWriteNotice")) << "the notice comes back for the files";
    EXPECT_FALSE(h.screen->selection().shredOptions().formatVolume);
}

// A folder's path typed into the panel's name field and Return enters the folder; only Select adds.
TEST(OpenPanel, ATypedFolderPathAndReturnEntersTheFolderAndAddsNothing)
{
    TempDir dir;
    makeDir(dir / "folder");
    writeFile(dir / "folder/inner", "i");
    OpenPanel panel;
    panel.setDirectory(QString::fromStdString(dir.path()));
    panel.show();
    auto* name = panel.findChild<QLineEdit*>(u"fileNameEdit"_s);
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, QString::fromStdString(dir / "folder/"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return panel.directory().absolutePath() == QString::fromStdString(dir / "folder"); }, 60000))
        << "Return enters the typed folder";
    EXPECT_TRUE(panel.isVisible()) << "and the panel stays open";
    EXPECT_TRUE(panel.selectedPaths().empty()) << "nothing is added";
    EXPECT_EQ(panel.result(), 0);
    // A typed file and Return adds it, as before.
    QTest::keyClicks(name, u"inner"_s);
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(panel.selectedPaths(), std::vector<std::string>{dir / "folder/inner"});
}

// The panel's dates are written in the window's language, not the system's.
TEST(OpenPanel, DatesFollowTheWindowsLanguage)
{
    TempDir dir;
    writeFile(dir / "letter", "l");
    const QDateTime when(QDate(2020, 3, 4), QTime(17, 6));
    const timeval times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimes((dir / "letter").c_str(), times), 0);
    const auto english = qScopeGuard([] { useLanguage(u"en"_s); });
    useLanguage(u"de"_s);
    OpenPanel panel;
    panel.setViewMode(QFileDialog::Detail);
    panel.setDirectory(QString::fromStdString(dir.path()));
    panel.show();
    auto* tree = panel.findChild<QTreeView*>(u"treeView"_s);
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->model()->rowCount(tree->rootIndex()) == 1; }, 60000));
    const QModelIndex date = tree->model()->index(0, 3, tree->rootIndex());
    EXPECT_EQ(date.data().toString(), QLocale(QLocale::German).toString(when, QLocale::ShortFormat));
}

} // namespace cv::test
