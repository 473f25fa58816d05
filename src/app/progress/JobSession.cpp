#include "app/progress/JobSession.h"

#include "app/AppServices.h"
#include "app/progress/JobEvents.h"
#include "app/reports/ReportPdfPane.h"
#include "common/Log.h"
#include "job/ShredPlan.h"
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace cv {

JobSession::JobSession(JobRequest request, AppServices& services, QObject* parent)
    : QObject(parent), m_services(services), m_request(std::move(request)), m_events(new JobEvents(this))
{
    if (!m_request.shredOptions)
        m_request.shredOptions = std::make_shared<ShredOptions>();
    // Queued: the job calls from its own thread.
    connect(m_events, &JobEvents::progressed, this, &JobSession::progressed, Qt::QueuedConnection);
    connect(m_events, &JobEvents::ended, this, &JobSession::takeJobEnd, Qt::QueuedConnection);
}

JobSession::~JobSession()
{
    if (m_worker.joinable()) {
        if (m_job && !m_jobEnded)
            m_job->cancel();
        m_worker.join();
    }
}

void JobSession::start()
{
    if (m_started)
        return;
    m_started = true;
    m_jobEnded = false;
    m_waitForSnapshot = false;

    const JobRequest& job = m_request;
    if (!job.pathCollection || !job.algorithm || job.algorithm->cycles() == 0) {
        // The opening screen must hand over a real method; without one there is nothing to run.
        logLine("Progress screen opened without a collection or a real method; nothing to do");
        return;
    }

    // Reading the last pass back is the Deletion pane's choice, for every kind of job; a request
    // that asked for more keeps it.
    if (job.shredOptions->verification == Verification::Off &&
        SettingsManager::sharedManager().verifiesLastPass())
        job.shredOptions->verification = Verification::LastPass;
    m_job = std::make_shared<FileShredder>(job.pathCollection, job.algorithm, job.shredOptions);
    m_job->setDelegate(m_events);
    m_job->setEnvironment(m_services.jobEnvironment());
    m_worker = std::thread([job = m_job] { job->run(); });

    if (job.shredOptions->removeSnapshots)
        startSnapshotRemoval();
}

void JobSession::startSnapshotRemoval()
{
    m_waitForSnapshot = true;
    if (!m_services.deleteSnapshots) {
        logLine("Snapshot removal not available; going on without it");
        QTimer::singleShot(0, this, [this] { snapshotRemovalReplied(tr("No snapshot tool is available.")); });
        return;
    }
    // The reply comes on a thread of the bus connection, possibly after this session is gone; it
    // is passed on to the GUI thread, where the guard says whether the session still listens.
    const QPointer<JobSession> session(this);
    m_services.deleteSnapshots(
        [session](std::optional<std::string> error) {
            QMetaObject::invokeMethod(qApp, [session, error = std::move(error)] {
                if (session)
                    session->snapshotRemovalReplied(error ? std::optional(QString::fromStdString(*error))
                                                          : std::nullopt);
            });
        },
        [session] {
            QMetaObject::invokeMethod(qApp, [session] {
                if (session && session->m_waitForSnapshot)
                    emit session->snapshotAuthorizationAsked();
            });
        });
}

void JobSession::cancel()
{
    if (m_job && !m_jobEnded && !m_cancelRequested) {
        m_cancelRequested = true;
        m_job->cancel();
    }
}

void JobSession::takeJobEnd(const std::shared_ptr<ShredResult>& result)
{
    if (m_jobEnded)
        return;
    m_result = result;
    m_jobEnded = true;
    // The job's own end (not one a test hands in): a target still there without an error that
    // says why is one. The job has handed over its result, its last act; what it kept stays put.
    if (m_result && m_job && m_result == m_job->result())
        ShredPlan::noteLeftovers(*m_result, m_job->preparedExcludes());
    emit jobEnded();
    if (!m_waitForSnapshot)
        allTasksFinished();
}

void JobSession::snapshotRemovalReplied(std::optional<QString> error)
{
    if (!m_waitForSnapshot)
        return; // a second reply changes nothing
    m_waitForSnapshot = false;
    m_snapshotError = std::move(error);
    emit snapshotRemovalEnded();
    if (m_jobEnded)
        allTasksFinished();
}

void JobSession::allTasksFinished()
{
    if (m_completionCount > 0 || !m_result)
        return;
    ++m_completionCount;
    if (m_worker.joinable())
        m_worker.join(); // run() has returned: finished() is its last act
    // Snapshots the user asked to remove and that stay are a failure of the job, in its report,
    // its notice and its counts alike.
    if (m_snapshotError)
        m_result->addFailure(ShredItem::Kind::Step, "snapshots", "Snapshots could not be deleted",
                             ReportPdfPane::sentence(*m_snapshotError).toStdString());
    createReport();
    notify();
    emit finished();
}

void JobSession::createReport()
{
    // Every job has its report, a cancelled one too: what was destroyed before the cancel needs its
    // proof most.
    if (m_services.createReport) {
        m_services.createReport(m_result,
                                [session = QPointer<JobSession>(this)](const ReportOutcome& outcome) {
                                    if (session)
                                        emit session->reportFinished(outcome);
                                });
    } else {
        logLine("Report builder not available; no report made for this job");
    }
}

void JobSession::notify()
{
    if (m_services.showNotification)
        m_services.showNotification(m_result);
    else
        logLine("Notifications not available; the end of the job is not announced");
}

} // namespace cv
