#include "updates/UpdateScheduler.h"

#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"

#include <algorithm>

namespace cv {

int UpdateScheduler::intervalOptionIndex(qint64 seconds)
{
    for (std::size_t i = 0; i < kIntervalOptions.size(); ++i) {
        if (kIntervalOptions[i].seconds == seconds)
            return int(i);
    }
    return 0;
}

UpdateScheduler::UpdateScheduler(SettingsManager& settings, NotificationManager& notifications,
                                 QObject* parent)
    : QObject(parent), m_settings(settings), m_notifications(notifications),
      m_runningVersion(QString::fromLatin1(CINDERVAULT_VERSION)), m_reader(this)
{
    setFeed(ServiceEndpoints::updateFeed());
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &UpdateScheduler::onTimer);
    connect(&m_reader, &AppcastReader::finished, this, &UpdateScheduler::onFinished);
}

UpdateScheduler::~UpdateScheduler() = default;

void UpdateScheduler::setFeed(const ServiceEndpoints::Endpoint& feed)
{
    m_feed = feed;
    if (!m_feed.isReady()) {
        m_lastResult = UpdateCheckResult();
        m_lastResult.runningVersion = m_runningVersion;
        m_lastResult.failure = m_feed.problem;
    }
    schedule();
}

bool UpdateScheduler::checksAutomatically() const
{
    return m_settings.boolForKey(SettingsManager::kSettingsUpdatesCheckAutomatically,
                                 kDefaultChecksAutomatically);
}

void UpdateScheduler::setChecksAutomatically(bool on)
{
    m_settings.setBool(on, SettingsManager::kSettingsUpdatesCheckAutomatically);
    schedule();
}

bool UpdateScheduler::downloadsAutomatically() const
{
    return m_settings.boolForKey(SettingsManager::kSettingsUpdatesDownloadAutomatically,
                                 kDefaultDownloadsAutomatically);
}

void UpdateScheduler::setDownloadsAutomatically(bool on)
{
    m_settings.setBool(on, SettingsManager::kSettingsUpdatesDownloadAutomatically);
}

qint64 UpdateScheduler::checkInterval() const
{
    return std::clamp(m_settings.integerForKey(SettingsManager::kSettingsUpdatesInterval, kDefaultInterval),
                      kMinInterval, kMaxInterval);
}

void UpdateScheduler::setCheckInterval(qint64 seconds)
{
    m_settings.setInteger(seconds, SettingsManager::kSettingsUpdatesInterval);
    schedule();
}

std::optional<QDateTime> UpdateScheduler::lastCheckTime() const
{
    const qint64 seconds = m_settings.integerForKey(SettingsManager::kSettingsUpdatesLastCheck, 0);
    if (seconds <= 0)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

std::optional<QDateTime> UpdateScheduler::nextCheckTime() const
{
    if (!m_started || !isConfigured() || !checksAutomatically())
        return std::nullopt;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return now.addMSecs(delayUntilNextCheck(now, lastCheckTime(), checkInterval()));
}

qint64 UpdateScheduler::delayUntilNextCheck(const QDateTime& now, const std::optional<QDateTime>& lastCheck,
                                            qint64 intervalSeconds)
{
    if (!lastCheck || !lastCheck->isValid() || *lastCheck > now)
        return 0;
    const QDateTime due = lastCheck->addSecs(intervalSeconds);
    return due <= now ? 0 : now.msecsTo(due);
}

int UpdateScheduler::timerStep(qint64 delayMs)
{
    return int(std::clamp<qint64>(delayMs, 0, 86400LL * 1000));
}

void UpdateScheduler::start()
{
    m_started = true;
    schedule();
}

void UpdateScheduler::schedule()
{
    m_timer.stop();
    if (!m_started || !isConfigured() || !checksAutomatically() || isChecking())
        return;
    const qint64 delay =
        delayUntilNextCheck(QDateTime::currentDateTimeUtc(), lastCheckTime(), checkInterval());
    m_timer.start(timerStep(delay));
}

void UpdateScheduler::onTimer()
{
    if (delayUntilNextCheck(QDateTime::currentDateTimeUtc(), lastCheckTime(), checkInterval()) > 0)
        schedule(); // one step of a long wait
    else
        checkNow();
}

bool UpdateScheduler::checkNow()
{
    if (!isConfigured() || !m_reader.check(m_feed.url, m_runningVersion))
        return false;
    m_timer.stop();
    emit checkingChanged(true);
    return true;
}

void UpdateScheduler::onFinished(const UpdateCheckResult& result)
{
    m_lastResult = result;
    m_settings.setInteger(result.checkedAt.toSecsSinceEpoch(), SettingsManager::kSettingsUpdatesLastCheck);
    emit checkingChanged(false);
    if (result.updateAvailable() && downloadsAutomatically())
        m_notifications.showUpdateNotification(
            result.newest.displayVersion.isEmpty() ? result.newest.version : result.newest.displayVersion,
            result.newest.releaseNotesLink);
    emit checkFinished(result);
    schedule();
}

} // namespace cv
