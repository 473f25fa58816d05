#pragma once

#include "app/settings/SettingsPane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace cv {

class BusyIndicator;
class UpdateScheduler;
struct UpdateCheckResult;

// The Updates pane: how often to look for a new version, whether to look automatically, whether a
// new version brings a notice, and "Check now" with a busy indicator and the outcome (the new
// version with its release notes, up to date, or why the check failed). Installing is left to the
// package manager. A build without an update feed says so and offers nothing. While locked the four
// controls are disabled.
class SettingsUpdate : public SettingsPane
{
    Q_OBJECT

public:
    // scheduler: null in a build without update checks.
    SettingsUpdate(SettingsManager& settings, UpdateScheduler* scheduler, QWidget* parent = nullptr);

    void setDefaults() override;
    void setLockStatus(bool locked) override;

    // The line for a finished check (rich text; a link to the release notes where the feed has one).
    static QString resultText(const UpdateCheckResult& result);

    void checkForUpdate();

private:
    void showChecking(bool checking);
    void showResult();
    void updateEnabled();

    UpdateScheduler* m_scheduler;
    bool m_locked = false;
    QComboBox* m_updateTimes;
    QCheckBox* m_checkForUpdates;
    QCheckBox* m_autoUpdate;
    QPushButton* m_manualCheck;
    BusyIndicator* m_progressIndicator;
    QLabel* m_statusLabel;
    QLabel* m_lastCheckLabel;
};

} // namespace cv
