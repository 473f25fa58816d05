#pragma once

#include "app/settings/SettingsPane.h"

class QCheckBox;
class QComboBox;

namespace cv {

class NotificationManager;

// The Notifications pane: notifications on or off (with the notice "Settings Changed"), sound,
// removal after an interval (1 to 60 minutes). While notifications are off the other three
// controls are disabled; while locked, all four.
class SettingsNotifications : public SettingsPane
{
    Q_OBJECT

public:
    SettingsNotifications(SettingsManager& settings, NotificationManager& notifications,
                          QWidget* parent = nullptr);

    void setDefaults() override;
    void setLockStatus(bool locked) override;

private:
    void enableChanged(bool on);
    void updateEnabled();

    NotificationManager& m_notifications;
    bool m_locked = false;
    QCheckBox* m_enableNotifications;
    QCheckBox* m_enableSound;
    QCheckBox* m_dismissAutomaticaly;
    QComboBox* m_dismissOptions;
};

} // namespace cv
