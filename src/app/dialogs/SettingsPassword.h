#pragma once

#include "app/dialogs/PinEntry.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace cv {

// The PIN dialog: four masked fields of one character each, a title, an error line, and the
// change view (remove the PIN, or set a new one) when the settings are unlocked with a PIN. Typing
// moves the focus on; a second character in a field is dropped; four characters pasted into one
// field fill all four (they are checked when a field changes next). PinEntry decides what a full
// entry means. Window-modal; deleted when closed.
class SettingsPassword : public QDialog
{
    Q_OBJECT

public:
    SettingsPassword(SettingsManager& settings, NotificationManager* notifications, QWidget* parent,
                     bool canNotCancel = false);

    const PinEntry& entry() const { return m_entry; }
    QLineEdit* field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

    // The four characters in field order.
    QString getPinFromTextFields() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void controlTextDidChange(int index);
    void allPinFieldsFilled();
    void resettPinFields();
    // Too many wrong PINs: the fields stay disabled for seconds, and the error line says why.
    void waitBeforeNextTry(qint64 seconds);
    // The wait's message with the seconds still left.
    void showWait();
    void showMode();

    PinEntry m_entry;
    std::array<QLineEdit*, PinEntry::kLength> m_fields{};
    QLabel* m_titleLabel;
    QLabel* m_errorLabel;
    QWidget* m_pinView;
    QWidget* m_changeView;
    QPushButton* m_cancelButton;
    QPushButton* m_newPinButton = nullptr;
    QTimer* m_retryTimer;
    QTimer* m_countdown;    // redraws the wait's seconds
    bool m_filling = false; // the dialog itself changes the fields
};

} // namespace cv
