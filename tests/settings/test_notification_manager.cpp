#include "settings/NotificationManager.h"

#include "NotificationBusTest.h"
#include "common/Localization.h"
#include "engine/ShredResult.h"
#include "settings/SettingsManager.h"

#include <QDBusConnection>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

using cv::NotificationManager;
using cv::SettingsManager;
using cv::ShredResult;
using cv::test::FakeNotificationServer;
using namespace Qt::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

ShredResult resultOf(bool canceled, bool hasVolumes, bool freeSpaceOnly, bool format, quint64 files,
                     quint64 errors)
{
    ShredResult result;
    result.canceled = canceled;
    result.options = std::make_shared<cv::ShredOptions>();
    result.options->hasVolumes = hasVolumes;
    result.options->eraseFreeSpaceOnly = freeSpaceOnly;
    result.options->formatVolume = format;
    result.lastState = std::make_shared<cv::ShredState>();
    result.lastState->fileCount = files;
    result.lastState->errorCount = errors;
    result.errorCount = errors;
    return result;
}

} // namespace

TEST(NotificationTexts, JobResults)
{
    using Texts = std::pair<QString, QString>;
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(false, false, false, false, 12, 2)),
              Texts(u"Finished with errors"_s, u"The deletion of 12 file(s) has finished with 2 error(s)"_s))
        << "a job with errors is not announced as simply finished";
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(false, true, true, false, 0, 0)),
              Texts(u"Finished"_s, u"The free space has been completely overwritten"_s));
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(false, true, false, true, 40, 0)),
              Texts(u"Finished"_s, u"The volume has been completely erased"_s));
    // A wipe or an erase with errors (here a volume, counted apart from files) is not complete.
    ShredResult failedWipe = resultOf(false, true, true, false, 0, 0);
    failedWipe.addFailure(cv::ShredItem::Kind::Volume, "/media/stick", "Free space could not be wiped");
    EXPECT_EQ(NotificationManager::titleAndTextForResult(failedWipe),
              Texts(u"Errors"_s, u"The job has ended with 1 error(s)"_s));
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(false, true, false, false, 3, 1)),
              Texts(u"Finished with errors"_s, u"The deletion of 3 file(s) has finished with 1 error(s)"_s))
        << "volumes without free-space-only or format count files";
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(false, false, true, true, 5, 0)).second,
              u"The deletion of 5 file(s) has finished with 0 error(s)"_s)
        << "free-space and format texts need volumes";
    EXPECT_EQ(NotificationManager::titleAndTextForResult(resultOf(true, true, true, false, 7, 1)),
              Texts(u"Canceled"_s, u"The deletion has been canceled"_s))
        << "a cancelled free-space job reads as cancelled";
    ShredResult partly = resultOf(true, false, false, false, 2, 0);
    cv::ShredItem begun;
    begun.path = std::string("/home/u/big.iso");
    begun.state = cv::ShredItem::State::OverwrittenInPart;
    partly.history.push_back(begun);
    EXPECT_EQ(NotificationManager::titleAndTextForResult(partly),
              Texts(u"Canceled"_s, u"The deletion has been canceled\n"
                                   u"Overwritten in part: the job was cancelled: /home/u/big.iso"_s))
        << "a file the cancel cut short is named";

    ShredResult bare; // no snapshot, no options: a job that ended at once
    EXPECT_EQ(NotificationManager::titleAndTextForResult(bare).second,
              u"The deletion of 0 file(s) has finished with 0 error(s)"_s);

    // A translation may use the counts of the cancellation text.
    cv::setLocalizer([](std::string_view key) -> std::string {
        if (key == "The deletion has been canceled")
            return "Abgebrochen nach %ld Dateien (%ld Fehler), 100%% sicher";
        if (key == "Canceled")
            return "Abgebrochen";
        return std::string(key);
    });
    const auto german = NotificationManager::titleAndTextForResult(resultOf(true, false, false, false, 9, 4));
    cv::setLocalizer({});
    EXPECT_EQ(german, Texts(u"Abgebrochen"_s, u"Abgebrochen nach 9 Dateien (4 Fehler), 100% sicher"_s));
    EXPECT_EQ(NotificationManager::formatCounts(u"%d %@ %ld"_s, 1, 2), u"1 2 %ld"_s);
    // Counts grouped as the window's language groups them, as its screens show them.
    const QLocale before;
    QLocale::setDefault(QLocale(u"de"_s));
    EXPECT_EQ(NotificationManager::formatCounts(u"%ld / %ld"_s, 1725, 12), u"1.725 / 12"_s);
    QLocale::setDefault(QLocale(u"en"_s));
    EXPECT_EQ(NotificationManager::formatCounts(u"%ld / %ld"_s, 1725, 12), u"1,725 / 12"_s);
    QLocale::setDefault(before);
}

TEST(NotificationTexts, NeverCallsAVolumeDoneWhereOldDataMayRemain)
{
    // Files deleted on a copy-on-write volume whose free space was not wiped afterwards.
    ShredResult copyOnWrite = resultOf(false, false, false, false, 2, 0);
    cv::ShredVolume btrfs;
    btrfs.volume = {"/mnt/b", "btrfs", true, false};
    copyOnWrite.volumes = {btrfs};
    cv::ShredItem item;
    item.path = "/mnt/b/file";
    item.success = true;
    item.state = cv::ShredItem::State::Deleted;
    copyOnWrite.history = {item};
    EXPECT_EQ(NotificationManager::titleAndTextForResult(copyOnWrite).second,
              u"The deletion of 2 file(s) has finished with 0 error(s). "
              "Old content may remain on /mnt/b until its free space is wiped"_s);
    copyOnWrite.volumes[0].freeSpaceWiped = true;
    copyOnWrite.volumes[0].wipedAfterDeletion = true;
    EXPECT_EQ(NotificationManager::titleAndTextForResult(copyOnWrite).second,
              u"The deletion of 2 file(s) has finished with 0 error(s)"_s);

    // A wipe that could not reach every free block is not called complete.
    ShredResult wipe = resultOf(false, true, true, false, 0, 0);
    cv::ShredVolume ext4;
    ext4.volume = {"/mnt/e", "ext4", false, false};
    ext4.freeSpaceWiped = true;
    ext4.unwrittenBytes = 12000000;
    wipe.volumes = {ext4};
    EXPECT_EQ(NotificationManager::titleAndTextForResult(wipe),
              std::make_pair(u"Finished"_s, u"The free space has been overwritten in part"_s));
}

TEST(NotificationTexts, DismissalOptions)
{
    EXPECT_EQ(NotificationManager::dismissOptionIndex(3600), 4);
    EXPECT_EQ(NotificationManager::dismissOptionIndex(120), 0)
        << "an interval not offered shows the first row";
    EXPECT_EQ(NotificationManager::dismissSecondsForTitle(u"30 min"), 1800);
}

class NotificationBus : public cv::test::NotificationBusTest
{};

TEST_F(NotificationBus, ShowsWithCloseButtonAndSound)
{
    startNotificationServer();
    QSignalSpy delivered(notifications.get(), &NotificationManager::notificationDelivered);
    notifications->showNotificationFromResult(resultOf(false, false, false, false, 12, 2));
    ASSERT_TRUE(waitForNotifications(1));
    const auto& first = notificationServer->notifications[0];
    EXPECT_EQ(first.appName, u"Cindervault"_s);
    EXPECT_EQ(first.summary, u"Finished with errors"_s);
    // The program's icon and desktop entry, so that the desktop shows and files the notice as ours.
    EXPECT_EQ(first.appIcon, NotificationManager::kDesktopEntry.toString());
    EXPECT_EQ(first.hints.value(u"desktop-entry"_s).toString(),
              NotificationManager::kDesktopEntry.toString());
    EXPECT_EQ(first.body, u"The deletion of 12 file(s) has finished with 2 error(s)"_s);
    EXPECT_EQ(first.actions, (QStringList{u"close"_s, u"Close"_s}));
    EXPECT_EQ(first.hints.value(u"sound-name"_s).toString(), NotificationManager::kSoundName.toString());
    EXPECT_FALSE(first.hints.contains(u"suppress-sound"_s));
    ASSERT_TRUE(delivered.count() == 1 || delivered.wait(10000));
    EXPECT_EQ(delivered.at(0).at(0).toUInt(), first.id);

    settings->setBool(false, SettingsManager::kSettingsNotificationsSound);
    notifications->showPinProtectedNotification();
    ASSERT_TRUE(waitForNotifications(2));
    const auto& silent = notificationServer->notifications[1];
    EXPECT_EQ(silent.summary, u"Protected"_s);
    EXPECT_EQ(silent.body, u"Cindervault is now secured with a PIN"_s);
    EXPECT_FALSE(silent.hints.contains(u"sound-name"_s)) << "sound off must be silent";
    EXPECT_TRUE(silent.hints.value(u"suppress-sound"_s).toBool());
}

TEST_F(NotificationBus, NothingIsShownWhileNotificationsAreOff)
{
    startNotificationServer();
    settings->setBool(false, SettingsManager::kSettingsNotificationsEnabled);
    notifications->showNotificationWithTitle(u"Finished"_s, u"text"_s);
    notifications->showPinProtectedNotification();
    notifications->showUpdateNotification(u"1.2"_s, QUrl());

    // Switching on stores first, so its own notice is shown; the bus keeps the order of our calls,
    // so anything sent while off would arrive before it.
    notifications->setNotificationsEnabled(true);
    ASSERT_TRUE(waitForNotifications(1));
    EXPECT_TRUE(settings->isNotificationsEnabeled());

    notifications->showUpdateNotification(u"1.2"_s, QUrl());
    notifications->setNotificationsEnabled(false); // its notice is still shown, then nothing more
    EXPECT_FALSE(settings->isNotificationsEnabeled());
    notifications->showPinProtectedNotification();
    notifications->setNotificationsEnabled(true);
    ASSERT_TRUE(waitForNotifications(4));

    QStringList seen;
    for (const auto& notification : notificationServer->notifications)
        seen << notification.summary + u": "_s + notification.body;
    EXPECT_EQ(seen, (QStringList{u"Settings Changed: Notifications are now enabled"_s,
                                 u"New version available: Cindervault 1.2 is available. Install it with your "
                                 "package manager."_s,
                                 u"Settings Changed: Notifications are now disabled"_s,
                                 u"Settings Changed: Notifications are now enabled"_s}));
}

TEST_F(NotificationBus, DismissalRemovesExactlyThatNotification)
{
    startNotificationServer();
    settings->setInteger(1, SettingsManager::kSettingsNotificationsInterval);

    // One notification without dismissal, one with; then dismissal is switched off again, which
    // must not cancel the timer of the second.
    QSignalSpy delivered(notifications.get(), &NotificationManager::notificationDelivered);
    notifications->showNotificationWithTitle(u"stays"_s, u"no dismissal"_s);
    ASSERT_TRUE(delivered.wait(10000));
    settings->setBool(true, SettingsManager::kSettingsNotificationsDismiss);
    notifications->showNotificationWithTitle(u"goes"_s, u"dismissed after the interval"_s);
    ASSERT_TRUE(delivered.wait(10000));
    settings->setBool(false, SettingsManager::kSettingsNotificationsDismiss);

    QSignalSpy closed(notificationServer.get(), &FakeNotificationServer::closedCalled);
    ASSERT_TRUE(closed.wait(10000)) << "the dismissal timer never removed the notification";
    ASSERT_EQ(notificationServer->notifications.size(), 2);
    EXPECT_EQ(notificationServer->closed, QList<uint>{notificationServer->notifications[1].id})
        << "only the notification delivered with dismissal on may be removed";
}

TEST_F(NotificationBus, NoServerNoFailure)
{
    // The bus runs but nobody serves notifications (and nothing can be activated).
    QSignalSpy failed(notifications.get(), &NotificationManager::notificationFailed);
    notifications->showNotificationFromResult(resultOf(false, false, false, false, 1, 0));
    ASSERT_TRUE(failed.wait(10000));

    // No bus at all.
    QDBusConnection dead =
        QDBusConnection::connectToBus(u"unix:path=/nonexistent/cindervault-bus"_s, u"dead"_s);
    NotificationManager offline(*settings, dead);
    QSignalSpy offlineFailed(&offline, &NotificationManager::notificationFailed);
    offline.showNotificationWithTitle(u"Finished"_s, u"text"_s);
    EXPECT_EQ(offlineFailed.count(), 1);
    QDBusConnection::disconnectFromBus(dead.name());
}
