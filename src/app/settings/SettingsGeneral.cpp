#include "app/settings/SettingsGeneral.h"

#include "app/dialogs/ResetSettingsDialog.h"
#include "app/dialogs/SettingsPassword.h"
#include "common/Language.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"
#include "system/LoginItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

const QStringList& SettingsGeneral::lang()
{
    static const QStringList titles{u"English"_s, u"Deutsch"_s};
    return titles;
}

const QStringList& SettingsGeneral::langIdentifier()
{
    static const QStringList identifiers{u"en"_s, u"de"_s};
    return identifiers;
}

int SettingsGeneral::languageIndex(const QString& currentLanguage)
{
    return languageOf(currentLanguage.toStdString()) == Language::German ? 1 : 0;
}

SettingsGeneral::SettingsGeneral(SettingsManager& settings, NotificationManager* notifications,
                                 QString program, QWidget* parent)
    : SettingsPane(settings, parent), m_notifications(notifications), m_program(std::move(program))
{
    setObjectName(u"SettingsGeneral"_s);

    m_autorunSwitch = new QCheckBox(tr("Start Cindervault when I log in"), this);
    m_autorunSwitch->setObjectName(u"autorunSwitch"_s);
    connect(m_autorunSwitch, &QCheckBox::toggled, this, &SettingsGeneral::autostartChanged);
    addRow(tr("Start at login:"), m_autorunSwitch);

    m_diagnoseSwitch = new QCheckBox(tr("Write a diagnostic log"), this);
    m_diagnoseSwitch->setObjectName(u"diagnoseSwitch"_s);
    connect(m_diagnoseSwitch, &QCheckBox::toggled, this, &SettingsGeneral::diagnoseChanged);
    addRow(tr("Diagnosis:"), m_diagnoseSwitch);
    addHint(tr("From the next start, into the folder \"logs\" of the report folder."));

    m_languageOption = new QComboBox(this);
    m_languageOption->setObjectName(u"languageOption"_s);
    m_languageOption->addItems(lang());
    m_languageOption->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_languageOption, &QComboBox::activated, this, &SettingsGeneral::languageOptionChanged);
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(m_languageOption);
    languageRow->addStretch(1);
    addRow(tr("Language:"), languageRow);
    addHint(tr("Reports use it at once, the window from the next start."));

    m_passwordButton = new QPushButton(this);
    m_passwordButton->setObjectName(u"passwordButton"_s);
    connect(m_passwordButton, &QPushButton::clicked, this, &SettingsGeneral::openPasswordDialog);
    m_passwordImage = new QLabel(this);
    m_passwordImage->setObjectName(u"passwordImage"_s);
    auto* pinRow = new QHBoxLayout;
    pinRow->addWidget(m_passwordButton);
    pinRow->addWidget(m_passwordImage);
    pinRow->addStretch(1);
    addRow(tr("PIN:"), pinRow);
    addHint(tr("The PIN locks these settings; it does not protect your files or reports."));

    m_resetButton = new QPushButton(tr("Reset all settings..."), this);
    m_resetButton->setObjectName(u"resetButton"_s);
    connect(m_resetButton, &QPushButton::clicked, this, &SettingsGeneral::resetApplication);
    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(m_resetButton);
    resetRow->addStretch(1);
    addRow(tr("Reset:"), resetRow);

    connect(&m_settings, &SettingsManager::pinChanged, this, &SettingsGeneral::initPassword);
    viewDidLoad();
}

void SettingsGeneral::setDefaults()
{
    const QSignalBlocker autorun(m_autorunSwitch);
    m_autorunSwitch->setChecked(m_settings.boolForKey(SettingsManager::kEnableAutostart));
    const QSignalBlocker diagnose(m_diagnoseSwitch);
    m_diagnoseSwitch->setChecked(m_settings.isDiagnoseSet());
    // Without a stored choice the pop-up shows the desktop's language, the one the window shows.
    m_languageOption->setCurrentIndex(languageIndex(m_settings.getInterfaceLanguage()));
    initPassword();
}

void SettingsGeneral::setLockStatus(bool locked)
{
    m_languageOption->setEnabled(!locked);
    m_autorunSwitch->setEnabled(!locked);
    m_passwordButton->setEnabled(!locked);
    // Reset removes the PIN with every other setting: while locked it would open the lock.
    m_resetButton->setEnabled(!locked);
}

void SettingsGeneral::initPassword()
{
    const bool pinSet = m_settings.isPinSet();
    m_passwordButton->setText(pinSet ? tr("change_password") : tr("set_password"));
    m_passwordImage->setPixmap(
        QIcon(pinSet ? u":/images/check.svg"_s : u":/images/warning.svg"_s).pixmap(QSize(20, 20)));
    m_passwordImage->setProperty("pinSet", pinSet);
}

void SettingsGeneral::autostartChanged(bool on)
{
    // The choice is stored first and stays as the user set it when the entry cannot be written.
    m_settings.setBool(on, SettingsManager::kEnableAutostart);
    if (!LoginItem(m_program).setEnabled(on))
        logLine(on ? "Faild to turn on auto login" : "Faild to turn off auto login");
}

void SettingsGeneral::diagnoseChanged(bool on)
{
    m_settings.setBool(on, SettingsManager::kSettingsGeneralDiagnose);
}

void SettingsGeneral::languageOptionChanged(int index)
{
    if (index < 0 || index >= langIdentifier().size())
        return;
    m_settings.setObject(QStringList{langIdentifier()[index]}, SettingsManager::kAppleLanguages);
}

void SettingsGeneral::openPasswordDialog()
{
    auto* dialog = new SettingsPassword(m_settings, m_notifications, window());
    dialog->open();
}

void SettingsGeneral::resetApplication()
{
    auto* question = new ResetSettingsDialog(window());
    connect(question, &ResetSettingsDialog::confirmed, this, [this] {
        logLine("Settings reset");
        m_settings.reset();
        // The autostart entry goes with its setting.
        if (!LoginItem(m_program).setEnabled(false))
            logLine("Faild to turn off auto login");
        // Nothing is locked any more (the PIN is gone): the panes follow "AuthChanged" too.
        m_settings.lockView();
        emit settingsReset();
    });
    question->open();
}

} // namespace cv
