#include "app/settings/SettingsNotifications.h"

#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

SettingsNotifications::SettingsNotifications(SettingsManager& settings, NotificationManager& notifications,
                                             QWidget* parent)
    : SettingsPane(settings, parent), m_notifications(notifications)
{
    setObjectName(u"SettingsNotifications"_s);
    m_enableNotifications = new QCheckBox(tr("Show notifications"), this);
    m_enableNotifications->setObjectName(u"enableNotifications"_s);
    connect(m_enableNotifications, &QCheckBox::toggled, this, &SettingsNotifications::enableChanged);
    addRow(tr("Notifications:"), m_enableNotifications);
    addHint(tr("When a deletion ends, when a PIN is set and when an update is available."));

    m_enableSound = new QCheckBox(tr("Play a sound"), this);
    m_enableSound->setObjectName(u"enableSound"_s);
    connect(m_enableSound, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setBool(on, SettingsManager::kSettingsNotificationsSound); });
    addRow(tr("Sound:"), m_enableSound);

    m_dismissAutomaticaly = new QCheckBox(tr("Remove notifications after"), this);
    m_dismissAutomaticaly->setObjectName(u"dismissAutomaticaly"_s);
    connect(m_dismissAutomaticaly, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setBool(on, SettingsManager::kSettingsNotificationsDismiss); });
    m_dismissOptions = new QComboBox(this);
    m_dismissOptions->setObjectName(u"dismissOptions"_s);
    for (const auto& option : NotificationManager::kDismissOptions)
        m_dismissOptions->addItem(QCoreApplication::translate("cv::NotificationManager", option.title));
    connect(m_dismissOptions, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(NotificationManager::kDismissOptions.size()))
            m_settings.setInteger(NotificationManager::kDismissOptions[std::size_t(index)].seconds,
                                  SettingsManager::kSettingsNotificationsInterval);
    });
    auto* dismissRow = new QHBoxLayout;
    dismissRow->addWidget(m_dismissAutomaticaly);
    dismissRow->addWidget(m_dismissOptions);
    dismissRow->addStretch(1);
    addRow(tr("Removal:"), dismissRow);

    viewDidLoad();
}

void SettingsNotifications::setDefaults()
{
    const QSignalBlocker enable(m_enableNotifications);
    m_enableNotifications->setChecked(m_settings.isNotificationsEnabeled());
    const QSignalBlocker sound(m_enableSound);
    m_enableSound->setChecked(m_settings.isNotificationsSoundEnabeled());
    const QSignalBlocker dismiss(m_dismissAutomaticaly);
    m_dismissAutomaticaly->setChecked(m_settings.shouldDissmissNoification());
    m_dismissOptions->setCurrentIndex(
        NotificationManager::dismissOptionIndex(m_settings.getDissmissInterval()));
    updateEnabled();
}

void SettingsNotifications::setLockStatus(bool locked)
{
    m_locked = locked;
    updateEnabled();
}

void SettingsNotifications::updateEnabled()
{
    const bool dependents = !m_locked && m_enableNotifications->isChecked();
    m_enableNotifications->setEnabled(!m_locked);
    m_enableSound->setEnabled(dependents);
    m_dismissAutomaticaly->setEnabled(dependents);
    m_dismissOptions->setEnabled(dependents);
}

void SettingsNotifications::enableChanged(bool on)
{
    // The manager stores the switch and shows its notice while notifications are (still) on.
    m_notifications.setNotificationsEnabled(on);
    updateEnabled();
}

} // namespace cv
