#pragma once

#include "engine/Algorithm.h"
#include "job/FileShredder.h"
#include "engine/ShredOptions.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"
#include "targets/PathCollection.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QShortcut;

namespace cv {

class CircleProgressBar;
class DecorImage;
class PillButton;
struct AppServices;

// The screen on which a job runs: it makes the shred job, runs it on a worker thread (and, when
// asked, has the local snapshots removed beside it), shows each progress snapshot, and when both
// are over shows the totals, has the report made (not for a cancelled job), raises the
// notification and offers the report and the way back. One screen serves one job.
class ProgressViewController : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressViewController(QWidget* parent = nullptr, AppServices* services = nullptr);
    // A job still running is cancelled and waited for.
    ~ProgressViewController() override;

    void setPathCollection(std::shared_ptr<PathCollection> collection)
    {
        m_pathCollection = std::move(collection);
    }
    void setAlgorithm(std::shared_ptr<Algorithm> algorithm) { m_algorithm = std::move(algorithm); }
    void setShredOptions(std::shared_ptr<ShredOptions> options) { m_shredOptions = std::move(options); }
    // "Finish", "FinishFreespace" or "FinishTemp": where the back button leads.
    void setFinishSegue(const QString& segue) { m_finishSegue = segue; }
    QString finishSegue() const { return m_finishSegue; }
    // Lets tests adjust the job before it runs (volume probe, pauses).
    void setJobConfigurator(std::function<void(FileShredder&)> configure)
    {
        m_configureJob = std::move(configure);
    }

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

    // Makes and starts the job, and the snapshot removal when the options ask for it.
    void startShredder();
    // One snapshot of the job, on the GUI thread.
    void curProgress(const std::shared_ptr<const ShredState>& state);
    // The job's end, on the GUI thread.
    void finished(const std::shared_ptr<ShredResult>& result);
    // The snapshot removal replied, on the GUI thread.
    void snapshotDeletionReplied();
    void allTasksFinished();
    void finish();
    void actionButtonUsed();
    void backPressed();
    void performFinishSegue();

    // Elapsed time as hours, minutes and seconds ("0:01:05"); "0" for a value that is not a time.
    static QString FormattedStringFromTimeInterval(double seconds);

    CircleProgressBar* circleProgressBar() const { return m_circleProgressBar; }
    DecorImage* progressCheckImage() const { return m_progressCheckImage; }
    QLabel* timePassed() const { return m_timePassed; }
    QLabel* currentFilepath() const { return m_currentFilepath; }
    QLabel* actionLabel() const { return m_actionLabel; }
    PillButton* actionButton() const { return m_actionButton; }
    PillButton* backButton() const { return m_backButton; }
    QWidget* removedStack() const { return m_removedStack; }
    QLabel* removedLabel() const { return m_removedLabel; }
    QLabel* statusTitle() const { return m_statusTitle; }
    // Says that the report could not be made; hidden otherwise.
    QLabel* reportLabel() const { return m_reportLabel; }

signals:
    // The end was handled: totals shown, report and notification requested.
    void jobFinished();
    // The report of the job is made (or could not be).
    void reportFinished();
    // The job reported its end (the snapshot removal may still be running).
    void jobReportedFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    class JobBridge;

    void setupUi();
    void viewWillAppear();
    void finishedAnimation();
    void canceledAnimation();
    void setDefaultAction(bool enabled);

    AppServices& m_services;
    std::shared_ptr<PathCollection> m_pathCollection;
    std::shared_ptr<Algorithm> m_algorithm;
    std::shared_ptr<ShredOptions> m_shredOptions;
    QString m_finishSegue;
    std::function<void(FileShredder&)> m_configureJob;

    std::shared_ptr<FileShredder> m_fileShredder;
    std::shared_ptr<JobBridge> m_bridge;
    std::thread m_worker;
    std::shared_ptr<ShredResult> m_shredResult;
    // Both flags change on the GUI thread only (the job's and the helper's threads post there),
    // which makes their test-and-set atomic.
    bool m_shredStarted = false;
    bool m_shredFinished = false;
    bool m_waitForSnapshot = false;
    bool m_cancelRequested = false;
    int m_completionCount = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

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
    QList<QShortcut*> m_defaultShortcuts;
};

} // namespace cv
