#pragma once

#include <QString>
#include <QWidget>

class QTabWidget;
class QToolButton;

namespace cv {

class NotificationManager;
class SettingsManager;
class SettingsPane;
class SupportMessageSender;
class UpdateScheduler;

// The settings window: one pane per area (General, Notifications, Deletion, Updates, Help) and the
// bottom bar with the lock button. The lock button locks at once while the settings are unlocked
// with a PIN, and otherwise opens the PIN dialog (to unlock, or to set a first PIN). Closing the
// window locks the settings again. 640 by 500 at first; the window keeps one instance (see
// WindowController::showSettings).
class SettingsWindowController : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 500;
    static constexpr int kBottomHeight = 46;

    // What the panes work with; a null service is a feature this build lacks.
    struct Services
    {
        NotificationManager* notifications = nullptr;
        UpdateScheduler* updates = nullptr;
        SupportMessageSender* support = nullptr;
        QString program; // what the autostart entry starts
    };

    SettingsWindowController(SettingsManager& settings, const Services& services, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    QToolButton* lockButton() const { return m_lockButton; }

    // The lock button's action.
    void lockClicked();
    void updateLockstatus();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsManager& m_settings;
    Services m_services;
    QTabWidget* m_tabs;
    QToolButton* m_lockButton;
    QList<SettingsPane*> m_panes;
};

} // namespace cv
