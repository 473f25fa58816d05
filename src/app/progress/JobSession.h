#pragma once

#include "app/JobRequest.h"
#include "app/ReportKeeper.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"
#include "job/FileShredder.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <thread>

namespace cv {

class JobEvents;
struct AppServices;

// One job of the window from its start to its end: the shred job on a worker thread, the removal
// of the local snapshots beside it when the options ask for it, and, once both are over, the
// job's final result, its report and its notification, in that order. The progress screen starts
// it, shows what it announces and may cancel it; the session decides when the job is over. One
// session runs one job; all of it happens on the GUI thread, where the job's and the helper's
// answers are passed.
class JobSession : public QObject
{
    Q_OBJECT

public:
    JobSession(JobRequest request, AppServices& services, QObject* parent = nullptr);
    // A job still running is cancelled and waited for.
    ~JobSession() override;

    const JobRequest& request() const { return m_request; }

    // Starts the job with the window's environment, and the snapshots' removal when asked for;
    // once. A request without a collection or a real method starts nothing (and never ends).
    void start();
    // Cancels the running job; jobEnded follows.
    void cancel();
    // The job's end, on the GUI thread: the job's own end comes here, and tests hand one in.
    void takeJobEnd(const std::shared_ptr<ShredResult>& result);

    const std::shared_ptr<ShredResult>& result() const { return m_result; }
    bool started() const { return m_started; }
    // The job has reported its end (the snapshots' removal may still run).
    bool jobHasEnded() const { return m_jobEnded; }
    bool waitingForSnapshots() const { return m_waitForSnapshot; }
    // A job was started and has not reported its end yet.
    bool isJobRunning() const { return m_job && m_started && !m_jobEnded; }
    // Why the snapshots were not removed; empty when they were or none were asked for.
    const std::optional<QString>& snapshotError() const { return m_snapshotError; }
    // How often the end was handled (exactly once per job).
    int completionCount() const { return m_completionCount; }

signals:
    // A snapshot of the running job's progress.
    void progressed(std::shared_ptr<const ShredState> state);
    // The job reported its end (the snapshots' removal may still be running).
    void jobEnded();
    // The user is asked to authorize the snapshots' removal.
    void snapshotAuthorizationAsked();
    // The snapshots' removal has answered (snapshotError() says how).
    void snapshotRemovalEnded();
    // Job and snapshots are over: the result is final, its report and notification requested.
    void finished();
    // The report of the job is made, or could not be.
    void reportFinished(const ReportOutcome& outcome);

private:
    void startSnapshotRemoval();
    void snapshotRemovalReplied(std::optional<QString> error);
    void allTasksFinished();
    void createReport();
    void notify();

    AppServices& m_services;
    JobRequest m_request;
    std::shared_ptr<FileShredder> m_job;
    JobEvents* m_events;
    std::thread m_worker;
    std::shared_ptr<ShredResult> m_result;
    // The flags change on the GUI thread only (the job's and the helper's answers arrive there),
    // which makes their test-and-set atomic.
    bool m_started = false;
    bool m_jobEnded = false;
    bool m_waitForSnapshot = false;
    bool m_cancelRequested = false;
    std::optional<QString> m_snapshotError;
    int m_completionCount = 0;
};

} // namespace cv
