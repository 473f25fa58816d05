#include "app/progress/ProgressViewController.h"

#include "app/AmountText.h"
#include "app/AppServices.h"
#include "app/Palette.h"
#include "app/ReportKeeper.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/DecorImage.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/progress/JobSession.h"
#include "app/reports/ReportPdfPane.h"
#include "common/Localization.h"
#include "common/Log.h"

#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>
#include <QShortcut>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The room the screen's parts are laid out in: as large as the window's start size gives them,
// smaller in a smaller window; an aligned layout item takes this size and centres it.
class ContentArea : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return ProgressViewController::kContentSize; }
    // Its height is its room's, not what its wrapped texts would ask for at a width.
    bool hasHeightForWidth() const override { return false; }
};

QString byteCount(std::int64_t bytes)
{
    return AmountText::bytes(bytes);
}

} // namespace

ProgressViewController::ProgressViewController(JobRequest request, AppServices* services, QWidget* parent)
    : QWidget(parent), m_services(services ? *services : AppServices::shared()),
      m_session(new JobSession(std::move(request), m_services, this))
{
    setObjectName(u"ProgressViewController"_s);
    connect(m_session, &JobSession::progressed, this, &ProgressViewController::curProgress);
    connect(m_session, &JobSession::jobEnded, this, &ProgressViewController::jobReportedFinished);
    connect(m_session, &JobSession::snapshotAuthorizationAsked, this, [this] {
        showSnapshotNote(tr("Removing snapshots: %1")
                             .arg(QString::fromStdString(localized("Waiting for authorization..."))));
    });
    connect(m_session, &JobSession::snapshotRemovalEnded, this, [this] { showSnapshotNote(QString()); });
    connect(m_session, &JobSession::finished, this, &ProgressViewController::allTasksFinished);
    connect(m_session, &JobSession::reportFinished, this, &ProgressViewController::reportMade);
    setupUi();
}

// The session, a child, goes before the widgets: it cancels a running job and waits for it.
ProgressViewController::~ProgressViewController()
{
    delete m_session;
}

const JobRequest& ProgressViewController::request() const
{
    return m_session->request();
}

const std::shared_ptr<ShredResult>& ProgressViewController::shredResult() const
{
    return m_session->result();
}

bool ProgressViewController::shredStarted() const
{
    return m_session->started();
}

bool ProgressViewController::shredFinished() const
{
    return m_session->jobHasEnded();
}

bool ProgressViewController::waitForSnapshot() const
{
    return m_session->waitingForSnapshots();
}

bool ProgressViewController::isJobRunning() const
{
    return m_session->isJobRunning();
}

int ProgressViewController::completionCount() const
{
    return m_session->completionCount();
}

void ProgressViewController::setupUi()
{
    ColorGradientView* base = ColorGradientView::fill(this);
    // The screen is laid out for the window's start size; a larger window keeps it in its middle
    // rather than in the top left corner.
    auto* content = new ContentArea(base);
    content->setObjectName(u"progressContent"_s);
    auto* centred = new QGridLayout(base);
    centred->setContentsMargins(0, 0, 0, 0);
    centred->addWidget(content, 0, 0, Qt::AlignCenter);
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(80, 112, 30, 20);
    layout->setSpacing(60);

    // The ring, with the check mark over its middle.
    m_circleProgressBar = new CircleProgressBar(base);
    m_circleProgressBar->setObjectName(u"circleProgressBar"_s);
    m_circleProgressBar->setFixedSize(230, 230);
    auto* ring = new QGridLayout(m_circleProgressBar);
    ring->setContentsMargins(0, 0, 0, 0);
    m_progressCheckImage =
        new DecorImage(QIcon(u":/images/check.svg"_s), QSize(110, 110), m_circleProgressBar);
    m_progressCheckImage->setObjectName(u"progressCheckImage"_s);
    m_progressCheckImage->setFixedSize(140, 140);
    m_progressCheckImage->hide();
    ring->addWidget(m_progressCheckImage, 0, 0, Qt::AlignCenter);
    auto* ringColumn = new QVBoxLayout;
    ringColumn->addSpacing(6);
    ringColumn->addWidget(m_circleProgressBar);
    ringColumn->addStretch(1);
    layout->addLayout(ringColumn);

    // What happens, how long it has taken, what was removed, and the buttons.
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    const auto add = [&](QLabel* label, const char* name, int height) {
        label->setObjectName(QLatin1StringView(name));
        label->setMinimumHeight(height);
        column->addWidget(label);
        return label;
    };
    m_actionLabel = add(styledLabel(base, 22, Palette::text(), {}, QFont::Light), "actionLabel", 32);
    column->addSpacing(4);
    m_currentFilepath = add(styledLabel(base, 12, Palette::secondaryText()), "currentFilepath", 20);
    // The path is elided to the label's width; a long one must not widen the screen.
    m_currentFilepath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addSpacing(20);
    add(styledLabel(base, 12, Palette::caption()), "timeCaption", 18)->setText(tr("Time elapsed"));
    m_timePassed = add(styledLabel(base, 20, Palette::text()), "timePassed", 28);
    column->addSpacing(12);

    m_removedStack = new QWidget(base);
    m_removedStack->setObjectName(u"removedStack"_s);
    auto* removed = new QVBoxLayout(m_removedStack);
    removed->setContentsMargins(0, 0, 0, 8);
    removed->setSpacing(0);
    m_statusTitle = styledLabel(m_removedStack, 12, Palette::caption());
    m_statusTitle->setObjectName(u"statusTitle"_s);
    m_statusTitle->setMinimumHeight(18);
    m_statusTitle->setText(tr("Removed"));
    removed->addWidget(m_statusTitle);
    m_removedLabel = styledLabel(m_removedStack, 20, Palette::amount());
    m_removedLabel->setObjectName(u"removedLabel"_s);
    m_removedLabel->setMinimumHeight(30);
    // Long totals (German ones with errors) wrap within the column rather than widening the screen.
    m_removedLabel->setWordWrap(true);
    removed->addWidget(m_removedLabel);
    // Under the totals, in the size of the other notes: a long path at the totals' size took more
    // lines than a small screen has room for.
    m_partLabel = styledLabel(m_removedStack, 12, Palette::failure());
    m_partLabel->setObjectName(u"overwrittenInPartLabel"_s);
    m_partLabel->setWordWrap(true);
    m_partLabel->hide();
    removed->addWidget(m_partLabel);
    // The path and the totals take turns; the buttons below them keep their place.
    for (QWidget* turn : {static_cast<QWidget*>(m_currentFilepath), m_removedStack}) {
        QSizePolicy policy = turn->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        turn->setSizePolicy(policy);
    }
    column->addWidget(m_removedStack);
    column->addSpacing(16);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(14);
    m_actionButton = new PillButton(tr("Cancel"), PillButton::Style::Filled, base);
    m_actionButton->setObjectName(u"actionButton"_s);
    m_actionButton->setFixedHeight(38);
    m_actionButton->setMinimumWidth(150);
    connect(m_actionButton, &PillButton::clicked, this, &ProgressViewController::actionButtonUsed);
    buttons->addWidget(m_actionButton);
    m_backButton = new PillButton(tr("Back"), PillButton::Style::Outlined, base);
    m_backButton->setObjectName(u"backButton"_s);
    m_backButton->setFixedHeight(38);
    m_backButton->setMinimumWidth(150);
    connect(m_backButton, &PillButton::clicked, this, &ProgressViewController::backRequested);
    buttons->addWidget(m_backButton);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addSpacing(8);
    m_reportLabel = add(styledLabel(base, 12, Palette::failure()), "reportLabel", 18);
    m_reportLabel->hide();
    m_snapshotLabel = add(styledLabel(base, 12, Palette::failure()), "snapshotLabel", 18);
    m_snapshotLabel->setWordWrap(true);
    m_snapshotLabel->hide();
    column->addStretch(1);
    layout->addLayout(column, 1);

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
    if (!shredStarted())
        startShredder();
    if (shredStarted() && shredFinished() && shredResult() && !shredResult()->canceled)
        m_circleProgressBar->setProgress(1.0f);
    if (!shredFinished())
        setDefaultAction(false);
}

void ProgressViewController::startShredder()
{
    if (shredStarted())
        return;
    m_backButton->hide();
    m_removedStack->hide();
    m_currentFilepath->show();
    m_timePassed->setText(tr("calc..."));
    m_session->start();
    if (m_session->waitingForSnapshots())
        m_actionLabel->setText(tr("Removing Snapshots"));
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
    m_session->takeJobEnd(result);
}

void ProgressViewController::showSnapshotNote(const QString& text)
{
    m_snapshotLabel->setText(text);
    m_snapshotLabel->setVisible(!text.isEmpty());
}

void ProgressViewController::allTasksFinished()
{
    const ShredResult& result = *shredResult();
    // A cancelled job ends without a mark; one with errors ends with a warning, never the check mark.
    if (!result.canceled)
        finishedAnimation(result.status() == ShredResult::Status::Success);
    finish();
    emit jobFinished();
}

void ProgressViewController::reportMade(const ReportOutcome& outcome)
{
    // The job's result stands; the window says that its proof is missing.
    if (outcome.state == ReportOutcome::State::Failed) {
        m_reportLabel->setText(tr("The report could not be made."));
        m_reportLabel->setToolTip(ReportPdfPane::sentence(outcome.failure));
        m_reportLabel->show();
    } else if (outcome.state == ReportOutcome::State::Saved && !outcome.isSigned) {
        // Saved, but nobody can tell later whether it was changed: the window says so, and why.
        m_reportLabel->setText(tr("The report is not signed."));
        m_reportLabel->setToolTip(ReportPdfPane::sentence(outcome.unsignedReason));
        m_reportLabel->show();
    }
    emit reportFinished();
}

void ProgressViewController::finishedAnimation(bool success)
{
    m_circleProgressBar->setProgress(1.0f);
    // A warning sign never sits in the green ring of success.
    m_circleProgressBar->setColor(success ? Palette::amountGraphic() : Palette::failure());
    m_progressCheckImage->setIcon(QIcon(success ? u":/images/check.svg"_s : u":/images/warning.svg"_s));
    m_progressCheckImage->setObjectName(success ? u"progressCheckImage"_s : u"progressWarningImage"_s);
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

void ProgressViewController::finish()
{
    const ShredResult& result = *shredResult();
    if (result.canceled)
        m_actionLabel->setText(tr("Deletion canceled"));
    else if (result.status() == ShredResult::Status::Errors)
        m_actionLabel->setText(tr("Finished with errors"));
    else if (request().shredOptions->eraseFreeSpaceOnly)
        m_actionLabel->setText(tr("Free space wiped"));
    else
        // Beside the check mark the screen says the job is done, not what it was doing.
        m_actionLabel->setText(tr("Deletion finished"));
    // The time the job took, also for a job that ended before its first progress report.
    if (result.end >= result.start)
        m_timePassed->setText(FormattedStringFromTimeInterval(
            std::chrono::duration<double>(result.end - result.start).count()));
    // The snapshots are a side task: the files' result stands, the user learns what became of them.
    QStringList notes;
    if (const std::optional<QString>& error = m_session->snapshotError())
        notes << tr("The snapshots were not removed: %1").arg(*error);
    // Files overwritten on a copy-on-write volume whose free space was not wiped afterwards.
    if (!result.canceled) {
        QStringList mounts;
        for (const std::string& mount : result.volumesWithOldContent())
            mounts << QString::fromStdString(mount);
        if (!mounts.isEmpty())
            notes << QString::fromStdString(
                         localized("Old content may remain on %1 until its free space is wiped"))
                         .arg(mounts.join(u", "_s));
    }
    // Free space a wipe could not reach is named, volume by volume.
    for (const ShredVolume& volume : result.volumes) {
        if (volume.freeSpaceWiped && volume.unwrittenBytes > 0)
            notes << u"%1: %2"_s.arg(
                QString::fromStdString(volume.volume.mountPoint),
                QString::fromStdString(localized("%1 reserved by the file system could not be written"))
                    .arg(byteCount(volume.unwrittenBytes)));
    }
    if (!notes.isEmpty()) {
        m_snapshotLabel->setText(notes.join(u'\n'));
        m_snapshotLabel->show();
    }

    setDefaultAction(true);
    m_actionButton->setText(tr("Report"));
    m_backButton->show();
    m_removedStack->show();
    m_currentFilepath->hide();

    // The job's own account of what it really removed (after a cancel, possibly nothing), not the
    // progress it booked.
    const QString text = tr("%1 in %2 File(s)")
                             .arg(byteCount(result.bytesCountRemoved))
                             .arg(AmountText::count(result.fileCountRemoved));
    // Errors of files and the other errors (folders, mount points, volumes, steps) apart.
    QStringList errors;
    if (result.errorCount != 0)
        errors << tr("%1 File(s)").arg(AmountText::count(result.errorCount));
    if (result.otherErrorCount != 0)
        errors << tr("%1 other").arg(AmountText::count(result.otherErrorCount));
    // A count stays on one line with its word when the totals wrap ("1 weitere").
    for (QString& error : errors)
        error.replace(u' ', QChar::Nbsp);
    const QString errorText =
        errors.isEmpty() ? QString() : u"- %1 %2"_s.arg(tr("Errors"), errors.join(u", "_s));
    m_removedLabel->setText(u"%1 %2"_s.arg(text, errorText).trimmed());
    // A cancel in the middle of a file left it overwritten in part: said under the figures, so that
    // "nothing removed" does not read as "nothing touched". A path may break after each slash
    // (a zero-width space there), so that a long one wraps instead of widening the screen.
    QStringList parts;
    for (const ShredItem* item : result.overwrittenInPart())
        parts
            << QString::fromStdString(localized("Overwritten in part: the job was cancelled")) + u": "_s +
                   QFile::decodeName(QByteArray::fromStdString(item->path.str())).replace(u'/', u"/\u200B"_s);
    m_partLabel->setText(parts.join(u'\n'));
    m_partLabel->setVisible(!parts.isEmpty());
    if (request().shredOptions->eraseFreeSpaceOnly) {
        m_statusTitle->setText(tr("Overwritten"));
        m_removedLabel->setText(u"%1 %2"_s.arg(byteCount(result.bytesCountFinished), errorText).trimmed());
    }
    m_removedLabel->setStyleSheet(Palette::textStyle(
        result.status() == ShredResult::Status::Success ? Palette::amount() : Palette::failure()));
}

void ProgressViewController::cancelJob()
{
    m_session->cancel();
}

void ProgressViewController::actionButtonUsed()
{
    if (!shredFinished()) {
        cancelJob();
        return;
    }
    if (m_services.showReport)
        m_services.showReport(shredResult(), window());
    else
        logLine("Report window not available in this build");
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
