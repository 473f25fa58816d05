#include "app/progress/ProgressViewController.h"

#include "app/AppServices.h"
#include "app/MainMenuHostViewController.h"
#include "app/ReportKeeper.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/DecorImage.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/shred/DropFilesViewController.h"
#include "common/ByteCountFormatter.h"
#include "common/Log.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

// The job's delegate on the worker thread: it hands every call over to the GUI thread, each
// snapshot with its own copy, in order. Calls that arrive after the screen is gone are dropped
// there (the screen's liveness flag is read on the GUI thread only).
class ProgressViewController::JobBridge : public FileShredderDelegate
{
public:
    JobBridge(ProgressViewController* screen, std::shared_ptr<bool> alive)
        : m_screen(screen), m_alive(std::move(alive))
    {}

    void curProgress(std::shared_ptr<const ShredState> state) override
    {
        post([state](ProgressViewController* screen) { screen->curProgress(state); });
    }

    void finished(std::shared_ptr<ShredResult> result) override
    {
        post([result](ProgressViewController* screen) { screen->finished(result); });
    }

private:
    template <typename Call> void post(Call call)
    {
        QMetaObject::invokeMethod(qApp, [screen = m_screen, alive = m_alive, call] {
            if (*alive)
                call(screen);
        });
    }

    ProgressViewController* m_screen;
    std::shared_ptr<bool> m_alive;
};

namespace {

QLabel* makeLabel(QWidget* parent, int pixelSize, const QColor& color, QFont::Weight weight = QFont::Normal)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    label->setStyleSheet(u"color: %1;"_s.arg(color.name()));
    return label;
}

QString byteCount(std::int64_t bytes)
{
    return QString::fromStdString(formatByteCount(bytes));
}

} // namespace

ProgressViewController::ProgressViewController(QWidget* parent, AppServices* services)
    : QWidget(parent), m_services(services ? *services : AppServices::shared())
{
    setObjectName(u"ProgressViewController"_s);
    setupUi();
}

ProgressViewController::~ProgressViewController()
{
    *m_alive = false;
    if (m_worker.joinable()) {
        if (m_fileShredder && !m_shredFinished)
            m_fileShredder->cancel();
        m_worker.join();
    }
}

void ProgressViewController::setupUi()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* base = new ColorGradientView(this);
    layout->addWidget(base);

    m_circleProgressBar = new CircleProgressBar(base);
    m_circleProgressBar->setGeometry(80, 118, 230, 230);
    m_progressCheckImage = new DecorImage(QIcon(u":/images/check.svg"_s), QSize(110, 110), base);
    m_progressCheckImage->setGeometry(m_circleProgressBar->geometry().center().x() - 70,
                                      m_circleProgressBar->geometry().center().y() - 70, 140, 140);
    m_progressCheckImage->hide();

    const int left = 370;
    const int width = 440;
    m_actionLabel = makeLabel(base, 22, QColor(85, 85, 85), QFont::Light);
    m_actionLabel->setGeometry(left, 112, width, 32);
    m_currentFilepath = makeLabel(base, 12, QColor(119, 119, 119));
    m_currentFilepath->setGeometry(left, 148, width, 20);

    auto* timeCaption = makeLabel(base, 12, QColor(150, 150, 150));
    timeCaption->setGeometry(left, 188, width, 18);
    timeCaption->setText(tr("Time elapsed"));
    m_timePassed = makeLabel(base, 20, QColor(85, 85, 85));
    m_timePassed->setGeometry(left, 206, width, 28);

    m_removedStack = new QWidget(base);
    m_removedStack->setGeometry(left, 246, width, 56);
    m_statusTitle = makeLabel(m_removedStack, 12, QColor(150, 150, 150));
    m_statusTitle->setGeometry(0, 0, width, 18);
    m_statusTitle->setText(tr("Removed"));
    m_removedLabel = makeLabel(m_removedStack, 20, QColor(131, 188, 81));
    m_removedLabel->setGeometry(0, 18, width, 30);

    m_actionButton = new PillButton(tr("Cancel"), PillButton::Style::Filled, base);
    m_actionButton->setGeometry(left, 318, 150, 38);
    connect(m_actionButton, &PillButton::clicked, this, &ProgressViewController::actionButtonUsed);
    m_backButton = new PillButton(tr("Back"), PillButton::Style::Outlined, base);
    m_backButton->setGeometry(left + 164, 318, 150, 38);
    connect(m_backButton, &PillButton::clicked, this, &ProgressViewController::backPressed);
    m_reportLabel = makeLabel(base, 12, QColor(217, 83, 79));
    m_reportLabel->setGeometry(left, 364, width, 18);
    m_reportLabel->hide();

    // Return opens the report once the job is over (the action button is the default then).
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &ProgressViewController::actionButtonUsed);
        m_defaultShortcuts.append(shortcut);
    }
    setDefaultAction(false);
}

void ProgressViewController::setDefaultAction(bool enabled)
{
    for (QShortcut* shortcut : std::as_const(m_defaultShortcuts))
        shortcut->setEnabled(enabled);
    m_actionButton->setDefault(enabled);
}

void ProgressViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    viewWillAppear();
}

void ProgressViewController::viewWillAppear()
{
    if (!m_shredStarted)
        startShredder();
    if (m_shredStarted && m_shredFinished && m_shredResult && !m_shredResult->canceled)
        m_circleProgressBar->setProgress(1.0f);
    if (!m_shredFinished)
        setDefaultAction(false);
}

void ProgressViewController::startShredder()
{
    if (m_shredStarted)
        return;
    m_shredStarted = true;
    m_shredFinished = false;
    m_waitForSnapshot = false;

    m_backButton->hide();
    m_removedStack->hide();
    m_currentFilepath->show();
    m_timePassed->setText(tr("calc..."));

    if (!m_pathCollection || !m_algorithm || m_algorithm->cycles() == 0) {
        // The opening screen must hand over a real method; without one there is nothing to run.
        logLine("Progress screen opened without a collection or a real method; nothing to do");
        return;
    }
    if (!m_shredOptions)
        m_shredOptions = std::make_shared<ShredOptions>();

    m_fileShredder = std::make_shared<FileShredder>(m_pathCollection, m_algorithm, m_shredOptions);
    m_bridge = std::make_shared<JobBridge>(this, m_alive);
    m_fileShredder->setDelegate(m_bridge.get());
    m_fileShredder->setHelperTool(m_services.helperTool);
    // The inhibitor belongs to this job; the worker keeps it alive as long as the job runs.
    std::shared_ptr<SleepInhibitor> inhibitor;
    if (m_services.makeSleepInhibitor)
        inhibitor = m_services.makeSleepInhibitor();
    m_fileShredder->setSleepInhibitor(inhibitor.get());
    m_fileShredder->setHomeFolder(QFile::encodeName(QDir::homePath()).toStdString());
    if (m_configureJob)
        m_configureJob(*m_fileShredder);

    m_worker = std::thread([job = m_fileShredder, bridge = m_bridge, inhibitor] {
        // Background priority: the machine stays responsive while the job writes.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
        job->run();
    });

    if (m_shredOptions->removeSnapshots) {
        m_waitForSnapshot = true;
        m_actionLabel->setText(tr("Removing Snapshots"));
        if (m_services.deleteSnapshots) {
            m_services.deleteSnapshots([alive = m_alive, screen = this] {
                QMetaObject::invokeMethod(qApp, [alive, screen] {
                    if (*alive)
                        screen->snapshotDeletionReplied();
                });
            });
        } else {
            logLine("Snapshot removal not available; going on without it");
            QTimer::singleShot(0, this, &ProgressViewController::snapshotDeletionReplied);
        }
    }
}

void ProgressViewController::curProgress(const std::shared_ptr<const ShredState>& state)
{
    if (!state || window()->isMinimized())
        return;
    const QString path = QFile::decodeName(QByteArray::fromStdString(state->path));
    m_currentFilepath->setText(
        m_currentFilepath->fontMetrics().elidedText(path, Qt::ElideMiddle, m_currentFilepath->width()));
    m_currentFilepath->setToolTip(path);
    m_actionLabel->setText(QString::fromStdString(state->curAction));
    m_circleProgressBar->setProgress(static_cast<float>(static_cast<double>(state->bytesProgress) /
                                                        static_cast<double>(state->bytesCount)));
    m_timePassed->setText(FormattedStringFromTimeInterval(state->timeSinceStart));
}

void ProgressViewController::finished(const std::shared_ptr<ShredResult>& result)
{
    if (m_shredFinished)
        return;
    m_shredResult = result;
    m_shredFinished = true;
    emit jobReportedFinished();
    if (!m_waitForSnapshot)
        allTasksFinished();
}

void ProgressViewController::snapshotDeletionReplied()
{
    if (!m_waitForSnapshot)
        return; // a second reply changes nothing
    m_waitForSnapshot = false;
    if (m_shredFinished)
        allTasksFinished();
}

void ProgressViewController::allTasksFinished()
{
    if (m_completionCount > 0 || !m_shredResult)
        return;
    ++m_completionCount;
    if (m_worker.joinable())
        m_worker.join(); // run() has returned: finished() is its last act
    if (m_shredResult->canceled)
        canceledAnimation();
    else
        finishedAnimation();
    finish();
}

void ProgressViewController::finishedAnimation()
{
    m_circleProgressBar->setProgress(1.0f);
    auto* effect = new QGraphicsOpacityEffect(m_progressCheckImage);
    effect->setOpacity(0);
    m_progressCheckImage->setGraphicsEffect(effect);
    auto* group = new QParallelAnimationGroup(m_progressCheckImage);
    auto* opacity = new QPropertyAnimation(effect, "opacity", group);
    opacity->setDuration(200);
    opacity->setStartValue(0.0);
    opacity->setEndValue(1.0);
    group->addAnimation(opacity);
    // Grows by a fifth and back, twice.
    auto* pulse = new QSequentialAnimationGroup(group);
    for (int i = 0; i < 2; ++i) {
        for (const auto& [from, to] : {std::pair{1.0, 1.2}, std::pair{1.2, 1.0}}) {
            auto* scale = new QPropertyAnimation(m_progressCheckImage, "scale", pulse);
            scale->setDuration(200);
            scale->setStartValue(from);
            scale->setEndValue(to);
            scale->setEasingCurve(QEasingCurve::InOutQuad);
            pulse->addAnimation(scale);
        }
    }
    group->addAnimation(pulse);
    connect(group, &QAbstractAnimation::finished, m_progressCheckImage,
            [image = m_progressCheckImage] { image->setGraphicsEffect(nullptr); });
    m_progressCheckImage->show();
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void ProgressViewController::canceledAnimation() {}

void ProgressViewController::finish()
{
    const ShredResult& result = *m_shredResult;
    if (result.canceled) {
        m_actionLabel->setText(tr("Deletion canceled"));
    } else if (m_services.createReport) {
        m_services.createReport(m_shredResult, [this, alive = m_alive](const ReportOutcome& outcome) {
            if (!*alive)
                return;
            // The job's result stands; the window says that its proof is missing.
            if (outcome.state == ReportOutcome::State::Failed) {
                m_reportLabel->setText(tr("The report could not be made."));
                m_reportLabel->setToolTip(outcome.failure);
                m_reportLabel->show();
            }
            emit reportFinished();
        });
    } else {
        logLine("Report builder not available; no report made for this job");
    }

    setDefaultAction(true);
    m_actionButton->setText(tr("Report"));
    m_backButton->show();
    m_removedStack->show();
    m_currentFilepath->hide();

    // The job's own account of what it really removed (after a cancel, possibly nothing), not the
    // progress it booked.
    const QString text =
        tr("%1 in %2 File(s)").arg(byteCount(result.bytesCountRemoved)).arg(result.fileCountRemoved);
    const QString errors =
        result.errorCount != 0 ? u"- %1 %2"_s.arg(tr("Errors")).arg(result.errorCount) : QString();
    m_removedLabel->setText(u"%1 %2"_s.arg(text, errors));
    if (m_shredOptions && m_shredOptions->eraseFreeSpaceOnly) {
        m_statusTitle->setText(tr("Overwritten"));
        m_removedLabel->setText(byteCount(result.bytesCountFinished));
    }

    if (m_services.showNotification)
        m_services.showNotification(m_shredResult);
    else
        logLine("Notifications not available; the end of the job is not announced");
    emit jobFinished();
}

void ProgressViewController::cancelJob()
{
    if (m_fileShredder && !m_shredFinished && !m_cancelRequested) {
        m_cancelRequested = true;
        m_fileShredder->cancel();
    }
}

void ProgressViewController::actionButtonUsed()
{
    if (!m_shredFinished) {
        cancelJob();
        return;
    }
    if (m_services.showReport)
        m_services.showReport(m_shredResult, window());
    else
        logLine("Report window not available in this build");
}

void ProgressViewController::backPressed()
{
    if (m_finishSegue == u"FinishTemp"_s) {
        if (auto* tabs = MainMenuHostViewController::sharedTabManager())
            tabs->changeTabToIndex(0);
        QTimer::singleShot(1000, this, &ProgressViewController::performFinishSegue);
        return;
    }
    performFinishSegue();
}

void ProgressViewController::performFinishSegue()
{
    auto* host = qobject_cast<ReplaceViewController*>(parentWidget());
    if (m_finishSegue != u"Finish"_s || !host) {
        logMessage("No screen to go back to for \"", m_finishSegue.toStdString(), "\"");
        return;
    }
    auto* next = new DropFilesViewController(
        m_shredOptions ? QString::fromStdString(m_shredOptions->optionKey) : QString());
    host->replace(next, m_finishSegue);
}

QString ProgressViewController::FormattedStringFromTimeInterval(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e12)
        return u"0"_s;
    const auto total = static_cast<std::int64_t>(seconds);
    return u"%1:%2:%3"_s.arg(total / 3600)
        .arg((total / 60) % 60, 2, 10, QChar(u'0'))
        .arg(total % 60, 2, 10, QChar(u'0'));
}

} // namespace cv
