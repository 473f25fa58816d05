// The free-space screen: Start per state, the collection of the selected row only (also when the
// list is refreshed while a collection is built), a volume the user cannot write to, the
// confirmation, the live refresh on mount and unmount, and a job on a tmpfs of the test's own.
#include "LogCapture.h"
#include "ShredScreenHarness.h"
#include "TmpfsMount.h"
#include "app/MainMenuHostViewController.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/PillButton.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/freespace/FreeSpaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "common/ByteCountFormatter.h"

#include <QLabel>
#include <QTableWidget>
#include <QThreadPool>
#include <sys/mount.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

Volume volume(const std::string& path, const std::string& name)
{
    Volume made;
    made.setPath(path);
    made.setName(name);
    made.setSize(1'000'000);
    made.setFreeSpace(400'000);
    return made;
}

// The volumes found on the system, narrowed to the test's own mount at the point.
std::function<std::vector<Volume>()> onlyTheMountAt(const std::string& point)
{
    return [point] {
        std::vector<Volume> mine;
        for (Volume& found : findVolumes())
            if (found.path() == point)
                mine.push_back(found);
        return mine;
    };
}

// A screen over volumes the test names; collections are built at once unless a volume is held,
// and nothing is ever read from a real volume.
struct FreeSpaceHarness
{
    std::vector<Volume> volumes{volume("/test/a", "Stick"), volume("/test/b", "Disk")};
    std::set<std::string> readOnly;
    std::mutex mutex;
    std::set<std::string> held; // scans of these wait until released
    std::condition_variable released;
    std::atomic<int> scans{0};
    FreeSpaceViewController* screen = nullptr;
    QWidget host;

    FreeSpaceHarness()
    {
        screen = new FreeSpaceViewController(
            new FreeSpaceSelection([this] { return volumes; },
                                   [this](const std::string& path) {
                                       ++scans;
                                       {
                                           std::unique_lock lock(mutex);
                                           released.wait(lock, [&] { return !held.count(path); });
                                       }
                                       auto collection = std::make_shared<PathCollection>();
                                       collection->setPaths({path});
                                       return collection;
                                   },
                                   [this](const std::string& path) { return !readOnly.count(path); }),
            false);
        screen->setParent(&host);
    }
    void hold(const std::string& path, bool on)
    {
        std::lock_guard lock(mutex);
        if (on)
            held.insert(path);
        else
            held.erase(path);
        released.notify_all();
    }
    template <typename Widget = QWidget> Widget* part(const char* name) const
    {
        auto* widget = screen->findChild<Widget*>(QLatin1StringView(name));
        EXPECT_NE(widget, nullptr) << "no part " << name;
        return widget;
    }
    bool startEnabled() const { return part("startShred")->isEnabled(); }
    void selectRow(int row) const { part<QTableWidget>("tableView")->selectRow(row); }
    bool selectAndWait(int row)
    {
        QSignalSpy built(screen, &FreeSpaceViewController::scanFinished);
        selectRow(row);
        return built.wait(60000);
    }
};

} // namespace

TEST(FreeSpaceScreen, StartNeedsARealMethodAndTheSelectedVolumesCollection)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
    FreeSpaceHarness h;
    const FreeSpaceSelection& s = h.screen->selection();
    auto* table = h.part<QTableWidget>("tableView");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), u"Stick\n/test/a"_s) << "the name and the whole mount point";
    EXPECT_EQ(table->item(0, 1)->text(), QString::fromStdString(formatByteCount(1'000'000)));
    EXPECT_EQ(table->item(0, 2)->text(), QString::fromStdString(formatByteCount(400'000)));
    EXPECT_EQ(h.part<QComboBox>("methodSelection")->currentIndex(), 0)
        << "method 0 preselects the placeholder";

    // Nothing chosen, then the placeholder with a row: Start stays off.
    EXPECT_FALSE(h.startEnabled());
    ASSERT_TRUE(h.selectAndWait(0));
    EXPECT_FALSE(h.startEnabled()) << "the placeholder is no method";

    // Building: a real method and a row whose collection is not stored yet.
    h.part<QComboBox>("methodSelection")->setCurrentIndex(ShredScreenHarness::randomMethod());
    EXPECT_TRUE(h.startEnabled());
    EXPECT_TRUE(h.part("readingLabel")->isHidden());
    h.hold("/test/b", true);
    h.selectRow(1);
    EXPECT_TRUE(s.isScanning());
    EXPECT_FALSE(h.startEnabled()) << "the collection of the row is not stored yet";
    EXPECT_TRUE(h.part<BusyIndicator>("readingSpinner")->isAnimating())
        << "a busy sign while the volume is read";
    EXPECT_FALSE(h.part("readingLabel")->isHidden());

    // The list is refreshed while /test/b is built, and the user moves to /test/a meanwhile:
    // only /test/a's collection is taken.
    h.screen->volumesChanged();
    EXPECT_EQ(s.selectedRow(), 1) << "the selection stays with its volume";
    QThreadPool::globalInstance()->setMaxThreadCount(8); // the held scans take threads of their own
    QSignalSpy built(h.screen, &FreeSpaceViewController::scanFinished);
    h.selectRow(0);
    ASSERT_TRUE(built.wait(60000));
    h.hold("/test/b", false); // its scans end now, after the user moved on
    // Their collections, were they taken, would arrive now.
    QTest::qWait(300);
    EXPECT_EQ(built.count(), 1) << "the stale collections of /test/b reach nobody";
    ASSERT_TRUE(s.pathCollection());
    EXPECT_EQ(s.pathCollection()->paths(), std::vector<std::string>{"/test/a"});
    EXPECT_TRUE(h.startEnabled());
    EXPECT_FALSE(h.part<BusyIndicator>("readingSpinner")->isAnimating());
    EXPECT_TRUE(h.part("readingLabel")->isHidden());

    // The selected volume goes away: nothing is selected, nothing can start.
    h.volumes.erase(h.volumes.begin());
    h.screen->volumesChanged();
    EXPECT_EQ(s.selectedRow(), -1);
    EXPECT_EQ(s.pathCollection(), nullptr);
    EXPECT_FALSE(h.startEnabled());

    // A volume the user cannot write to says so before any job.
    h.readOnly.insert("/test/b");
    ASSERT_TRUE(h.selectAndWait(0));
    EXPECT_FALSE(h.startEnabled());
    EXPECT_FALSE(h.part<QLabel>("volumeNote")->text().isEmpty());
}

TEST(FreeSpaceScreen, ConfirmationCancelLogsAndDeleteAsksForAFreeSpaceOnlyJob)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    FreeSpaceHarness h;
    h.host.show();
    ASSERT_TRUE(h.selectAndWait(1));
    ASSERT_TRUE(h.startEnabled());
    std::vector<JobRequest> jobs;
    QObject::connect(h.screen, &FreeSpaceViewController::jobRequested,
                     [&jobs](const JobRequest& request) { jobs.push_back(request); });

    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    {
        LogCapture log;
        h.screen->startShred();
        auto* sheet = h.screen->findChild<ConfirmDeletionDialog*>();
        ASSERT_NE(sheet, nullptr);
        // The question names the volume whose free space is wiped.
        EXPECT_TRUE(sheet->informativeText().contains(u"“Disk”, mounted at /test/b"_s))
            << sheet->informativeText().toStdString();
        button(sheet, u"Cancel"_s)->click();
        QApplication::processEvents();
        EXPECT_TRUE(log.contains("Freespace was cancelled!"));
        EXPECT_TRUE(jobs.empty());
    }
    QApplication::processEvents(); // the sheet deletes itself
    h.screen->startShred();
    auto* sheet = h.screen->findChild<ConfirmDeletionDialog*>();
    ASSERT_NE(sheet, nullptr);
    button(sheet, u"DELETE"_s)->click();
    ASSERT_EQ(jobs.size(), 1u);
    const JobRequest& request = jobs.front();
    EXPECT_EQ(request.pathCollection->paths(), std::vector<std::string>{"/test/b"});
    EXPECT_EQ(request.algorithm->identifier(), 16u);
    EXPECT_TRUE(request.shredOptions->eraseFreeSpaceOnly);
    EXPECT_TRUE(request.shredOptions->hasVolumes);
    EXPECT_EQ(request.shredOptions->optionKey, "freespace");
    EXPECT_EQ(request.returnTo, JobRequest::ReturnTo::FreeSpaceScreen);

    // Without prompts Start asks for the job at once.
    settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
    h.screen->startShred();
    EXPECT_EQ(jobs.size(), 2u);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

TEST(FreeSpaceScreen, TheAnswerHoldsForTheSameMountWhateverElseIsMountedMeanwhile)
{
    auto& settings = SettingsManager::sharedManager();
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    FreeSpaceHarness h;
    for (std::size_t i = 0; i < h.volumes.size(); ++i) {
        h.volumes[i].setDevice(static_cast<dev_t>(100 + i));
        h.volumes[i].setMountId(200 + i);
    }
    h.host.show();
    h.screen->volumesChanged();
    ASSERT_TRUE(h.selectAndWait(1));
    std::vector<JobRequest> jobs;
    QObject::connect(h.screen, &FreeSpaceViewController::jobRequested,
                     [&jobs](const JobRequest& request) { jobs.push_back(request); });
    const auto confirmWhile = [&](const std::function<void()>& meanwhile) {
        h.screen->startShred();
        auto* sheet = h.screen->findChild<ConfirmDeletionDialog*>();
        ASSERT_NE(sheet, nullptr);
        meanwhile();
        button(sheet, u"DELETE"_s)->click();
        QApplication::processEvents(); // the sheet deletes itself
    };
    auto* note = h.part<QLabel>("volumeNote");

    // A stick mounted elsewhere while the question is open: the job starts for the volume asked.
    confirmWhile([&] {
        h.volumes.push_back(volume("/test/c", "Other"));
        h.screen->volumesChanged();
    });
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs.front().pathCollection->paths(), std::vector<std::string>{"/test/b"});
    EXPECT_TRUE(note->text().isEmpty());

    // Another file system mounted at the same point: nothing starts, and the window says why.
    confirmWhile([&] {
        h.volumes[1].setDevice(300);
        h.volumes[1].setMountId(400);
        h.screen->volumesChanged();
    });
    EXPECT_EQ(jobs.size(), 1u);
    EXPECT_EQ(note->text(), u"The volume changed while you confirmed; nothing was started"_s);

    // The volume unmounted while the question is open: the same.
    ASSERT_TRUE(h.selectAndWait(0));
    EXPECT_TRUE(note->text().isEmpty()) << "a new selection clears the note";
    confirmWhile([&] {
        h.volumes.erase(h.volumes.begin());
        h.screen->volumesChanged();
    });
    EXPECT_EQ(jobs.size(), 1u);
    EXPECT_EQ(note->text(), u"The volume changed while you confirmed; nothing was started"_s);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

TEST(FreeSpaceScreen, TheStartupVolumeIsShownWithItsNameAndFillsTheHomeFolder)
{
    EXPECT_EQ(volume("/", "Debian").displayName(), "/ (Debian)");
    EXPECT_EQ(volume("/", "/").displayName(), "/");
    EXPECT_EQ(volume("/media/x", "").displayName(), "/media/x");
    // A folder stands for the startup volume, the home folder on it.
    TempDir startup;
    const std::string home = startup / "home";
    makeDir(home);
    EXPECT_EQ(FreeSpaceSelection::fillFolderFor(startup.path(), true, home), home)
        << "until the folder exists";
    EXPECT_FALSE(exists(home + "/Ostrevane")) << "asking makes nothing";
    makeDir(home + "/Ostrevane");
    EXPECT_EQ(FreeSpaceSelection::fillFolderFor(startup.path(), true, home), home + "/Ostrevane");
    EXPECT_EQ(FreeSpaceSelection::fillFolderFor(startup.path(), false, home), startup.path());
}

TEST(FreeSpaceScreen, MountingAndUnmountingRefreshesTheListLive)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    TempDir dir;
    // Only the test's own mount is ever listed: the real volumes are left out by the finder.
    const std::string point = dir / "volume";
    makeDir(point);
    auto screen = std::make_unique<FreeSpaceViewController>(new FreeSpaceSelection(onlyTheMountAt(point)));
    auto* table = screen->findChild<QTableWidget*>(u"tableView"_s);
    EXPECT_EQ(table->rowCount(), 0);
    LogCapture log;
    QSignalSpy shown(screen.get(), &FreeSpaceViewController::volumesShown);
    {
        TmpfsMount tmpfs(point, "4m");
        ASSERT_TRUE(tmpfs.available());
        ASSERT_TRUE(QTest::qWaitFor([&] { return table->rowCount() == 1; }, 60000)) << "mount seen";
        EXPECT_EQ(table->item(0, 0)->toolTip(), QString::fromStdString(point));
        EXPECT_TRUE(log.contains("volume Change detected"));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->rowCount() == 0; }, 60000)) << "unmount seen";
    EXPECT_GE(shown.count(), 2);
}

TEST(FreeSpaceScreen, AJobWipesTheSelectedTmpfsAndFinishBringsAFreshScreen)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    TempDir dir;
    const std::string point = dir / "volume";
    makeDir(point);
    TmpfsMount tmpfs(point, "8m");
    ASSERT_TRUE(tmpfs.available());
    writeFile(point + "/keep.txt", std::string(1000, 'k'));
    const auto onlyMine = [point] {
        return new FreeSpaceViewController(new FreeSpaceSelection(onlyTheMountAt(point)));
    };
    auto& settings = SettingsManager::sharedManager();
    settings.setBool(false, SettingsManager::kSettingsDeletionShowPrompt);
    settings.setInteger(16, SettingsManager::kSettingsDeletionDefaultMethod);
    WindowController window(settings);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setScreenFactories(onlyMine, {});
    window.show();
    window.host()->changeTabToIndex(MainMenuHostViewController::kFreeSpaceTab);
    auto* screen = qobject_cast<FreeSpaceViewController*>(window.freeSpaceTab()->current());
    ASSERT_NE(screen, nullptr);
    auto* table = screen->findChild<QTableWidget*>(u"tableView"_s);
    ASSERT_EQ(table->rowCount(), 1);

    // A read-only volume says so and starts nothing (a per-mount read-only flag on our own mount).
    ASSERT_EQ(::mount(nullptr, point.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    {
        QSignalSpy built(screen, &FreeSpaceViewController::scanFinished);
        table->selectRow(0);
        ASSERT_TRUE(built.wait(60000));
        EXPECT_FALSE(screen->findChild<QWidget*>(u"startShred"_s)->isEnabled());
        EXPECT_FALSE(screen->findChild<QLabel*>(u"volumeNote"_s)->text().isEmpty());
    }
    ASSERT_EQ(::mount(nullptr, point.c_str(), nullptr, MS_REMOUNT | MS_BIND, nullptr), 0);
    // The remount changes the mount table: the list is read anew and the volume checked again.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screen->findChild<QWidget*>(u"startShred"_s)->isEnabled(); }, 60000));
    EXPECT_TRUE(screen->findChild<QLabel*>(u"volumeNote"_s)->text().isEmpty());

    screen->startShred();
    auto* progress = qobject_cast<ProgressViewController*>(window.freeSpaceTab()->current());
    ASSERT_NE(progress, nullptr) << "the progress screen took the free-space screen's place";
    QSignalSpy done(progress, &ProgressViewController::jobFinished);
    ASSERT_TRUE(done.wait(60000));
    EXPECT_EQ(progress->shredResult()->errorCount, 0u);
    EXPECT_GT(progress->shredResult()->bytesCountFinished, 1'000'000);
    EXPECT_EQ(listNames(point), std::vector<std::string>{"keep.txt"}) << "files stay, fill files go";

    QTest::mouseClick(progress->findChild<PillButton*>(u"backButton"_s), Qt::LeftButton);
    auto* fresh = qobject_cast<FreeSpaceViewController*>(window.freeSpaceTab()->current());
    ASSERT_NE(fresh, nullptr) << "FinishFreespace brings a fresh free-space screen";
    EXPECT_EQ(fresh->selection().selectedRow(), -1);
    settings.setBool(true, SettingsManager::kSettingsDeletionShowPrompt);
    settings.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
}

} // namespace cv::test
