#pragma once

#include "app/JobRequest.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"
#include "job/FileShredder.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <thread>

class QLabel;
class QShortcut;

namespace cv {

class CircleProgressBar;
class DecorImage;
class JobEvents;
class PillButton;
struct AppServices;

// The screen on which a job runs: it makes the shred job, runs it on a worker thread (and, when
// asked, has the local snapshots removed beside it), shows each progress snapshot, and when both
// are over shows the totals, has the report made (not for a cancelled job), raises the
// notification and offers the report and the way back (backRequested(): the window decides where
// that leads). One screen serves one job.
class ProgressViewController : public QWidget
{
    Q_OBJECT

public:
    // The room the screen is laid out in (the window's start size below its title and tabs); a
    // larger window centres it.
    static constexpr QSize kContentSize{840, 470};

    explicit ProgressViewController(JobRequest request, AppServices* services = nullptr,
                                    QWidget* parent = nullptr);
    // A job still running is cancelled and waited for.
    ~ProgressViewController() override;

    const JobRequest& request() const { return m_request; }

    const std::shared_ptr<ShredResult>& shredResult() const { return m_shredResult; }
    bool shredStarted() const { return m_shredStarted; }
    bool shredFinished() const { return m_shredFinished; }
    bool waitForSnapshot() const { return m_waitForSnapshot; }
    // A job was started and has not reported its end yet.
    bool isJobRunning() const { return m_fileShredder && m_shredStarted && !m_shredFinished; }
    // Cancels the running job (as the action button does while it runs); jobReportedFinished follows.
    void cancelJob();
    // How often the end was handled (exactly once per job).
    int completionCount() const { return m_completionCount; }

    // The job's end, on the GUI thread.
    void finished(const std::shared_ptr<ShredResult>& result);
    // The action button: cancels while the job runs, opens the report afterwards.
    void actionButtonUsed();

    // Elapsed time as hours, minutes and seconds ("0:01:05"); "0" for a value that is not a time.
    static QString FormattedStringFromTimeInterval(double seconds);

signals:
    // The end was handled: totals shown, report and notification requested.
    void jobFinished();
    // The report of the job is made (or could not be).
    void reportFinished();
    // The job reported its end (the snapshot removal may still be running).
    void jobReportedFinished();
    // The user wants to leave the finished job.
    void backRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setupUi();
    void startShredder();
    void curProgress(const std::shared_ptr<const ShredState>& state);
    void snapshotDeletionReplied(std::optional<QString> error);
    // A line under the buttons about the snapshots' removal; empty hides it.
    void showSnapshotNote(const QString& text);
    void allTasksFinished();
    void finishedAnimation(bool success);
    void finish();
    void setDefaultAction(bool enabled);

    AppServices& m_services;
    JobRequest m_request;

    std::shared_ptr<FileShredder> m_fileShredder;
    JobEvents* m_events;
    std::thread m_worker;
    std::shared_ptr<ShredResult> m_shredResult;
    // Both flags change on the GUI thread only (the job's and the helper's answers arrive there),
    // which makes their test-and-set atomic.
    bool m_shredStarted = false;
    bool m_shredFinished = false;
    bool m_waitForSnapshot = false;
    std::optional<QString> m_snapshotError; // why the snapshots were not removed
    bool m_cancelRequested = false;
    int m_completionCount = 0;

    CircleProgressBar* m_circleProgressBar = nullptr;
    DecorImage* m_progressCheckImage = nullptr;
    QLabel* m_timePassed = nullptr;
    QLabel* m_currentFilepath = nullptr;
    QLabel* m_actionLabel = nullptr;
    PillButton* m_actionButton = nullptr;
    PillButton* m_backButton = nullptr;
    QWidget* m_removedStack = nullptr;
    QLabel* m_removedLabel = nullptr;
    QLabel* m_statusTitle = nullptr;
    QLabel* m_reportLabel = nullptr;
    QLabel* m_snapshotLabel = nullptr;
    QList<QShortcut*> m_defaultShortcuts;
};

} // namespace cv
