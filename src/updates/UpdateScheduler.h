#pragma once

#include "net/ServiceEndpoints.h"
#include "updates/AppcastReader.h"
#include "updates/UpdateCheckResult.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringView>
#include <QTimer>
#include <QtGlobal>

#include <array>
#include <optional>

namespace cv {

class NotificationManager;
class SettingsManager;

// The update checks the Updates pane controls: automatic checks at the chosen interval (daily,
// weekly, monthly), the manual "Check now", and the notice "New version available" when a newer version was
// found while "download automatically" is on (installing is the package manager's; the notice tells
// the user one is there). The settings live in the settings store; the time of the last check too,
// so the interval holds across restarts. Every finished check, failed or not, counts as the last
// check, so that a feed that keeps failing is asked once per interval, not in a loop.
//
// Without a usable feed address (see ServiceEndpoints) nothing is ever checked and isConfigured()
// is false, with the reason in feed().problem.
class UpdateScheduler : public QObject
{
    Q_OBJECT

public:
    // One entry of the Updates pane's interval pop-up. The title is the untranslated text; the
    // pane shows it translated in this class's context.
    struct IntervalOption
    {
        const char* title;
        qint64 seconds;
    };
    static constexpr std::array<IntervalOption, 3> kIntervalOptions{{
        {QT_TRANSLATE_NOOP("cv::UpdateScheduler", "Daily"), 86400},
        {QT_TRANSLATE_NOOP("cv::UpdateScheduler", "Weekly"), 7 * 86400},
        {QT_TRANSLATE_NOOP("cv::UpdateScheduler", "Monthly"), 30 * 86400},
    }};
    // The row of the pop-up for a stored interval; row 0 (daily) for one not offered.
    static int intervalOptionIndex(qint64 seconds);

    // Automatic checks ask a server without the user's doing, so they wait until the user asks
    // for them. Without a stored choice the interval is daily.
    static constexpr bool kDefaultChecksAutomatically = false;
    static constexpr bool kDefaultDownloadsAutomatically = false;
    static constexpr qint64 kDefaultInterval = kIntervalOptions[0].seconds;
    // A stored interval is kept within these bounds, so that no stored value can make checks run
    // in a loop.
    static constexpr qint64 kMinInterval = 3600;
    static constexpr qint64 kMaxInterval = 365 * 86400;

    // On the feed that this build and the environment name, for the running version.
    UpdateScheduler(SettingsManager& settings, NotificationManager& notifications, QObject* parent = nullptr);
    ~UpdateScheduler() override;

    // The feed to check and the version to compare with; for tests and tools.
    void setFeed(const ServiceEndpoints::Endpoint& feed);
    void setRunningVersion(const QString& version) { m_runningVersion = version; }
    // The reader's limits (size, deadline); tests shorten the deadline.
    void setLimits(const HttpExchange::Limits& limits) { m_reader.setLimits(limits); }

    const ServiceEndpoints::Endpoint& feed() const { return m_feed; }
    bool isConfigured() const { return m_feed.isReady(); }
    const QString& runningVersion() const { return m_runningVersion; }

    // The pane's settings; each setter stores at once and plans the next automatic check anew.
    bool checksAutomatically() const;
    void setChecksAutomatically(bool on);
    bool downloadsAutomatically() const;
    void setDownloadsAutomatically(bool on);
    qint64 checkInterval() const; // seconds, within kMinInterval and kMaxInterval
    void setCheckInterval(qint64 seconds);
    std::optional<QDateTime> lastCheckTime() const;
    // When the next automatic check is due; nothing while there are none.
    std::optional<QDateTime> nextCheckTime() const;

    // Automatic checks from now on, as the settings say (the window calls this once at start).
    void start();
    // Checks now, whatever the settings ("Check now"). False (and nothing happens) while a check
    // runs or when no feed is configured.
    bool checkNow();
    bool isChecking() const { return m_reader.isChecking(); }
    // The last finished check of this run; NotConfigured (with the reason) when there is no feed.
    const UpdateCheckResult& lastResult() const { return m_lastResult; }

    // Milliseconds from now until a check is due: 0 when it is due now, never checked, or the last
    // check lies in the future (the clock was put back).
    static qint64 delayUntilNextCheck(const QDateTime& now, const std::optional<QDateTime>& lastCheck,
                                      qint64 intervalSeconds);

    // How long the timer waits for a delay: at most a day (a QTimer holds an int of milliseconds,
    // about 24 days); a longer wait is walked in steps, each looking at the clock and the settings
    // again.
    static int timerStep(qint64 delayMs);

signals:
    void checkingChanged(bool checking);
    void checkFinished(const cv::UpdateCheckResult& result);

private:
    void schedule();
    void onTimer();
    void onFinished(const UpdateCheckResult& result);

    SettingsManager& m_settings;
    NotificationManager& m_notifications;
    ServiceEndpoints::Endpoint m_feed;
    QString m_runningVersion;
    AppcastReader m_reader;
    QTimer m_timer;
    bool m_started = false;
    UpdateCheckResult m_lastResult;
};

} // namespace cv
