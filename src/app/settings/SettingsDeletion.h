#pragma once

#include "app/settings/SettingsPane.h"

#include <QPointer>

#include <array>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPushButton;

namespace cv {

class MethodPicker;
class ReportSigningControls;

// The Deletion pane: the method the shred screens preselect, the report format (PDF or HTML), the
// report folder with a folder chooser, the report signing key (ReportSigningControls), and the
// report and safety switches. The screens and the
// command line read these from the store when they need them, so a change counts at once. While
// locked, every control of the pane is disabled.
class SettingsDeletion : public SettingsPane
{
    Q_OBJECT

public:
    explicit SettingsDeletion(SettingsManager& settings, QWidget* parent = nullptr);

    void setDefaults() override;
    void setLockStatus(bool locked) override;

    // Opens the desktop's folder chooser; a chosen folder goes to reportFolderChosen.
    void selectReportFolder();
    // Stores and shows the report folder the chooser returned.
    void reportFolderChosen(const QString& folder);

private:
    void showReportFolder();

    MethodPicker* m_defaultMethod;
    QComboBox* m_reportFormatSelection;
    QLineEdit* m_reportFolder;
    QPushButton* m_chooseFolder;
    QPointer<QFileDialog> m_folderPanel;
    ReportSigningControls* m_signing;
    // autoSaveReports, showSignature, capFileCount, showQRReports, showSecurityPrompt
    std::array<QCheckBox*, 6> m_switches{};
};

} // namespace cv
