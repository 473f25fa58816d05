#pragma once

#include "app/settings/SettingsPane.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace cv {

class NotificationManager;

// The General pane: start at login (the XDG autostart entry), the diagnostic log, the language,
// the PIN button with its mark, and the reset of every setting (asked first). While locked, the
// language, start at login, the PIN button and reset are disabled (reset would remove the PIN).
class SettingsGeneral : public SettingsPane
{
    Q_OBJECT

public:
    // The languages offered and their identifiers, in the same order.
    static const QStringList& lang();
    static const QStringList& langIdentifier();
    // The row of the language pop-up for a stored language: "Deutsch" for German (languageOf()).
    static int languageIndex(const QString& currentLanguage);

    // program: what the autostart entry starts; notifications: for the PIN dialog's notice.
    SettingsGeneral(SettingsManager& settings, NotificationManager* notifications, QString program,
                    QWidget* parent = nullptr);

    void setDefaults() override;
    void setLockStatus(bool locked) override;

    // User actions.
    void autostartChanged(bool on);
    void diagnoseChanged(bool on);
    void languageOptionChanged(int index);
    void openPasswordDialog();
    void resetApplication(); // asks first

signals:
    // Every setting went back to its default; the other panes show them again.
    void settingsReset();

private:
    void initPassword();

    NotificationManager* m_notifications;
    QString m_program;
    QCheckBox* m_autorunSwitch;
    QCheckBox* m_diagnoseSwitch;
    QComboBox* m_languageOption;
    QPushButton* m_passwordButton;
    QLabel* m_passwordImage;
    QPushButton* m_resetButton;
};

} // namespace cv
