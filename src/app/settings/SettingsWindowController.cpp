#include "app/settings/SettingsWindowController.h"

#include "app/Palette.h"
#include "app/controls/BottomBar.h"
#include "app/controls/ClosingKeys.h"
#include "app/controls/ScreenFit.h"
#include "app/dialogs/SettingsPassword.h"
#include "app/settings/SettingsDeletion.h"
#include "app/settings/SettingsGeneral.h"
#include "app/settings/SettingsHelp.h"
#include "app/settings/SettingsNotifications.h"
#include "app/settings/SettingsUpdate.h"
#include "settings/SettingsManager.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

SettingsWindowController::SettingsWindowController(SettingsManager& settings, const Services& services,
                                                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_services(services), m_tabs(new QTabWidget(this)),
      m_lockButton(new QToolButton(this))
{
    setObjectName(u"SettingsWindowController"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Cindervault Settings"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Palette::background());
    setPalette(background);

    m_tabs->setObjectName(u"SettingsTabViewController"_s);
    m_tabs->setDocumentMode(true);
    auto* general = new SettingsGeneral(settings, services.notifications, services.program);
    m_panes << general;
    m_tabs->addTab(ScreenFit::scrollable(general), tr("General"));
    if (services.notifications) {
        auto* notifications = new SettingsNotifications(settings, *services.notifications);
        m_panes << notifications;
        m_tabs->addTab(ScreenFit::scrollable(notifications), tr("Notifications"));
    }
    auto* deletion = new SettingsDeletion(settings);
    m_panes << deletion;
    m_tabs->addTab(ScreenFit::scrollable(deletion), tr("DeletionTab"));
    auto* updates = new SettingsUpdate(settings, services.updates);
    m_panes << updates;
    m_tabs->addTab(ScreenFit::scrollable(updates), tr("Updates"));
    auto* help = new SettingsHelp(settings, services.support);
    m_panes << help;
    m_tabs->addTab(ScreenFit::scrollable(help), tr("Help"));
    connect(general, &SettingsGeneral::settingsReset, this, [this] {
        for (SettingsPane* pane : std::as_const(m_panes))
            pane->setDefaults();
    });

    auto* bottom = new BottomBar(this);
    bottom->setObjectName(u"bottomView"_s);
    bottom->setFixedHeight(kBottomHeight);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(14, 4, 14, 4);
    m_lockButton->setObjectName(u"lockButton"_s);
    m_lockButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_lockButton->setAutoRaise(true);
    m_lockButton->setIconSize(QSize(20, 20));
    QFont font = m_lockButton->font();
    font.setPixelSize(13);
    m_lockButton->setFont(font);
    // The grey of secondary texts (a lighter one on a dark desktop, so that it stays readable).
    m_lockButton->setStyleSheet(
        u"QToolButton { %1 border: none; }"
        u"QToolButton:focus { border: 2px solid %2; border-radius: 6px; }"_s.arg(
            Palette::textStyle(Palette::secondaryText()), Palette::css(Palette::accent())));
    connect(m_lockButton, &QToolButton::clicked, this, &SettingsWindowController::lockClicked);
    bottomLayout->addWidget(m_lockButton);
    bottomLayout->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(bottom);

    // Escape and Ctrl+W close it, as any secondary window.
    ClosingKeys::install(this);

    // Its start size where that fits the screen; its panes scroll when it is made smaller.
    ScreenFit::fit(this, QSize(kWidth, kHeight), true);
    updateLockstatus();
    connect(&m_settings, &SettingsManager::authChanged, this, &SettingsWindowController::updateLockstatus);
    connect(&m_settings, &SettingsManager::pinChanged, this, &SettingsWindowController::updateLockstatus);
}

void SettingsWindowController::updateLockstatus()
{
    const bool locked = m_settings.isLocked();
    m_lockButton->setIcon(QIcon(locked ? u":/images/lock.svg"_s : u":/images/unlock.svg"_s));
    m_lockButton->setText(u"  "_s + (locked ? tr("unlock") : tr("lock")));
    m_lockButton->setProperty("locked", locked);
}

void SettingsWindowController::lockClicked()
{
    if (m_settings.isPinSet() && m_settings.isAuthed()) {
        m_settings.lockView();
        return;
    }
    auto* dialog = new SettingsPassword(m_settings, m_services.notifications, this);
    dialog->open();
}

void SettingsWindowController::closeEvent(QCloseEvent* event)
{
    m_settings.lockView();
    QWidget::closeEvent(event);
}

} // namespace cv
