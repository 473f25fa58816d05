#include "settings/NotificationManager.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;

QString localizedText(const char* key)
{
    return QString::fromStdString(localized(key));
}

} // namespace

NotificationManager& NotificationManager::sharedManager()
{
    static NotificationManager instance(SettingsManager::sharedManager(), QDBusConnection::sessionBus());
    return instance;
}

NotificationManager::NotificationManager(SettingsManager& settings, const QDBusConnection& bus,
                                         QObject* parent)
    : QObject(parent), m_settings(settings), m_bus(bus)
{
    // Timers and bus replies belong to the GUI thread, wherever the first caller ran.
    if (auto* app = QCoreApplication::instance(); !parent && app && thread() != app->thread())
        moveToThread(app->thread());
    // A notification the user closed needs no timer any more, and its id may be given out again.
    if (m_bus.isConnected())
        m_bus.connect(QString(), kPath, kInterface, u"NotificationClosed"_s, this,
                      SLOT(onNotificationClosed(uint, uint)));
}

NotificationManager::~NotificationManager() = default;

void NotificationManager::showNotificationWithTitle(const QString& title, const QString& text)
{
    if (!m_settings.isNotificationsEnabeled())
        return;
    if (!m_bus.isConnected()) {
        fail(u"no session bus"_s);
        return;
    }

    QVariantMap hints;
    if (m_settings.isNotificationsSoundEnabeled())
        hints.insert(u"sound-name"_s, kSoundName.toString());
    else
        hints.insert(u"suppress-sound"_s, true);
    const QStringList actions{u"close"_s, localizedText("close")};

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, u"Notify"_s);
    // The desktop shows the program's icon beside the notice and files it under the program's
    // desktop entry (its settings, its history).
    hints.insert(u"desktop-entry"_s, kDesktopEntry.toString());
    call << u"Cindervault"_s << uint(0) << kDesktopEntry.toString() << title << text << actions << hints
         << int(-1); // the server's own display time; dismissal is ours
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &NotificationManager::delivered);
}

void NotificationManager::delivered(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        fail(reply.error().name() + u": "_s + reply.error().message());
        return;
    }
    const uint id = reply.value();
    emit notificationDelivered(id);
    if (!m_settings.shouldDissmissNoification())
        return;

    // Each notification keeps its own timer, which later changes of the settings leave alone.
    const qint64 seconds = std::clamp<qint64>(m_settings.getDissmissInterval(), 0, INT_MAX / 1000);
    delete m_dismissTimers.take(id); // a server that reuses an id replaces our old entry
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(int(seconds * 1000));
    connect(timer, &QTimer::timeout, this, [this, id] { dismiss(id); });
    m_dismissTimers.insert(id, timer);
    timer->start();
}

void NotificationManager::dismiss(uint id)
{
    if (QTimer* timer = m_dismissTimers.take(id))
        timer->deleteLater();
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, u"CloseNotification"_s);
    call << id;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, id](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (finished->isError())
            logMessage("Notification ", id,
                       " could not be removed: ", finished->error().message().toStdString());
    });
    emit notificationDismissed(id);
}

void NotificationManager::onNotificationClosed(uint id, uint /*reason*/)
{
    if (QTimer* timer = m_dismissTimers.take(id))
        timer->deleteLater();
}

void NotificationManager::fail(const QString& reason)
{
    logMessage("Notification not shown: ", reason.toStdString());
    emit notificationFailed(reason);
}

void NotificationManager::showNotificationFromResult(const ShredResult& result)
{
    const auto [title, text] = titleAndTextForResult(result);
    showNotificationWithTitle(title, text);
}

std::pair<QString, QString> NotificationManager::titleAndTextForResult(const ShredResult& result)
{
    // A job that ended before its first progress snapshot processed nothing.
    const quint64 files = result.lastState ? result.lastState->fileCount : 0;
    // Every error of the job, of files and of folders, volumes and steps (also those named after
    // its last snapshot).
    const quint64 errors = result.errorCount + result.otherErrorCount;
    if (result.canceled) {
        QString text = formatCounts(localizedText("The deletion has been canceled"), files, errors);
        // A file whose content the job had begun to destroy is named: it is not as it was.
        QStringList partly;
        for (const ShredItem* item : result.overwrittenInPart())
            partly << QString::fromStdString(item->path.str());
        if (!partly.isEmpty())
            text += u"\n"_s + localizedText("Overwritten in part: the job was cancelled") + u": "_s +
                    partly.join(u", "_s);
        return {localizedText("Canceled"), text};
    }

    const bool volumes = result.options && result.options->hasVolumes;
    const bool wholeVolume = volumes && (result.options->eraseFreeSpaceOnly || result.options->formatVolume);
    QString text;
    // A wipe or an erase that failed somewhere is never announced as complete.
    if (wholeVolume && errors != 0)
        return {localizedText("Errors"),
                formatCounts(localizedText("The job has ended with %ld error(s)"), errors, 0)};
    // Free space the wipe could not reach (kept by the file system, or reserved for root) may still
    // hold deleted data: such a volume is not called completely overwritten.
    const bool wipedInPart = std::any_of(result.volumes.begin(), result.volumes.end(),
                                         [](const ShredVolume& volume) { return volume.unwrittenBytes > 0; });
    if (volumes && result.options->eraseFreeSpaceOnly && wipedInPart)
        text = localizedText("The free space has been overwritten in part");
    else if (volumes && result.options->eraseFreeSpaceOnly)
        text = localizedText("The freespace has been completly overwritten");
    else if (volumes && result.options->formatVolume)
        text = localizedText("The volume has been completly erased");
    else
        text = formatCounts(localizedText("The deletion of %ld file(s) with %ld errors has been finished"),
                            files, errors);
    // Files overwritten on a copy-on-write volume whose free space was not wiped afterwards: their
    // old content may still be there, and the user is told so.
    const std::vector<std::string> oldContent = result.volumesWithOldContent();
    if (!oldContent.empty()) {
        QStringList mounts;
        for (const std::string& mount : oldContent)
            mounts << QString::fromStdString(mount);
        text += u". "_s + localizedText("Old content may remain on %1 until its free space is wiped")
                              .arg(mounts.join(u", "_s));
    }
    // A job with errors is not announced as simply finished.
    return {localizedText(errors != 0 ? "Finished with errors" : "Finished"), text};
}

QString NotificationManager::formatCounts(const QString& format, quint64 first, quint64 second)
{
    static const QRegularExpression conversion(u"%(%|l{0,2}[dui]|@)"_s);
    const quint64 counts[] = {first, second};
    int used = 0;
    QString text;
    qsizetype from = 0;
    for (auto it = conversion.globalMatch(format); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += QStringView(format).mid(from, match.capturedStart() - from);
        if (match.captured(1) == u"%"_s)
            text += u'%';
        else if (used < 2)
            text += QLocale().toString(counts[used++]); // grouped as the window's language groups
        else
            text += match.captured(); // more conversions than counts: leave them as they stand
        from = match.capturedEnd();
    }
    text += QStringView(format).mid(from);
    return text;
}

void NotificationManager::showPinProtectedNotification()
{
    showNotificationWithTitle(localizedText("Protecetd"),
                              localizedText("Rendmark Mac 2 is now secured with a pin"));
}

QString NotificationManager::updateNotificationText(const QString& version, const QUrl& releaseNotes)
{
    QString text =
        localizedText("Cindervault %1 is available. Install it with your package manager.").arg(version);
    if (releaseNotes.isValid() && releaseNotes.scheme() == u"https"_s && !releaseNotes.host().isEmpty())
        text += u'\n' + localizedText("Release notes: %1").arg(releaseNotes.toString(QUrl::FullyEncoded));
    return text;
}

void NotificationManager::showUpdateNotification(const QString& version, const QUrl& releaseNotes)
{
    showNotificationWithTitle(localizedText("New version available"),
                              updateNotificationText(version, releaseNotes));
}

void NotificationManager::setNotificationsEnabled(bool enabled)
{
    if (enabled) {
        m_settings.setBool(true, SettingsManager::kSettingsNotificationsEnabled);
        showNotificationWithTitle(localizedText("Settings Changed"),
                                  localizedText("Notification are now enabled"));
    } else {
        showNotificationWithTitle(localizedText("Settings Changed"),
                                  localizedText("Notification are now disabled"));
        m_settings.setBool(false, SettingsManager::kSettingsNotificationsEnabled);
    }
}

int NotificationManager::dismissOptionIndex(qint64 seconds)
{
    for (std::size_t i = 0; i < kDismissOptions.size(); ++i) {
        if (kDismissOptions[i].seconds == seconds)
            return int(i);
    }
    return 0;
}

qint64 NotificationManager::dismissSecondsForTitle(QStringView title)
{
    for (const DismissOption& option : kDismissOptions) {
        if (QLatin1StringView(option.title) == title)
            return option.seconds;
    }
    return kDismissOptions[0].seconds;
}

} // namespace cv
