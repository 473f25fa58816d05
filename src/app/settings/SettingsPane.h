#pragma once

#include <QWidget>

class QFormLayout;
class QLabel;

namespace cv {

class SettingsManager;

// What every pane of the settings window shares: it shows the stored values (setDefaults), writes
// each change at once, and follows the PIN lock: on every "AuthChanged" it asks the store whether
// the settings are locked and enables or disables its controls (setLockStatus). Panes lay out their
// rows in a form: a caption on the left, the control on the right, a hint below where one helps.
class SettingsPane : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsPane(SettingsManager& settings, QWidget* parent = nullptr);

    // Shows the stored values again (after a reset, say).
    virtual void setDefaults() = 0;
    // Enables or disables the controls the lock covers.
    virtual void setLockStatus(bool locked) = 0;

protected:
    // Applies the lock state and values once the pane is built, and follows "AuthChanged".
    void viewDidLoad();
    // A row of the form: caption, then the control (or a layout of several).
    void addRow(const QString& caption, QWidget* control);
    void addRow(const QString& caption, QLayout* controls);
    // A grey hint under the last row.
    QLabel* addHint(const QString& text);

    SettingsManager& m_settings;
    QFormLayout* m_form;
};

} // namespace cv
