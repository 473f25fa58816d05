#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <array>
#include <utility>

class QDBusPendingCallWatcher;
class QTimer;

namespace cv {

class SettingsManager;
struct ShredResult;

// Shows the application's desktop notifications through org.freedesktop.Notifications on the
// session bus: the end of a job, a PIN that was set, a pending update and the switching of
// notifications themselves. Honours the user's settings (notifications on, sound, dismissal after
// an interval). Every bus call is asynchronous: without a bus or a notification server nothing is
// shown, the failure is logged, and no caller waits or fails.
class NotificationManager : public QObject
{
    Q_OBJECT

public:
    // One entry of the dismissal pop-up of the notifications pane. The title is the untranslated
    // text; the pane shows it translated in this class's context.
    struct DismissOption
    {
        const char* title;
        qint64 seconds;
    };
    static constexpr std::array<DismissOption, 5> kDismissOptions{{
        {QT_TRANSLATE_NOOP("cv::NotificationManager", "1 min"), 60},
        {QT_TRANSLATE_NOOP("cv::NotificationManager", "5 min"), 300},
        {QT_TRANSLATE_NOOP("cv::NotificationManager", "10 min"), 600},
        {QT_TRANSLATE_NOOP("cv::NotificationManager", "30 min"), 1800},
        {QT_TRANSLATE_NOOP("cv::NotificationManager", "60 min"), 3600},
    }};

    // The process-wide manager on the shared settings and the session bus.
    static NotificationManager& sharedManager();

    NotificationManager(SettingsManager& settings, const QDBusConnection& bus, QObject* parent = nullptr);
    ~NotificationManager() override;

    // Shows one notification with a "close" button, with sound when that is on; nothing while
    // notifications are off.
    void showNotificationWithTitle(const QString& title, const QString& text);
    // The notice at the end of a job, finished or cancelled.
    void showNotificationFromResult(const ShredResult& result);
    // The notice after a PIN was set.
    void showPinProtectedNotification();
    // The notice that a newer version is available: nothing is downloaded or installed here, so it
    // says where to get it (the package manager) and, for an https link only, where its release
    // notes are.
    void showUpdateNotification(const QString& version, const QUrl& releaseNotes);
    static QString updateNotificationText(const QString& version, const QUrl& releaseNotes);
    // The notifications switch of the settings: switching on stores the setting first, so that its
    // notice is shown; switching off shows its notice while that is still possible, then stores.
    void setNotificationsEnabled(bool enabled);

    // Title and text for the end of a job (localized).
    static std::pair<QString, QString> titleAndTextForResult(const ShredResult& result);
    // Puts two counts into a format text at its printf-style conversions (%ld, %lu, %d, %i, %@) in
    // order, with their digits grouped as the default locale (the window's language) groups them
    // ("1,725", "1.725"); "%%" reads as "%". A text without conversions comes back as it is.
    static QString formatCounts(const QString& format, quint64 first, quint64 second);

    // The row of the dismissal pop-up for a stored interval: its own row for the five offered
    // intervals, row 0 for any other.
    static int dismissOptionIndex(qint64 seconds);
    // The seconds of the row with this title; the first row's for an unknown title.
    static qint64 dismissSecondsForTitle(QStringView title);

    // The sound-name hint given when sound is on.
    static constexpr QStringView kSoundName = u"message-new-instant";
    // The program's desktop entry, which is also the name of its icon.
    static constexpr QStringView kDesktopEntry = u"com.Ostrevane.CindervaultForMac";

signals:
    // The server showed a notification under this id.
    void notificationDelivered(uint id);
    // A notification could not be shown (no bus, no server, an error of the server).
    void notificationFailed(const QString& reason);
    // A notification of ours was removed after the dismissal interval.
    void notificationDismissed(uint id);

private slots:
    void onNotificationClosed(uint id, uint reason);

private:
    void delivered(QDBusPendingCallWatcher* watcher);
    void dismiss(uint id);
    void fail(const QString& reason);

    SettingsManager& m_settings;
    QDBusConnection m_bus;
    QHash<uint, QTimer*> m_dismissTimers; // our delivered notifications that wait for dismissal
};

} // namespace cv
