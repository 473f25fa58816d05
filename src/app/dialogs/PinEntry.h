#pragma once

#include <QString>

namespace cv {

class SettingsManager;
class NotificationManager;

// What the PIN dialog decides, without widgets: its mode when it opens, the step of setting a new
// PIN, and what a completed entry of four characters leads to. The dialog shows the fields, the
// title for titleKey() and the error label, and closes when an outcome says so.
//
// Mode Unlock (a PIN is set, the settings are locked): the right PIN unlocks them (unless the
// dialog cannot be cancelled: then it only closes); after five wrong PINs in a row each further
// try waits longer (SettingsManager::checkPin). Mode SetPin (no PIN yet, or the change view
// asked for a new one): a first entry, then the same again; a match stores the PIN, unlocks, and
// tells the user. Mode Change (a PIN is set, the settings are unlocked): the PIN can be removed or
// a new one set.
class PinEntry
{
public:
    enum class Mode
    {
        Change = 0,
        SetPin = 1,
        Unlock = 2,
    };

    enum class Outcome
    {
        Nothing,    // an entry in the change view: nothing to do
        Unlocked,   // the right PIN: close (authorised unless canNotCancel)
        WrongPin,   // show the error, empty the fields, focus the first (waitSeconds may follow)
        TooEarly,   // not checked: too many wrong PINs, waitSeconds are left before the next try
        ConfirmPin, // first entry taken: empty the fields, ask for it again
        PinsDiffer, // the confirmation differs: show the error, empty the fields, focus the first
        PinSet,     // stored and unlocked: close
    };

    static constexpr int kLength = 4;

    // notifications may be null (no notice when a PIN is set).
    PinEntry(SettingsManager& settings, NotificationManager* notifications, bool canNotCancel = false);

    Mode mode() const { return m_mode; }
    // 1 for the first entry of a new PIN, 2 for its confirmation.
    int processState() const { return m_processState; }
    bool canNotCancel() const { return m_canNotCancel; }
    // The untranslated key of the dialog's title: "enter_password", "set_password",
    // "reenter_new_password" or "new_password".
    const char* titleKey() const;

    // A complete entry (the four characters in field order).
    Outcome enter(const QString& pin);
    // After WrongPin or TooEarly: seconds until the next PIN is checked (0: at once).
    qint64 waitSeconds() const { return m_waitSeconds; }
    // The change view's actions.
    void removePin();
    void startNewPin(); // the change view's "new PIN": set a new one, the old one stays until then

private:
    SettingsManager& m_settings;
    NotificationManager* m_notifications;
    bool m_canNotCancel;
    Mode m_mode;
    int m_processState = 1;
    QString m_pin;
    qint64 m_waitSeconds = 0;
};

} // namespace cv
