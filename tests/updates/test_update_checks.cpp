#include "LogCapture.h"
#include "LoopbackHttpServer.h"
#include "NotificationBusTest.h"
#include "net/ServiceEndpoints.h"
#include "updates/AppcastReader.h"
#include "updates/UpdateScheduler.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

using cv::AppcastReader;
using cv::NotificationManager;
using cv::ServiceEndpoints;
using cv::SettingsManager;
using cv::UpdateCheckResult;
using cv::UpdateScheduler;
using cv::test::LoopbackHttpServer;
using Outcome = cv::UpdateCheckResult::Outcome;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QByteArray feedWithVersion(const QByteArray& version)
{
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Cindervault</title>
<item><title>Version )" +
           version + R"(</title><pubDate>Tue, 04 Jun 2024 10:00:00 +0000</pubDate>
<sparkle:version>)" +
           version + R"(</sparkle:version>
<sparkle:releaseNotesLink>https://example.com/notes.html</sparkle:releaseNotesLink>
<enclosure url="https://example.com/cindervault.deb" length="1000" type="application/vnd.debian.binary-package"/>
</item></channel></rss>)";
}

// A loopback server for the feed, with plain HTTP to it allowed.
class UpdateServer : public testing::Test
{
protected:
    void SetUp() override
    {
        ServiceEndpoints::setLoopbackHttpAllowed(true);
        ASSERT_TRUE(server.listen());
    }
    void TearDown() override { ServiceEndpoints::setLoopbackHttpAllowed(false); }

    // Checks the feed at url, by default the server's, for the version running.
    UpdateCheckResult check(AppcastReader& reader, const QString& running = u"1.0.0"_s, QUrl url = {})
    {
        QSignalSpy finished(&reader, &AppcastReader::finished);
        UpdateCheckResult result;
        QObject::connect(&reader, &AppcastReader::finished, &reader,
                         [&result](const UpdateCheckResult& r) { result = r; });
        EXPECT_TRUE(reader.check(url.isEmpty() ? server.url(u"/appcast.xml"_s) : url, running));
        EXPECT_TRUE(finished.wait(10000)) << "the check never ended";
        EXPECT_EQ(finished.count(), 1);
        QObject::disconnect(&reader, &AppcastReader::finished, &reader, nullptr);
        EXPECT_FALSE(reader.isChecking());
        return result;
    }

    LoopbackHttpServer server;
};

} // namespace

TEST_F(UpdateServer, NewerEqualOrOlderVersion)
{
    AppcastReader reader;
    server.answer(200, feedWithVersion("1.1"), "application/rss+xml");
    const UpdateCheckResult newer = check(reader);
    EXPECT_EQ(newer.outcome, Outcome::UpdateAvailable);
    EXPECT_EQ(newer.newest.version, u"1.1"_s);
    EXPECT_EQ(newer.newest.title, u"Version 1.1"_s);
    EXPECT_EQ(newer.newest.releaseNotesLink, QUrl(u"https://example.com/notes.html"_s));
    EXPECT_TRUE(newer.checkedAt.isValid());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].method, "GET");
    EXPECT_EQ(server.requests()[0].path, "/appcast.xml");

    server.answer(200, feedWithVersion("1.0"), "application/rss+xml");
    EXPECT_EQ(check(reader).outcome, Outcome::UpToDate) << "1.0 is 1.0.0";
    server.answer(200, feedWithVersion("0.9.12"), "application/rss+xml");
    EXPECT_EQ(check(reader).outcome, Outcome::UpToDate);
}

TEST_F(UpdateServer, FailuresEndTheCheckWithAReason)
{
    AppcastReader reader;
    reader.setLimits({.timeout = 500ms});
    const auto expectFailure = [&](const char* what, const QString& textPart, const QUrl& url = {}) {
        cv::test::LogCapture log;
        const UpdateCheckResult result = check(reader, u"1.0.0"_s, url);
        EXPECT_EQ(result.outcome, Outcome::Failed) << what;
        EXPECT_TRUE(result.failure.contains(textPart)) << what << ": \"" << result.failure.toStdString()
                                                       << "\" lacks \"" << textPart.toStdString() << '"';
        EXPECT_TRUE(log.contains("Update check failed: ")) << what << ": no log line";
    };

    server.answer(200, "<rss><channel><item><title>broken", "application/rss+xml");
    expectFailure("malformed feed", u"cannot be read"_s);
    server.answer(500, "oops");
    expectFailure("status 500", u"500"_s);
    server.answer(200, QByteArray(1'000'001, ' '), "application/rss+xml");
    expectFailure("feed over 1 MB with its length", u"larger than 1 MB"_s);
    server.setMode(LoopbackHttpServer::Mode::Silent);
    expectFailure("server that never answers", u"did not answer in time"_s);
    server.setMode(LoopbackHttpServer::Mode::Trickle);
    expectFailure("server that answers slowly forever", u"did not answer in time"_s);
    EXPECT_GT(server.bodyBytesSent(), 0) << "the slow server did send something";
    server.redirect(302, "http://192.0.2.1/appcast.xml");
    expectFailure("redirect to plain HTTP", u"not secure"_s);

    {
        // An endless feed without a length: reading stops at the limit, the connection is closed.
        reader.setLimits({.timeout = 20s});
        QSignalSpy hungUp(&server, &LoopbackHttpServer::clientHungUp);
        server.setMode(LoopbackHttpServer::Mode::Endless);
        expectFailure("endless feed", u"larger than 1 MB"_s);
        ASSERT_TRUE(hungUp.count() > 0 || hungUp.wait(10000)) << "the reader kept the connection open";
        EXPECT_LT(server.bodyBytesSent(), 32'000'000) << "the reader kept reading past its limit";
    }
    {
        // Nobody listens.
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        const QUrl nowhere(u"http://127.0.0.1:%1/appcast.xml"_s.arg(closed.serverPort()));
        closed.close();
        expectFailure("nobody listens", u"could not be reached"_s, nowhere);
    }
}

TEST(UpdateScheduler, WhenTheNextCheckIsDue)
{
    const QDateTime now(QDate(2024, 6, 4), QTime(12, 0), Qt::UTC);
    constexpr qint64 day = 86400;
    EXPECT_EQ(UpdateScheduler::delayUntilNextCheck(now, std::nullopt, day), 0) << "never checked";
    EXPECT_EQ(UpdateScheduler::delayUntilNextCheck(now, now.addSecs(-3600), day), 23 * 3600 * 1000LL);
    EXPECT_EQ(UpdateScheduler::delayUntilNextCheck(now, now.addSecs(-2 * day), day), 0) << "overdue";
    EXPECT_EQ(UpdateScheduler::delayUntilNextCheck(now, now.addSecs(3 * day), day), 0)
        << "a last check in the future means the clock was put back";
    EXPECT_EQ(UpdateScheduler::delayUntilNextCheck(now, now, 30 * day), 30 * day * 1000)
        << "a month in milliseconds does not fit an int";
    EXPECT_EQ(UpdateScheduler::timerStep(30 * day * 1000), day * 1000) << "the timer walks a month in steps";
    EXPECT_EQ(UpdateScheduler::timerStep(5000), 5000);

    EXPECT_EQ(UpdateScheduler::intervalOptionIndex(30 * day), 2);
    EXPECT_EQ(UpdateScheduler::intervalOptionIndex(12345), 0);
}

// The scheduler with its settings in a temporary file and notifications to a server on a private bus.
class Scheduler : public cv::test::NotificationBusTest
{
protected:
    void SetUp() override
    {
        NotificationBusTest::SetUp();
        if (!HasFatalFailure())
            startNotificationServer();
        ServiceEndpoints::setLoopbackHttpAllowed(true);
        ASSERT_TRUE(server.listen());
        scheduler = std::make_unique<UpdateScheduler>(*settings, *notifications);
        scheduler->setFeed(ServiceEndpoints::updateFeedFrom(server.url(u"/appcast.xml"_s).toString()));
        scheduler->setRunningVersion(u"1.0.0"_s);
        scheduler->setLimits({.timeout = 5s});
    }

    void TearDown() override
    {
        scheduler.reset();
        NotificationBusTest::TearDown();
        ServiceEndpoints::setLoopbackHttpAllowed(false);
    }

    void checkNow()
    {
        QSignalSpy finished(scheduler.get(), &UpdateScheduler::checkFinished);
        ASSERT_TRUE(scheduler->checkNow());
        ASSERT_TRUE(finished.wait(10000));
    }

    LoopbackHttpServer server;
    std::unique_ptr<UpdateScheduler> scheduler;
};

TEST_F(Scheduler, NoticeOnlyForANewerVersionWithAutomaticDownload)
{
    EXPECT_FALSE(scheduler->downloadsAutomatically()) << "off until the user switches it on";

    server.answer(200, feedWithVersion("1.1"));
    checkNow(); // newer, automatic download off: the pane's line only
    EXPECT_TRUE(scheduler->lastResult().updateAvailable());

    scheduler->setDownloadsAutomatically(true);
    server.answer(200, feedWithVersion("1.0"));
    checkNow(); // automatic download on, nothing newer
    server.answer(200, "<rss>");
    checkNow(); // a failed check

    server.answer(200, feedWithVersion("1.2"));
    checkNow();
    ASSERT_TRUE(waitForNotifications(1));
    // The bus keeps the order of our calls: a notice of an earlier check would have come first.
    EXPECT_EQ(notificationServer->notifications.size(), 1);
    // Nothing is downloaded or installed: the notice says what is there and where to get it.
    EXPECT_EQ(notificationServer->notifications[0].summary, u"New version available"_s);
    EXPECT_EQ(notificationServer->notifications[0].body,
              u"Cindervault 1.2 is available. Install it with your package manager.\n"
              "Release notes: https://example.com/notes.html"_s);
    // A release notes link that is not https is left out.
    EXPECT_EQ(NotificationManager::updateNotificationText(u"1.3"_s, QUrl(u"http://example.com/notes.html"_s)),
              u"Cindervault 1.3 is available. Install it with your package manager."_s);
}

TEST_F(Scheduler, AutomaticChecksFollowTheSettings)
{
    // Defaults: no automatic checks, daily; a stored interval is kept within bounds.
    EXPECT_FALSE(scheduler->checksAutomatically());
    EXPECT_EQ(scheduler->checkInterval(), 86400);
    settings->setInteger(0, SettingsManager::kSettingsUpdatesInterval);
    EXPECT_EQ(scheduler->checkInterval(), UpdateScheduler::kMinInterval) << "0 would check in a loop";
    scheduler->setCheckInterval(86400);

    server.answer(200, feedWithVersion("1.0.0"));
    scheduler->start();
    QTest::qWait(200); // a check, if one were made, would reach the server now
    EXPECT_TRUE(server.requests().isEmpty()) << "checked without being asked to";
    EXPECT_FALSE(scheduler->nextCheckTime().has_value());

    // Switched on, never checked before: a check at once, then one a day later.
    QSignalSpy finished(scheduler.get(), &UpdateScheduler::checkFinished);
    QSignalSpy checking(scheduler.get(), &UpdateScheduler::checkingChanged);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    scheduler->setChecksAutomatically(true);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(checking.count(), 2);
    EXPECT_EQ(server.requests().size(), 1);
    ASSERT_TRUE(scheduler->lastCheckTime().has_value());
    EXPECT_GE(*scheduler->lastCheckTime(), before);
    ASSERT_TRUE(scheduler->nextCheckTime().has_value());
    EXPECT_NEAR(scheduler->lastCheckTime()->secsTo(*scheduler->nextCheckTime()), 86400, 5);

    // Monthly, just checked: the wait is longer than a timer can hold, and no check is due.
    scheduler->setCheckInterval(30 * 86400);
    QTest::qWait(300); // a check, if the long wait ran over, would reach the server now
    EXPECT_EQ(server.requests().size(), 1) << "a month's wait ran over and checked at once";

    // The last check survives a restart; a failed check counts as a check, so a broken feed is
    // not asked again and again.
    settings->setInteger(QDateTime::currentSecsSinceEpoch() - 40 * 86400,
                         SettingsManager::kSettingsUpdatesLastCheck);
    server.answer(500, "down");
    UpdateScheduler restarted(*settings, *notifications);
    restarted.setFeed(scheduler->feed());
    QSignalSpy restartedFinished(&restarted, &UpdateScheduler::checkFinished);
    restarted.start();
    ASSERT_TRUE(restartedFinished.wait(10000)) << "an overdue check did not run at start";
    EXPECT_EQ(restarted.lastResult().outcome, Outcome::Failed);
    QTest::qWait(300); // a second check, if one were made, would reach the server now
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_GT(*restarted.lastCheckTime(), QDateTime::currentDateTimeUtc().addSecs(-60));
}

TEST_F(Scheduler, NotConfiguredOrBusy)
{
    UpdateScheduler unconfigured(*settings, *notifications);
    unconfigured.setFeed(ServiceEndpoints::updateFeedFrom(QString()));
    EXPECT_FALSE(unconfigured.isConfigured());
    EXPECT_FALSE(unconfigured.checkNow());
    EXPECT_EQ(unconfigured.lastResult().outcome, Outcome::NotConfigured);
    EXPECT_FALSE(unconfigured.lastResult().failure.isEmpty()) << "the pane says why";
    unconfigured.setChecksAutomatically(true);
    unconfigured.start();
    EXPECT_FALSE(unconfigured.nextCheckTime().has_value());

    server.setMode(LoopbackHttpServer::Mode::Silent);
    scheduler->setLimits({.timeout = 300ms});
    QSignalSpy finished(scheduler.get(), &UpdateScheduler::checkFinished);
    ASSERT_TRUE(scheduler->checkNow());
    EXPECT_TRUE(scheduler->isChecking());
    EXPECT_FALSE(scheduler->checkNow()) << "a second check while one runs";
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(scheduler->isChecking());
    EXPECT_EQ(server.requests().size(), 1);
}
