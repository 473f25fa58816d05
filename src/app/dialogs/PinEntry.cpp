#include "app/dialogs/PinEntry.h"

#include "settings/NotificationManager.h"
#include "settings/SettingsManager.h"

#include <QtGlobal>

namespace cv {

PinEntry::PinEntry(SettingsManager& settings, NotificationManager* notifications, bool canNotCancel)
    : m_settings(settings), m_notifications(notifications), m_canNotCancel(canNotCancel)
{
    if (m_settings.isPinSet())
        m_mode = m_settings.isAuthed() ? Mode::Change : Mode::Unlock;
    else
        m_mode = Mode::SetPin;
}

// The keys are translated in the dialog's context.
const char* PinEntry::titleKey() const
{
    switch (m_mode) {
    case Mode::Unlock:
        return QT_TRANSLATE_NOOP("cv::SettingsPassword", "enter_password");
    case Mode::Change:
        return QT_TRANSLATE_NOOP("cv::SettingsPassword", "new_password");
    case Mode::SetPin:
        break;
    }
    if (m_processState == 1)
        return QT_TRANSLATE_NOOP("cv::SettingsPassword", "set_password");
    return QT_TRANSLATE_NOOP("cv::SettingsPassword", "reenter_new_password");
}

PinEntry::Outcome PinEntry::enter(const QString& pin)
{
    switch (m_mode) {
    case Mode::Change:
        return Outcome::Nothing;
    case Mode::Unlock: {
        const SettingsManager::PinCheck check = m_settings.checkPin(pin);
        m_waitSeconds = check.waitSeconds;
        if (check.outcome == SettingsManager::PinCheck::Outcome::TooEarly)
            return Outcome::TooEarly;
        if (check.outcome == SettingsManager::PinCheck::Outcome::Wrong)
            return Outcome::WrongPin;
        if (!m_canNotCancel)
            m_settings.setAuthed();
        return Outcome::Unlocked;
    }
    case Mode::SetPin:
        break;
    }
    if (m_processState == 1) {
        m_pin = pin;
        m_processState = 2;
        return Outcome::ConfirmPin;
    }
    if (pin != m_pin)
        return Outcome::PinsDiffer; // the first entry stays; the next one is checked against it
    m_settings.setPin(m_pin);
    m_settings.setAuthed();
    if (m_notifications)
        m_notifications->showPinProtectedNotification();
    return Outcome::PinSet;
}

void PinEntry::removePin()
{
    // Only from the change view, that is while unlocked; the authorisation stays as it is.
    if (m_mode == Mode::Change)
        m_settings.setPin(QString());
}

void PinEntry::startNewPin()
{
    if (m_mode != Mode::Change)
        return;
    m_mode = Mode::SetPin;
    m_processState = 1;
    m_pin.clear();
}

} // namespace cv
