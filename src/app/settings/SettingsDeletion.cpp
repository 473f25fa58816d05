#include "app/settings/SettingsDeletion.h"

#include "app/controls/MethodPicker.h"
#include "app/settings/ReportSigningControls.h"
#include "reports/ReportSigningKey.h"
#include "settings/SettingsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// One switch of the pane: its name for tests, its key, and its value while the key is absent.
struct Switch
{
    const char* objectName;
    QStringView key;
    bool defaultValue;
};

constexpr std::array<Switch, 6> kSwitches{{
    {"autoSaveReports", SettingsManager::kSettingsDeletionReportAutoSave, true},
    {"showSignature", SettingsManager::kSettingsDeletionReportShowSignature, true},
    {"capFileCount", SettingsManager::kSettingsDeletionReportShouldCapFiles, false},
    {"showQRReports", SettingsManager::kSettingsDeletionReportShowQrCode, true},
    {"showSecurityPrompt", SettingsManager::kSettingsDeletionShowPrompt, true},
    {"verifyLastPass", SettingsManager::kSettingsDeletionVerifyLastPass, false},
}};

const QStringList kReportFormats{u"PDF"_s, u"HTML"_s};

} // namespace

SettingsDeletion::SettingsDeletion(SettingsManager& settings, QWidget* parent)
    : SettingsPane(settings, parent)
{
    setObjectName(u"SettingsDeletion"_s);

    m_defaultMethod = new MethodPicker(MethodPicker::Role::DefaultSetting, m_settings, this);
    addRow(tr("Default method:"), m_defaultMethod);

    m_reportFormatSelection = new QComboBox(this);
    m_reportFormatSelection->setObjectName(u"reportFormatSelection"_s);
    m_reportFormatSelection->addItems(kReportFormats);
    connect(m_reportFormatSelection, &QComboBox::activated, this, [this](int index) {
        m_settings.setString(m_reportFormatSelection->itemText(index),
                             SettingsManager::kSettingsDeletionReportFormat);
    });
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(m_reportFormatSelection);
    formatRow->addStretch(1);
    addRow(tr("Report format:"), formatRow);

    m_reportFolder = new QLineEdit(this);
    m_reportFolder->setObjectName(u"reportFolder"_s);
    m_reportFolder->setReadOnly(true);
    m_chooseFolder = new QPushButton(tr("Choose..."), this);
    m_chooseFolder->setObjectName(u"chooseReportFolder"_s);
    connect(m_chooseFolder, &QPushButton::clicked, this, &SettingsDeletion::selectReportFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_reportFolder, 1);
    folderRow->addWidget(m_chooseFolder);
    addRow(tr("Report folder:"), folderRow);

    m_signing = new ReportSigningControls(m_settings, ReportSigningKey::defaultFolder(), this);
    addRow(tr("Signing certificate:"), m_signing);

    const QString titles[] = {
        tr("Save a report after every deletion"), tr("Show the signature block in reports"),
        tr("List at most 250 files in a report"), tr("Show the QR code in reports"),
        tr("Ask before a deletion starts"),       tr("Verify the last pass (reads every file back)")};
    const QString captions[] = {tr("Reports:"), QString(), QString(), QString(), tr("Safety:"), QString()};
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        auto* box = new QCheckBox(titles[i], this);
        box->setObjectName(QLatin1StringView(kSwitches[i].objectName));
        const QStringView key = kSwitches[i].key;
        connect(box, &QCheckBox::toggled, this, [this, key](bool on) { m_settings.setBool(on, key); });
        m_switches[i] = box;
        addRow(captions[i], box);
    }

    viewDidLoad();
}

void SettingsDeletion::setDefaults()
{
    m_defaultMethod->showStoredDefault();
    m_reportFormatSelection->setCurrentIndex(
        std::max<qsizetype>(0, kReportFormats.indexOf(m_settings.getReportFormat())));
    showReportFolder();
    m_signing->showKey();
    for (std::size_t i = 0; i < kSwitches.size(); ++i) {
        const QSignalBlocker blocker(m_switches[i]);
        m_switches[i]->setChecked(m_settings.boolForKey(kSwitches[i].key, kSwitches[i].defaultValue));
    }
}

void SettingsDeletion::showReportFolder()
{
    // The field shows the end of a long path (the folder's own name); the tip shows it whole.
    const QString folder = m_settings.getReportPath();
    m_reportFolder->setText(folder);
    m_reportFolder->setToolTip(folder);
}

void SettingsDeletion::setLockStatus(bool locked)
{
    m_defaultMethod->setEnabled(!locked);
    m_reportFormatSelection->setEnabled(!locked);
    m_reportFolder->setEnabled(!locked);
    m_chooseFolder->setEnabled(!locked);
    m_signing->setLocked(locked);
    for (QCheckBox* box : m_switches)
        box->setEnabled(!locked);
}

void SettingsDeletion::selectReportFolder()
{
    if (m_folderPanel)
        return;
    auto* panel = new QFileDialog(window(), tr("Report folder"), m_settings.getReportPath());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, tr("Select"));
    connect(panel, &QFileDialog::fileSelected, this, &SettingsDeletion::reportFolderChosen);
    m_folderPanel = panel;
    panel->open();
}

void SettingsDeletion::reportFolderChosen(const QString& folder)
{
    if (folder.isEmpty() || m_settings.isLocked())
        return;
    m_settings.setString(folder, SettingsManager::kSettingsDeletionReportLocation);
    showReportFolder();
}

} // namespace cv
