#include "app/settings/SettingsUpdate.h"

#include "app/Palette.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/StyledLabel.h"
#include "updates/UpdateScheduler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

SettingsUpdate::SettingsUpdate(SettingsManager& settings, UpdateScheduler* scheduler, QWidget* parent)
    : SettingsPane(settings, parent), m_scheduler(scheduler)
{
    setObjectName(u"SettingsUpdate"_s);

    m_checkForUpdates = new QCheckBox(tr("Check for updates automatically"), this);
    m_checkForUpdates->setObjectName(u"checkForUpdates"_s);
    connect(m_checkForUpdates, &QCheckBox::toggled, this, [this](bool on) {
        if (m_scheduler)
            m_scheduler->setChecksAutomatically(on);
        showResult();
    });
    addRow(tr("Automatic checks:"), m_checkForUpdates);

    m_updateTimes = new QComboBox(this);
    m_updateTimes->setObjectName(u"updateTimes"_s);
    for (const auto& option : UpdateScheduler::kIntervalOptions)
        m_updateTimes->addItem(QCoreApplication::translate("cv::UpdateScheduler", option.title));
    connect(m_updateTimes, &QComboBox::activated, this, [this](int index) {
        if (m_scheduler && index >= 0 && index < int(UpdateScheduler::kIntervalOptions.size()))
            m_scheduler->setCheckInterval(UpdateScheduler::kIntervalOptions[std::size_t(index)].seconds);
        showResult();
    });
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(m_updateTimes);
    intervalRow->addStretch(1);
    addRow(tr("Check:"), intervalRow);

    m_autoUpdate = new QCheckBox(tr("Tell me when a new version is available"), this);
    m_autoUpdate->setObjectName(u"autoUpdate"_s);
    connect(m_autoUpdate, &QCheckBox::toggled, this, [this](bool on) {
        if (m_scheduler)
            m_scheduler->setDownloadsAutomatically(on);
    });
    addRow(tr("New versions:"), m_autoUpdate);
    addHint(tr("Cindervault is updated by your package manager."));

    m_manualCheck = new QPushButton(tr("Check now"), this);
    m_manualCheck->setObjectName(u"manualCheck"_s);
    connect(m_manualCheck, &QPushButton::clicked, this, &SettingsUpdate::checkForUpdate);
    m_progressIndicator = new BusyIndicator(this);
    m_progressIndicator->setObjectName(u"progressIndicator"_s);
    m_progressIndicator->setFixedSize(22, 22);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_manualCheck);
    checkRow->addWidget(m_progressIndicator);
    checkRow->addStretch(1);
    addRow(QString(), checkRow);

    m_statusLabel = styledLabel(this, 12, Palette::text(), Qt::AlignLeft | Qt::AlignTop);
    m_statusLabel->setObjectName(u"updateStatus"_s);
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setTextFormat(Qt::RichText);
    m_statusLabel->setOpenExternalLinks(true);
    m_form->addRow(QString(), m_statusLabel);
    m_lastCheckLabel = addHint(QString());
    m_lastCheckLabel->setObjectName(u"lastCheck"_s);

    if (m_scheduler) {
        connect(m_scheduler, &UpdateScheduler::checkingChanged, this, &SettingsUpdate::showChecking);
        connect(m_scheduler, &UpdateScheduler::checkFinished, this, &SettingsUpdate::showResult);
    }
    viewDidLoad();
    showChecking(m_scheduler && m_scheduler->isChecking());
}

QString SettingsUpdate::resultText(const UpdateCheckResult& result)
{
    switch (result.outcome) {
    case UpdateCheckResult::Outcome::NotConfigured:
        // Said in the window's language now: the scheduler's text was made at start-up, before
        // the translation tables were loaded.
        return ServiceEndpoints::updateFeedFrom(QString()).problem.toHtmlEscaped();
    case UpdateCheckResult::Outcome::Failed:
        return result.failure.toHtmlEscaped();
    case UpdateCheckResult::Outcome::UpToDate:
        return tr("Cindervault %1 is up to date.").arg(result.runningVersion).toHtmlEscaped();
    case UpdateCheckResult::Outcome::UpdateAvailable:
        break;
    }
    const QString version =
        result.newest.displayVersion.isEmpty() ? result.newest.version : result.newest.displayVersion;
    QString text = tr("Cindervault %1 is available.").arg(version).toHtmlEscaped();
    if (result.newest.releaseNotesLink.isValid() && !result.newest.releaseNotesLink.isEmpty())
        text += u" <a href=\"%1\" style=\"color: %2;\">%3</a>"_s.arg(
            result.newest.releaseNotesLink.toString(QUrl::FullyEncoded).toHtmlEscaped(),
            Palette::css(Palette::accent()), tr("Release notes").toHtmlEscaped());
    return text;
}

void SettingsUpdate::setDefaults()
{
    if (!m_scheduler) {
        showResult();
        updateEnabled();
        return;
    }
    const QSignalBlocker check(m_checkForUpdates);
    m_checkForUpdates->setChecked(m_scheduler->checksAutomatically());
    const QSignalBlocker download(m_autoUpdate);
    m_autoUpdate->setChecked(m_scheduler->downloadsAutomatically());
    m_updateTimes->setCurrentIndex(UpdateScheduler::intervalOptionIndex(m_scheduler->checkInterval()));
    showResult();
    updateEnabled();
}

void SettingsUpdate::setLockStatus(bool locked)
{
    m_locked = locked;
    updateEnabled();
}

void SettingsUpdate::updateEnabled()
{
    const bool usable = !m_locked && m_scheduler && m_scheduler->isConfigured();
    m_updateTimes->setEnabled(usable);
    m_checkForUpdates->setEnabled(usable);
    m_autoUpdate->setEnabled(usable);
    m_manualCheck->setEnabled(usable && !m_scheduler->isChecking());
}

void SettingsUpdate::checkForUpdate()
{
    if (m_scheduler && !m_locked)
        m_scheduler->checkNow();
}

void SettingsUpdate::showChecking(bool checking)
{
    if (checking) {
        m_progressIndicator->startAnimation();
        m_statusLabel->setText(tr("Looking for a new version...").toHtmlEscaped());
    } else {
        m_progressIndicator->stopAnimation();
    }
    updateEnabled();
}

void SettingsUpdate::showResult()
{
    if (!m_scheduler) {
        m_statusLabel->setText(tr("Update checks are not configured in this build.").toHtmlEscaped());
        m_lastCheckLabel->clear();
        return;
    }
    if (!m_scheduler->isChecking()) {
        const UpdateCheckResult& result = m_scheduler->lastResult();
        // Before the first check of this run there is nothing to say (unless there is no feed).
        const bool checked = result.checkedAt.isValid() || !m_scheduler->isConfigured();
        m_statusLabel->setText(checked ? resultText(result) : QString());
    }
    if (!m_scheduler->isConfigured()) {
        m_lastCheckLabel->clear();
        return;
    }
    const auto last = m_scheduler->lastCheckTime();
    QString line =
        last ? tr("Last checked: %1").arg(QLocale().toString(last->toLocalTime(), QLocale::ShortFormat))
             : tr("Not checked yet.");
    if (const auto next = m_scheduler->nextCheckTime())
        line +=
            u"  "_s + tr("Next check: %1").arg(QLocale().toString(next->toLocalTime(), QLocale::ShortFormat));
    m_lastCheckLabel->setText(line);
}

} // namespace cv
