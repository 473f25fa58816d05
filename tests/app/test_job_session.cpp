// One job of the window from its start to its single end: the job and the snapshots' removal in
// either order, the cancel, and a session that goes while its job runs.
#include "AppTestMain.h"
#include "JobGate.h"
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/progress/JobSession.h"
#include "engine/AlgorithmCollection.h"
#include "reports/ReportOutcome.h"
#include "targets/PathCollectionFactory.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

// Far beyond what any machine needs for what is on its way.
constexpr int kGenerousMs = 60000;

// A session over one file, with stand-ins that count the reports and notifications asked for and
// keep the snapshots' removal's callbacks for the test to answer from another thread.
struct SessionHarness
{
    TempDir dir;
    JobGate gate;
    AppServices services;
    std::atomic<int> reports{0};
    std::atomic<int> notifications{0};
    std::mutex snapshotMutex;
    std::function<void(std::optional<std::string>)> snapshotReply;
    std::function<void()> snapshotAsking;
    std::unique_ptr<JobSession> session;

    explicit SessionHarness(bool removeSnapshots)
    {
        writeFile(dir / "file", std::string(4096, 's'));
        services.makeSleepInhibitor = [this] { return gate.inhibitor(); };
        services.createReport = [this](std::shared_ptr<ShredResult>,
                                       std::function<void(const ReportOutcome&)> done) {
            ++reports;
            ReportOutcome outcome;
            outcome.state = ReportOutcome::State::NotSaved;
            if (done)
                done(outcome);
        };
        services.showNotification = [this](std::shared_ptr<ShredResult>) { ++notifications; };
        services.deleteSnapshots = [this](std::function<void(std::optional<std::string>)> reply,
                                          std::function<void()> asking) {
            std::lock_guard lock(snapshotMutex);
            snapshotReply = std::move(reply);
            snapshotAsking = std::move(asking);
        };
        auto options = std::make_shared<ShredOptions>();
        options->removeSnapshots = removeSnapshots;
        JobRequest request{PathCollectionFactory().createPathCollection({dir / "file"}),
                           AlgorithmCollection().findByIdentifier(16), options};
        session = std::make_unique<JobSession>(std::move(request), services);
    }
    ~SessionHarness()
    {
        // A test that stopped early must not leave the job held at its gate.
        gate.letThrough();
        session.reset();
    }

    // The snapshots' removal answers, or says it asks the user, from a thread of the bus.
    void snapshotAnswer(std::optional<std::string> error)
    {
        std::function<void(std::optional<std::string>)> reply;
        {
            std::lock_guard lock(snapshotMutex);
            reply = snapshotReply;
        }
        ASSERT_TRUE(reply) << "the snapshots' removal was asked for";
        std::thread(reply, std::move(error)).join();
    }
    void snapshotAsksTheUser()
    {
        std::function<void()> asking;
        {
            std::lock_guard lock(snapshotMutex);
            asking = snapshotAsking;
        }
        ASSERT_TRUE(asking);
        std::thread(asking).join();
    }
};

// What other threads posted to the GUI thread and is already queued, handled now.
void handlePosted()
{
    QCoreApplication::sendPostedEvents();
}

bool hasSnapshotFailure(const ShredResult& result)
{
    return std::any_of(result.history.begin(), result.history.end(), [](const ShredItem& item) {
        return item.kind == ShredItem::Kind::Step && item.path.str() == "snapshots";
    });
}

} // namespace

TEST(JobSession, EndsOnceWhenBothTheJobAndTheSnapshotRemovalAreOver)
{
    {
        SCOPED_TRACE("the job ends first; the removal fails later, and so the job did");
        SessionHarness h(true);
        JobSession& session = *h.session;
        QSignalSpy jobEnded(&session, &JobSession::jobEnded);
        QSignalSpy asked(&session, &JobSession::snapshotAuthorizationAsked);
        QSignalSpy removalEnded(&session, &JobSession::snapshotRemovalEnded);
        QSignalSpy finished(&session, &JobSession::finished);
        int reportsHeard = 0;
        QObject::connect(&session, &JobSession::reportFinished, &session,
                         [&](const ReportOutcome&) { ++reportsHeard; });

        session.start();
        ASSERT_TRUE(h.gate.awaitEntered());
        EXPECT_TRUE(session.started());
        EXPECT_TRUE(session.isJobRunning());
        EXPECT_TRUE(session.waitingForSnapshots());
        h.snapshotAsksTheUser();
        ASSERT_TRUE(asked.wait(kGenerousMs)) << "the user's question is told on the GUI thread";

        h.gate.letThrough();
        ASSERT_TRUE(jobEnded.wait(kGenerousMs));
        EXPECT_TRUE(session.jobHasEnded());
        EXPECT_FALSE(session.isJobRunning());
        EXPECT_EQ(finished.count(), 0) << "the removal still runs";
        EXPECT_EQ(h.reports.load(), 0);

        h.snapshotAnswer("no snapshot tool is configured");
        ASSERT_TRUE(finished.wait(kGenerousMs));
        EXPECT_EQ(removalEnded.count(), 1);
        EXPECT_EQ(session.snapshotError(), std::optional(u"no snapshot tool is configured"_s));
        ASSERT_TRUE(session.result());
        EXPECT_TRUE(hasSnapshotFailure(*session.result())) << "the step the user asked for failed";
        EXPECT_FALSE(exists(h.dir / "file")) << "the job itself ran through";

        // Late words of the removal change nothing.
        h.snapshotAnswer(std::nullopt);
        h.snapshotAsksTheUser();
        handlePosted();
        EXPECT_EQ(removalEnded.count(), 1);
        EXPECT_EQ(asked.count(), 1);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(session.completionCount(), 1);
        EXPECT_EQ(h.reports.load(), 1);
        EXPECT_EQ(reportsHeard, 1);
        EXPECT_EQ(h.notifications.load(), 1);
    }
    {
        SCOPED_TRACE("the removal is done before the job: the job's end is the end");
        SessionHarness h(true);
        JobSession& session = *h.session;
        QSignalSpy removalEnded(&session, &JobSession::snapshotRemovalEnded);
        QSignalSpy finished(&session, &JobSession::finished);
        session.start();
        ASSERT_TRUE(h.gate.awaitEntered());
        h.snapshotAnswer(std::nullopt);
        ASSERT_TRUE(removalEnded.wait(kGenerousMs));
        EXPECT_FALSE(session.waitingForSnapshots());
        EXPECT_EQ(finished.count(), 0) << "the job still runs";
        h.gate.letThrough();
        ASSERT_TRUE(finished.wait(kGenerousMs));
        EXPECT_FALSE(session.snapshotError().has_value());
        EXPECT_FALSE(hasSnapshotFailure(*session.result()));
        handlePosted();
        EXPECT_EQ(session.completionCount(), 1);
        EXPECT_EQ(h.reports.load(), 1);
    }
    {
        SCOPED_TRACE("no snapshot tool at all: the removal fails with its reason, the job ends");
        SessionHarness h(true);
        h.services.deleteSnapshots = nullptr;
        QSignalSpy finished(h.session.get(), &JobSession::finished);
        h.gate.letThrough();
        h.session->start();
        ASSERT_TRUE(finished.wait(kGenerousMs));
        EXPECT_EQ(h.session->snapshotError(), std::optional(u"No snapshot tool is available."_s));
        EXPECT_TRUE(hasSnapshotFailure(*h.session->result()));
    }
    {
        SCOPED_TRACE("without a method there is nothing to run, and nothing ends");
        SessionHarness h(false);
        JobSession bare(JobRequest{h.session->request().pathCollection, nullptr, nullptr}, h.services);
        QSignalSpy finished(&bare, &JobSession::finished);
        bare.start();
        bare.cancel();
        handlePosted();
        EXPECT_TRUE(bare.started());
        EXPECT_FALSE(bare.isJobRunning());
        EXPECT_EQ(finished.count(), 0);
        EXPECT_TRUE(exists(h.dir / "file"));
    }
}

TEST(JobSession, ACancelStopsTheJobWhichStillEndsWithItsReport)
{
    {
        SCOPED_TRACE("cancelled while running");
        SessionHarness h(false);
        JobSession& session = *h.session;
        QSignalSpy finished(&session, &JobSession::finished);
        session.cancel(); // before the start: nothing to cancel
        session.start();
        ASSERT_TRUE(h.gate.awaitEntered());
        session.cancel();
        session.cancel(); // twice is once
        h.gate.letThrough();
        ASSERT_TRUE(finished.wait(kGenerousMs));
        ASSERT_TRUE(session.result());
        EXPECT_TRUE(session.result()->canceled);
        EXPECT_EQ(readFile(h.dir / "file"), std::vector<std::uint8_t>(4096, 's'))
            << "cancelled before its first pass, the file is untouched";
        EXPECT_EQ(h.reports.load(), 1) << "a cancelled job has its report too";
        EXPECT_EQ(h.notifications.load(), 1);
        session.cancel(); // after the end: nothing
        handlePosted();
        EXPECT_EQ(session.completionCount(), 1);
        EXPECT_EQ(finished.count(), 1);
    }
    {
        SCOPED_TRACE("a session that goes while its job runs cancels and waits for it");
        SessionHarness h(false);
        h.session->start();
        ASSERT_TRUE(h.gate.awaitEntered());
        h.gate.letThrough();
        h.session.reset(); // returns only once the job's thread has ended
        handlePosted();
        EXPECT_EQ(h.reports.load(), 0) << "the job's end died with its session";
        EXPECT_EQ(h.notifications.load(), 0);
    }
}

} // namespace cv::test
