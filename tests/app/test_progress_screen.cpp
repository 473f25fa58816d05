// The progress screen: the job on a worker, exactly one end per job whichever of the job and the
// snapshot removal finishes last, cancelling, the totals, and the way back.
#include "AppTestMain.h"
#include "LogCapture.h"
#include "LoopMount.h"
#include "ProcessRunner.h"
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/Palette.h"
#include "app/ReportKeeper.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/DecorImage.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/reports/ReportPreview.h"
#include "app/reports/ReportViewController.h"
#include "app/reports/ReportWindowController.h"
#include "common/ByteCountFormatter.h"
#include "engine/AlgorithmCollection.h"
#include "job/JobEnvironment.h"
#include "reports/ReportSigningKey.h"
#include "settings/SettingsManager.h"
#include "targets/PathCollectionFactory.h"
#include "translations/AppTranslator.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QScreen>
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
    std::function<void(std::optional<std::string>)> snapshotReply;
    std::function<void()> snapshotAsking;
    bool replyAtOnce = false;

    ProgressHarness()
    {
        services.createReport = [this](std::shared_ptr<ShredResult>, auto) { ++reports; };
        services.showNotification = [this](std::shared_ptr<ShredResult>) { ++notifications; };
        services.deleteSnapshots = [this](std::function<void(std::optional<std::string>)> reply,
                                          std::function<void()> asking) {
            if (replyAtOnce) {
                // Answered at once, from a thread of its own, as a fast bus reply would be.
                std::thread(reply, std::nullopt).join();
                return;
            }
            std::lock_guard lock(replyMutex);
            snapshotReply = std::move(reply);
            snapshotAsking = std::move(asking);
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

    void replyFromAnotherThread(std::optional<std::string> error = std::nullopt)
    {
        std::function<void(std::optional<std::string>)> reply;
        {
            std::lock_guard lock(replyMutex);
            reply = snapshotReply;
        }
        ASSERT_TRUE(reply) << "the snapshot removal was asked for";
        std::thread(reply, error).join();
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

std::string pdfText(const std::string& path)
{
    return runProcess({"pdftotext", "-layout", path, "-"}).out;
}

// One field of pdfinfo's answer ("Pages", "Page size"), without the spaces around it.
std::string pdfInfo(const std::string& path, const std::string& field)
{
    const std::string info = runProcess({"pdfinfo", path}).out;
    const std::size_t at = info.find(field + ":");
    if (at == std::string::npos)
        return {};
    const std::size_t start = info.find_first_not_of(' ', at + field.size() + 1);
    return info.substr(start, info.find('\n', start) - start);
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

TEST(ProgressScreen, TheWindowsJobRunsInTheBackground)
{
    // The job runs beside the desktop: its thread niced, as batch work at the lowest best-effort
    // I/O priority (the job's own test shows the thread taking them), never paused per file.
    const cv::JobEnvironment environment = cv::AppServices().jobEnvironment();
    EXPECT_EQ(environment.niceness, cv::JobEnvironment::kBackgroundNiceness);
    EXPECT_TRUE(environment.background);
    EXPECT_EQ(environment.filePause.count(), 0);
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
    QTest::qWait(100); // a second end, if there were one, would come now

    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(exists(h.dir / "a"));
    EXPECT_FALSE(exists(h.dir / "b"));
    EXPECT_EQ(h.reports.load(), 1);
    EXPECT_EQ(h.notifications.load(), 1);
    // One-pass bytes, and a blank after the file count where the errors would go.
    EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 2 File(s)"_s.arg(bytes(2000)));
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
    QTest::qWait(100); // an end without the snapshots, if there were one, would come now
    EXPECT_EQ(h.screen->completionCount(), 0) << "the job alone does not end the screen";
    EXPECT_EQ(done.count(), 0);
    EXPECT_EQ(h.part<PillButton>("actionButton")->text(), u"Cancel"_s)
        << "the running title stays while waiting";

    // While the user is asked for the password, the screen says so.
    {
        std::function<void()> asking;
        {
            std::lock_guard lock(h.replyMutex);
            asking = h.snapshotAsking;
        }
        ASSERT_TRUE(asking);
        std::thread(asking).join();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.part("snapshotLabel")->isHidden(); }, 60000));
    EXPECT_EQ(h.part("snapshotLabel")->text(), u"Removing snapshots: Waiting for authorization..."_s);

    // Without a snapshot tool the removal fails: the user reads why, and the step the user asked
    // for failed, so the job did.
    h.replyFromAnotherThread("no snapshot tool is configured");
    ASSERT_TRUE(done.wait(60000));
    h.replyFromAnotherThread(); // a second reply changes nothing
    // A second end, if there were one, would come now.
    QTest::qWait(100);
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(h.reports.load(), 1);
    EXPECT_FALSE(h.part("snapshotLabel")->isHidden());
    EXPECT_TRUE(h.part("snapshotLabel")->text().contains(u"no snapshot tool is configured"_s));
    EXPECT_EQ(h.screen->shredResult()->errorCount, 0u);
    EXPECT_EQ(h.screen->shredResult()->otherErrorCount, 1u);
    EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 1 File(s) - Errors 1\u00A0other"_s.arg(bytes(100)));
}

TEST(ProgressScreen, AFileDeletedOnACopyOnWriteVolumeWithoutAWipeIsNamedWhenFinished)
{
    ProgressHarness h;
    const std::string volume = h.dir / "btrfs";
    QDir().mkpath(QString::fromStdString(volume));
    LoopMount btrfs(h.dir / "btrfs.img", volume, "btrfs", "128M");
    if (!btrfs.available())
        GTEST_SKIP() << "needs root and btrfs";
    writeFile(volume + "/a", std::string(70000, 'a'));
    h.prepare({volume + "/a"}, 16);
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    ASSERT_TRUE(done.wait(20000));
    // Done, and the exit is no error; but the old content may still be on the volume.
    EXPECT_EQ(h.screen->shredResult()->status(), ShredResult::Status::Success);
    EXPECT_FALSE(h.part("snapshotLabel")->isHidden());
    EXPECT_EQ(h.part("snapshotLabel")->text().toStdString(),
              "Old content may remain on " + volume + " until its free space is wiped");
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
    QTest::qWait(100); // a second end, if there were one, would come now
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_EQ(done.count(), 1);
    EXPECT_FALSE(h.screen->waitForSnapshot());
    EXPECT_TRUE(h.part("snapshotLabel")->isHidden()) << "removed: nothing to say";
}

TEST(ProgressScreen, WithoutASnapshotToolTheJobEndsAndSaysWhyInTheWindowsLanguage)
{
    AppTranslator::install(*qApp, u"de"_s);
    ProgressHarness h;
    h.services.deleteSnapshots = nullptr;
    writeFile(h.dir / "a", std::string(100, 'a'));
    ShredOptions options;
    options.removeSnapshots = true;
    h.prepare({h.dir / "a"}, 16, options);
    QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
    h.show();
    const bool ended = done.wait(20000);
    AppTranslator::install(*qApp, u"en"_s);
    ASSERT_TRUE(ended);
    EXPECT_EQ(h.screen->completionCount(), 1);
    EXPECT_FALSE(exists(h.dir / "a"));
    EXPECT_EQ(
        h.part("snapshotLabel")->text(),
        u"Die Schnappschüsse wurden nicht entfernt: Es ist kein Werkzeug für Schnappschüsse verfügbar."_s);
    EXPECT_EQ(h.screen->shredResult()->otherErrorCount, 1u) << "the step the user asked for failed";
    EXPECT_EQ(h.reports.load(), 1);
    EXPECT_EQ(h.notifications.load(), 1);
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
    EXPECT_EQ(h.reports.load(), 1) << "a cancelled job has its report too";
    EXPECT_EQ(h.notifications.load(), 1) << "the notification is still raised";
    EXPECT_TRUE(exists(big)) << "a cancelled job deletes nothing";
    EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 0 File(s)"_s.arg(bytes(0))) << "its totals say so";
    // And that the file begun is no longer as it was, its path free to wrap after each slash.
    EXPECT_EQ(h.part("overwrittenInPartLabel")->text().remove(QChar(0x200B)),
              u"Overwritten in part: the job was cancelled: %1"_s.arg(QString::fromStdString(big)));
    EXPECT_FALSE(h.part("overwrittenInPartLabel")->isHidden());
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
        EXPECT_EQ(screen.findChild<QLabel*>(u"actionLabel"_s)->text(), u"Free space wiped"_s);
        EXPECT_EQ(screen.completionCount(), 1);
    }
    {
        // Beside the check mark the screen says the job is done, in either language.
        ProgressViewController screen({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                      &services);
        screen.finished(resultWith(3000, 3000, 4, 0));
        EXPECT_NE(screen.findChild<QWidget*>(u"progressCheckImage"_s), nullptr);
        EXPECT_EQ(screen.findChild<QLabel*>(u"actionLabel"_s)->text(), u"Deletion finished"_s);
        AppTranslator::install(*qApp, u"de"_s);
        ProgressViewController german({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                      &services);
        german.finished(resultWith(2'800'000, 2'800'000, 1234, 0));
        EXPECT_EQ(german.findChild<QLabel*>(u"actionLabel"_s)->text(), u"Löschen abgeschlossen"_s);
        EXPECT_TRUE(german.findChild<QLabel*>(u"removedLabel"_s)->text().startsWith(u"2,8 MB"_s))
            << german.findChild<QLabel*>(u"removedLabel"_s)->text().toStdString();
        // Large totals with errors fit the window's width in German too: no horizontal scrolling.
        ProgressViewController errors({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                      &services);
        auto many = resultWith(191'500'000'000, 79'060'000'000, 1725, 1710);
        many->addFailure(ShredItem::Kind::Folder, "/x/unread", "Folder could not be read");
        errors.finished(many);
        EXPECT_LE(errors.minimumSizeHint().width(), ProgressViewController::kContentSize.width())
            << errors.findChild<QLabel*>(u"removedLabel"_s)->text().toStdString();
        AppTranslator::install(*qApp, u"en"_s);
    }
    {
        ProgressViewController screen({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                      &services);
        auto result = resultWith(3500, 3000, 4, 2);
        result->addFailure(ShredItem::Kind::Folder, "/x/unread", "Folder could not be read");
        screen.finished(result);
        EXPECT_EQ(screen.findChild<QLabel*>(u"removedLabel"_s)->text(),
                  u"%1 in 4 File(s) - Errors 2\u00A0File(s), 1\u00A0other"_s.arg(bytes(3000)))
            << "errors of files and of folders apart";
        EXPECT_EQ(screen.findChild<QLabel*>(u"statusTitle"_s)->text(), u"Removed"_s);
        EXPECT_EQ(screen.findChild<QLabel*>(u"actionLabel"_s)->text(), u"Finished with errors"_s);
        // A job with errors never ends with the check mark, nor in the green of success.
        EXPECT_EQ(screen.findChild<QWidget*>(u"progressCheckImage"_s), nullptr);
        EXPECT_NE(screen.findChild<QWidget*>(u"progressWarningImage"_s), nullptr);
        EXPECT_EQ(screen.findChild<CircleProgressBar*>(u"circleProgressBar"_s)->color(), Palette::failure())
            << "no green ring around the warning sign";
        EXPECT_EQ(screen.findChild<QLabel*>(u"removedLabel"_s)->styleSheet(),
                  Palette::textStyle(Palette::failure()))
            << screen.findChild<QLabel*>(u"removedLabel"_s)->styleSheet().toStdString();
    }
    EXPECT_EQ(notifications, 5);
}

TEST(ProgressScreen, StaysCentredInALargerWindow)
{
    ProgressViewController screen({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr});
    auto* content = screen.findChild<QWidget*>(u"progressContent"_s);
    ASSERT_NE(content, nullptr);
    screen.resize(ProgressViewController::kContentSize);
    screen.show();
    QApplication::processEvents();
    EXPECT_EQ(content->geometry(), screen.rect()) << "at the start size the screen fills its room";
    screen.resize(1400, 1000);
    QApplication::processEvents();
    EXPECT_EQ(content->size(), ProgressViewController::kContentSize);
    EXPECT_LE((content->geometry().center() - screen.rect().center()).manhattanLength(), 2)
        << "in the middle of the larger window";
}

TEST(ProgressScreen, TheReportButtonOpensTheJobsReportMadeAfresh)
{
    auto& settings = SettingsManager::sharedManager();
    TempDir reports;
    TempDir scripts;
    settings.setString(QString::fromStdString(reports.path()),
                       SettingsManager::kSettingsDeletionReportLocation);
    settings.setString(u"PDF"_s, SettingsManager::kSettingsDeletionReportFormat);
    settings.setBool(true, SettingsManager::kSettingsDeletionReportAutoSave);
    // Runs one job to its end with the real report hooks, its report made; then the Report button.
    const auto runJobAndPress = [&](ProgressHarness& h) -> ReportViewController* {
        wireReports(h.services);
        writeFile(h.dir / "victim", std::string(100, 'v'));
        h.prepare({h.dir / "victim"}, 16);
        QSignalSpy report(h.screen, &ProgressViewController::reportFinished);
        h.show();
        EXPECT_TRUE(report.wait(60000));
        EXPECT_FALSE(exists(h.dir / "victim"));
        h.screen->actionButtonUsed();
        auto* window = qobject_cast<ReportWindowController*>(sharedReportKeeper().reportWindow());
        if (!window)
            return nullptr;
        QSignalSpy shown(window->contentViewController(), &ReportViewController::reportShown);
        EXPECT_TRUE(shown.wait(60000));
        return window->contentViewController();
    };
    {
        SCOPED_TRACE("the renderer crashes: both windows say so, and the job's result stands");
        FakeRenderer renderer(scripts, "echo 'FATAL: no shared memory' >&2; kill -ABRT $$");
        ProgressHarness h;
        ReportViewController* view = runJobAndPress(h);
        EXPECT_FALSE(h.part("reportLabel")->isHidden());
        EXPECT_EQ(h.part("reportLabel")->text(), u"The report could not be made."_s);
        EXPECT_EQ(h.part("removedLabel")->text(), u"%1 in 1 File(s)"_s.arg(bytes(100)));
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->findChild<QLabel*>(u"reportStatus"_s)
                        ->text()
                        .endsWith(u"\nThe report renderer crashed: FATAL: no shared memory."_s))
            << view->findChild<QLabel*>(u"reportStatus"_s)->text().toStdString();
        EXPECT_EQ(h.part("reportLabel")->toolTip(),
                  u"The report renderer crashed: FATAL: no shared memory."_s);
        EXPECT_FALSE(view->findChild<PillButton*>(u"pdfButton"_s)->isEnabled());
        EXPECT_TRUE(QDir(QString::fromStdString(reports.path())).isEmpty());
        view->window()->close();
    }
    {
        SCOPED_TRACE(
            "a signing key that cannot be read: the report is saved unsigned, and the window says why");
        const QString keyFile = cv::ReportSigningKey::defaultFolder() + u"/key.pem"_s;
        ASSERT_TRUE(QDir().mkpath(cv::ReportSigningKey::defaultFolder()));
        writeFile(keyFile.toStdString(), std::string("not a key\n"));
        ProgressHarness h;
        ReportViewController* view = runJobAndPress(h);
        EXPECT_FALSE(h.part("reportLabel")->isHidden());
        EXPECT_EQ(h.part("reportLabel")->text(), u"The report is not signed."_s);
        EXPECT_TRUE(h.part("reportLabel")->toolTip().startsWith(u"The signing key cannot be used: "_s))
            << h.part("reportLabel")->toolTip().toStdString();
        QDir folder(QString::fromStdString(reports.path()));
        const QStringList saved = folder.entryList({u"*.pdf"_s});
        EXPECT_EQ(saved.size(), 1);
        for (const QString& name : saved)
            folder.remove(name);
        QFile::remove(keyFile);
        if (view)
            view->window()->close();
    }
    {
        SCOPED_TRACE("a new report of the job, not the saved one; printed and saved as PDF");
        ProgressHarness h;
        ReportViewController* view = runJobAndPress(h);
        ASSERT_NE(view, nullptr);
        const QStringList saved = QDir(QString::fromStdString(reports.path())).entryList({u"*.pdf"_s});
        ASSERT_EQ(saved.size(), 1);
        const QString id = view->preview()->reportId();
        ASSERT_FALSE(id.isEmpty());
        EXPECT_EQ(pdfText(reports / saved.first().toStdString()).find(id.toStdString()), std::string::npos);

        const std::string out = h.dir / "copy";
        ASSERT_TRUE(view->savePdfAs(QString::fromStdString(out)));
        EXPECT_NE(pdfText(out + ".pdf").find(id.toStdString()), std::string::npos);
        EXPECT_EQ(pdfInfo(out + ".pdf", "Pages"), "1");
        // And the window says that, and where, it saved it.
        auto* savedLabel = view->findChild<QLabel*>(u"savedLabel"_s);
        ASSERT_NE(savedLabel, nullptr);
        EXPECT_FALSE(savedLabel->isHidden());
        EXPECT_TRUE(savedLabel->text().contains(u"copy.pdf"_s)) << savedLabel->text().toStdString();
        {
            LogCapture log;
            EXPECT_FALSE(view->savePdfAs(QString::fromStdString(h.dir / "no-such-folder/x.pdf")));
            EXPECT_TRUE(log.contains("failed to save file"));
            auto* alert = view->findChild<QMessageBox*>(u"alert"_s);
            ASSERT_NE(alert, nullptr);
            EXPECT_EQ(alert->text(), u"failed to save file"_s);
            alert->accept();
        }

        // A printer that prints to a file: portrait paper, the report cut into pages of its width.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFileName(QString::fromStdString(h.dir / "printed.pdf"));
        ASSERT_TRUE(view->printTo(printer));
        EXPECT_EQ(pdfInfo(h.dir / "printed.pdf", "Page size"), "595 x 842 pts (A4)") << "portrait";
        EXPECT_GE(std::stoi("0" + pdfInfo(h.dir / "printed.pdf", "Pages")), 1);

        // The window keeps its place and width, and takes the screen's full height, its frame
        // included (its buttons below stay on the screen).
        QWidget* window = view->window();
        window->resize(700, window->height());
        window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReportWindowController again(settings, sharedReportKeeper(), h.screen->shredResult());
        again.setAttribute(Qt::WA_DeleteOnClose, false);
        again.show();
        QApplication::processEvents();
        EXPECT_EQ(again.width(), 700);
        EXPECT_EQ(again.frameGeometry().height(),
                  QGuiApplication::primaryScreen()->availableGeometry().height());
        EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(again.frameGeometry()));
        again.close();
    }
    {
        SCOPED_TRACE("a cancelled job has its report, in the report window like any other");
        ProgressHarness h;
        wireReports(h.services);
        h.screen = new ProgressViewController({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr},
                                              &h.services);
        h.show();
        auto result = std::make_shared<ShredResult>();
        result->canceled = true;
        result->lastState = std::make_shared<ShredState>();
        h.screen->finished(result);
        h.screen->actionButtonUsed();
        EXPECT_EQ(reportMessage(&h.host), nullptr);
        auto* window = qobject_cast<ReportWindowController*>(sharedReportKeeper().reportWindow());
        ASSERT_NE(window, nullptr);
        window->close();
    }
}

TEST(ProgressScreen, TheDeletionPanesVerificationChoiceReadsEveryFileBack)
{
    auto& settings = SettingsManager::sharedManager();
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        settings.setBool(on, SettingsManager::kSettingsDeletionVerifyLastPass);
        ProgressHarness h;
        writeFile(h.dir / "a", std::string(70000, 'a'));
        h.prepare({h.dir / "a"}, 17);
        QSignalSpy done(h.screen, &ProgressViewController::jobFinished);
        h.show();
        ASSERT_TRUE(done.wait(20000));
        const auto result = h.screen->shredResult();
        EXPECT_EQ(result->options->verification, on ? Verification::LastPass : Verification::Off);
        ASSERT_EQ(result->history.size(), 1u);
        EXPECT_EQ(result->history[0].verified, on);
        EXPECT_EQ(result->lastState->bytesCount, (on ? 4 : 3) * 70000) << "the read-back counts in the bar";
        EXPECT_FALSE(exists(h.dir / "a"));
    }
}

} // namespace cv::test
