#pragma once

#include "app/JobRequest.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"

#include <QWidget>

#include <memory>

class QLabel;
class QShortcut;

namespace cv {

class CircleProgressBar;
class DecorImage;
class JobSession;
class PillButton;
struct AppServices;
struct ReportOutcome;

// The screen on which a job runs: it starts the job's session (the job on its worker, the local
// snapshots' removal beside it when asked), shows each progress snapshot, and when the session says
// the job is over shows the totals and offers the report and the way back (backRequested(): the
// window decides where that leads). One screen serves one job.
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

    const JobRequest& request() const;
    const std::shared_ptr<ShredResult>& shredResult() const;
    bool shredStarted() const;
    bool shredFinished() const;
    bool waitForSnapshot() const;
    // A job was started and has not reported its end yet.
    bool isJobRunning() const;
    // Cancels the running job (as the action button does while it runs); jobReportedFinished follows.
    void cancelJob();
    // How often the end was handled (exactly once per job).
    int completionCount() const;

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
    // A line under the buttons about the snapshots' removal; empty hides it.
    void showSnapshotNote(const QString& text);
    void allTasksFinished();
    void reportMade(const ReportOutcome& outcome);
    void finishedAnimation(bool success);
    void finish();
    void setDefaultAction(bool enabled);

    AppServices& m_services;
    JobSession* m_session;

    CircleProgressBar* m_circleProgressBar = nullptr;
    DecorImage* m_progressCheckImage = nullptr;
    QLabel* m_timePassed = nullptr;
    QLabel* m_currentFilepath = nullptr;
    QLabel* m_actionLabel = nullptr;
    PillButton* m_actionButton = nullptr;
    PillButton* m_backButton = nullptr;
    QWidget* m_removedStack = nullptr;
    QLabel* m_removedLabel = nullptr;
    QLabel* m_partLabel = nullptr; // the files a cancel left overwritten in part
    QLabel* m_statusTitle = nullptr;
    QLabel* m_reportLabel = nullptr;
    QLabel* m_snapshotLabel = nullptr;
    QList<QShortcut*> m_defaultShortcuts;
};

} // namespace cv
