// The progress screen: the job on a worker, exactly one end per job whichever of the job and the
// snapshot removal finishes last, cancelling, the totals, and the way back.
#include "AppTestMain.h"
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/ReportKeeper.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/DecorImage.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "common/ByteCountFormatter.h"
#include "engine/AlgorithmCollection.h"
#include "settings/SettingsManager.h"
#include "targets/PathCollectionFactory.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

QString bytes(std::int64_t amount)
{
    return QString::fromStdString(formatByteCount(amount));
}

// A progress screen in a host, with stand-ins for the report builder, the notification manager and
// the snapshot removal that count their calls.
struct ProgressHarness
{
    TempDir dir;
    AppServices services;
    ReplaceViewController host;
    ProgressViewController* screen = nullptr;
    JobRequest request;
    std::atomic<int> reports{0};
    std::atomic<int> notifications{0};
    std::mutex replyMutex;
    std::function<void()> snapshotReply;
    bool replyAtOnce = false;

    ProgressHarness()
    {
        services.createReport = [this](std::shared_ptr<ShredResult>, auto) { ++reports; };
        services.showNotification = [this](std::shared_ptr<ShredResult>) { ++notifications; };
        services.deleteSnapshots = [this](std::function<void()> reply) {
            if (replyAtOnce) {
                // Answered at once, from a thread of its own, as a fast bus reply would be.
                std::thread(reply).join();
                return;
            }
            std::lock_guard lock(replyMutex);
            snapshotReply = std::move(reply);
        };
        host.resize(840, 507);
    }

    // Makes the screen for these targets and the method; its job starts when it is shown.
    void prepare(const std::vector<std::string>& paths, std::uint64_t method, ShredOptions options = {})
    {
        request = {PathCollectionFactory().createPathCollection(paths),
                   AlgorithmCollection().findByIdentifier(method), std::make_shared<ShredOptions>(options)};
        screen = new ProgressViewController(request, &services);
    }
    void show()
    {
        host.replace(screen);
        host.show();
    }

    // A named part of the screen.
    template <typename Widget = QLabel> Widget* part(const char* name) const
    {
        auto* widget = screen->findChild<Widget*>(QLatin1StringView(name));
        EXPECT_NE(widget, nullptr) << "no part " << name;
        return widget;
    }

    void replyFromAnotherThread()
    {
        std::function<void()> reply;
        {
            std::lock_guard lock(replyMutex);
            reply = snapshotReply;
        }
        ASSERT_TRUE(reply) << "the snapshot removal was asked for";
        std::thread(reply).join();
    }
};

// The message the Report button shows, waited for; null when none comes.
QMessageBox* reportMessage(QWidget* owner)
{
    QMessageBox* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (auto* box : owner->findChildren<QMessageBox*>(u"ReportMessage"_s))
                if (box->isVisible())
                    found = box;
            return found != nullptr;
        },
        3000);
    return found;
}

// A renderer program that runs the script instead of rendering.
struct FakeRenderer
{
    QByteArray previous = qgetenv("CINDERVAULT_RENDERER");
    FakeRenderer(const TempDir& dir, const std::string& script)
    {
        const std::string path = dir / "renderer.sh";
        writeFile(path, "#!/bin/sh\n" + script + "\n");
        ::chmod(path.c_str(), 0755);
        qputenv("CINDERVAULT_RENDERER", QByteArray::fromStdString(path));
    }
    ~FakeRenderer() { qputenv("CINDERVAULT_RENDERER", previous); }
};

} // namespace

TEST(ProgressScreen, ElapsedTimeReadsAsHoursMinutesSeconds)
{
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(0), u"0:00:00"_s);
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(65.9), u"0:01:05"_s);
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(3725), u"1:02:05"_s);
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(360000), u"100:00:00"_s);
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(std::nan("")), u"0"_s);
    EXPECT_EQ(ProgressViewController::FormattedStringFromTimeInterval(-1), u"0"_s);
}

TEST(ProgressScreen, AFinishedJobEndsOnceWithTotalsReportAndNotification)
{
    ProgressHarness h;
    writeFile(h.dir / "a", std::string(1500, 'a'));
    writeFile(h.dir / "b", std::string(500, 'b'));
    h.prepare({h.dir / "a", h.dir / "b"}, 17); // three passes
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    EXPECT_TRUE(h.screen->shredStarted());
    EXPECT_TRUE(h.part<PillButton>("backButton")->isHidden());
    EXPECT_TRUE(h.part<QWidget>("removedStack")->isHidden());
    ASSERT_TRUE(done.wait(20000));
    QTest::qWait(100);

    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(exists(h.dir / "a"));
    EXPECT_FALSE(exists(h.dir / "b"));
    EXPECT_EQ(h.reports.load(), 1);
    EXPECT_EQ(h.notifications.load(), 1);
    // One-pass bytes, and a blank after the file count where the errors would go.
    EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 2 File(s) "_s.arg(bytes(2000)));
    EXPECT_EQ(h.part("statusTitle")->text(), u"Removed"_s);
    EXPECT_EQ(h.part<PillButton>("actionButton")->text(), u"Report"_s);
    EXPECT_FALSE(h.part<PillButton>("backButton")->isHidden());
    EXPECT_FALSE(h.part<QWidget>("removedStack")->isHidden());
    EXPECT_TRUE(h.part("currentFilepath")->isHidden());
    EXPECT_FALSE(h.part<QWidget>("progressCheckImage")->isHidden());
    EXPECT_FLOAT_EQ(h.part<CircleProgressBar>("circleProgressBar")->progress(), 1.0f);
    EXPECT_FALSE(h.screen->shredResult()->canceled);
}

TEST(ProgressScreen, ASnapshotReplyAfterTheJobBringsTheEnd)
{
    ProgressHarness h;
    writeFile(h.dir / "a", std::string(100, 'a'));
    ShredOptions options;
    options.removeSnapshots = true;
    h.prepare({h.dir / "a"}, 16, options);
    QSignalSpy reported(h.screen, &ProgressViewController::jobReportedFinished);
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    EXPECT_TRUE(h.screen->waitForSnapshot());
    ASSERT_TRUE(reported.wait(20000));
    QTest::qWait(100);
    EXPECT_EQ(h.screen->completionCount(), 0) << "the job alone does not end the screen";
    EXPECT_EQ(done.count(), 0);
    EXPECT_EQ(h.part<PillButton>("actionButton")->text(), u"Cancel"_s)
        << "the running title stays while waiting";

    h.replyFromAnotherThread();
    ASSERT_TRUE(done.wait(5000));
    h.replyFromAnotherThread(); // a second reply changes nothing
    QTest::qWait(100);
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(h.reports.load(), 1);
}

TEST(ProgressScreen, ASnapshotReplyBeforeTheJobEndsLetsTheJobBringTheEnd)
{
    ProgressHarness h;
    h.replyAtOnce = true;
    writeFile(h.dir / "a", std::string(100, 'a'));
    ShredOptions options;
    options.removeSnapshots = true;
    h.prepare({h.dir / "a"}, 16, options);
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    ASSERT_TRUE(done.wait(20000));
    QTest::qWait(100);
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(h.screen->waitForSnapshot());
}

TEST(ProgressScreen, CancelEndsTheJobWithoutReportOrCheckMark)
{
    ProgressHarness h;
    const std::string big = h.dir / "big";
    writeFile(big, std::vector<std::uint8_t>(64 << 20, 0x5a));
    h.prepare({big}, 2); // 35 passes: long enough to be cancelled midway
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return h.part<CircleProgressBar>("circleProgressBar")->progress() > 0; }, 20000));
    h.screen->actionButtonUsed(); // the action button cancels while the job runs
    ASSERT_TRUE(done.wait(30000));

    EXPECT_TRUE(h.screen->shredResult()->canceled);
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(h.part("actionLabel")->text(), u"Deletion canceled"_s);
    EXPECT_EQ(h.part<PillButton>("actionButton")->text(), u"Report"_s);
    EXPECT_FALSE(h.part<QWidget>("removedStack")->isHidden()) << "the totals of what was done are shown";
    EXPECT_FALSE(h.part<PillButton>("backButton")->isHidden());
    EXPECT_TRUE(h.part<QWidget>("progressCheckImage")->isHidden());
    EXPECT_EQ(h.reports.load(), 0) << "no report for a cancelled job";
    EXPECT_EQ(h.notifications.load(), 1) << "the notification is still raised";
    EXPECT_TRUE(exists(big)) << "a cancelled job deletes nothing";
    EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 0 File(s) "_s.arg(bytes(0)))
        << "and its totals say so, however much of the file was begun";
}

TEST(ProgressScreen, FreeSpaceOnlyTotalsAndErrorsInTheTotals)
{
    // What the job really did; the progress it booked (failed files as done) is not shown here.
    const auto resultWith = [](std::int64_t bytesFinished, std::int64_t bytesRemoved,
                               std::uint64_t filesRemoved, std::uint64_t errors) {
        auto result = std::make_shared<ShredResult>();
        result->lastState = std::make_shared<ShredState>();
        result->lastState->bytesProgress = 99'000'000;
        result->lastState->fileProgress = 99;
        result->lastState->errorCount = errors;
        result->bytesCountFinished = bytesFinished;
        result->bytesCountRemoved = bytesRemoved;
        result->fileCountRemoved = filesRemoved;
        result->errorCount = errors;
        return result;
    };
    AppServices services;
    int notifications = 0;
    services.showNotification = [&](std::shared_ptr<ShredResult>) { ++notifications; };
    {
        auto options = std::make_shared<ShredOptions>();
        options->hasVolumes = true;
        options->eraseFreeSpaceOnly = true;
        ProgressViewController screen({nullptr, AlgorithmCollection().findByIdentifier(17), options},
                                      &services);
        screen.finished(resultWith(5'000'000, 0, 0, 0));
        EXPECT_EQ(screen.findChild<QLabel*>(u"statusTitle"_s)->text(), u"Overwritten"_s);
        EXPECT_EQ(screen.findChild<QLabel*>(u"removedLabel"_s)->text(), bytes(5'000'000))
            << "the byte amount alone, one pass";
        EXPECT_EQ(screen.completionCount(), 1);
    }
    {
        ProgressViewController screen({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                      &services);
        screen.finished(resultWith(3500, 3000, 4, 2));
        EXPECT_EQ(screen.findChild<QLabel*>(u"removedLabel"_s)->text(),
                  u"%1 in 4 File(s) - Errors 2"_s.arg(bytes(3000)));
        EXPECT_EQ(screen.findChild<QLabel*>(u"statusTitle"_s)->text(), u"Removed"_s);
    }
    EXPECT_EQ(notifications, 2);
}

TEST(ProgressScreen, TheReportButtonSaysWhatBecameOfTheReport)
{
    auto& settings = SettingsManager::sharedManager();
    TempDir reports;
    TempDir scripts;
    settings.setString(QString::fromStdString(reports.path()),
                       SettingsManager::kSettingsDeletionReportLocation);
    settings.setString(u"PDF"_s, SettingsManager::kSettingsDeletionReportFormat);
    settings.setBool(true, SettingsManager::kSettingsDeletionReportAutoSave);
    QStringList opened;
    sharedReportKeeper().setOpener([&](const QString& path) {
        opened.append(path);
        return path.endsWith(u".pdf"_s); // a viewer for PDF only
    });
    // Runs one job to its end with the real report hooks; the screen, its report made.
    const auto runJob = [&](ProgressHarness& h, bool waitForReport) {
        wireReports(h.services);
        writeFile(h.dir / "victim", std::string(100, 'v'));
        h.prepare({h.dir / "victim"}, 16);
        QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
        QSignalSpy report(h.screen, &ProgressViewController::reportFinished);
        h.show();
        EXPECT_TRUE(done.wait(20000));
        if (waitForReport) {
            EXPECT_TRUE(report.count() > 0 || report.wait(60000));
        }
        EXPECT_FALSE(exists(h.dir / "victim"));
        EXPECT_FALSE(h.screen->shredResult()->canceled);
    };
    const auto press = [](ProgressHarness& h, const QString& text, const QString& detail = {}) {
        h.screen->actionButtonUsed();
        QMessageBox* box = reportMessage(&h.host);
        if (text.isEmpty()) {
            EXPECT_EQ(box, nullptr) << box->text().toStdString();
            return;
        }
        ASSERT_NE(box, nullptr) << "no message for: " << text.toStdString();
        EXPECT_EQ(box->text(), text);
        EXPECT_TRUE(box->informativeText().contains(detail)) << box->informativeText().toStdString();
        box->accept();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    {
        SCOPED_TRACE("the renderer crashes: the window says so, and the job's result stands");
        FakeRenderer renderer(scripts, "echo 'FATAL: no shared memory' >&2; kill -ABRT $$");
        ProgressHarness h;
        runJob(h, true);
        EXPECT_FALSE(h.part("reportLabel")->isHidden());
        EXPECT_EQ(h.part("reportLabel")->text(), u"The report could not be made."_s);
        EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 1 File(s) "_s.arg(bytes(100)));
        press(h, u"The report could not be made."_s, u"crashed"_s);
        EXPECT_TRUE(QDir(QString::fromStdString(reports.path())).isEmpty());
    }
    {
        SCOPED_TRACE("still being made");
        FakeRenderer renderer(scripts, "sleep 2; exit 1");
        ProgressHarness h;
        runJob(h, false);
        press(h, u"The report is still being made. Please try again in a moment."_s);
        QSignalSpy(h.screen, &ProgressViewController::reportFinished).wait(60000);
    }
    {
        SCOPED_TRACE("saved: it opens in the viewer");
        ProgressHarness h;
        runJob(h, true);
        EXPECT_TRUE(h.part("reportLabel")->isHidden());
        press(h, QString());
        ASSERT_EQ(opened.size(), 1);
        EXPECT_TRUE(opened.first().startsWith(QString::fromStdString(reports.path())))
            << opened.first().toStdString();
    }
    {
        SCOPED_TRACE("saved, but no application can show it");
        settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
        ProgressHarness h;
        runJob(h, true);
        press(h, u"No application could open the report."_s, u".html"_s);
        settings.setString(u"PDF"_s, SettingsManager::kSettingsDeletionReportFormat);
    }
    {
        SCOPED_TRACE("not saved: automatic saving is off");
        settings.setBool(false, SettingsManager::kSettingsDeletionReportAutoSave);
        ProgressHarness h;
        runJob(h, true);
        press(h, u"The report was not saved: automatic saving of reports is off in the settings."_s);
        settings.setBool(true, SettingsManager::kSettingsDeletionReportAutoSave);
    }
    {
        SCOPED_TRACE("a cancelled job has no report");
        ProgressHarness h;
        wireReports(h.services);
        h.screen = new ProgressViewController({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                              &h.services);
        h.show();
        auto result = std::make_shared<ShredResult>();
        result->canceled = true;
        result->lastState = std::make_shared<ShredState>();
        h.screen->finished(result);
        press(h, u"No report is made for a cancelled job."_s);
    }
    sharedReportKeeper().setOpener({});
}

} // namespace cv::test
