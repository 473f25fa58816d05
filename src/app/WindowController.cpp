#include "app/WindowController.h"

#include "app/AppServices.h"
#include "app/MainMenuHostViewController.h"
#include "app/Palette.h"
#include "app/SplashViewController.h"
#include "app/controls/BottomBar.h"
#include "app/controls/MenuButton.h"
#include "app/controls/MethodPicker.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/ScreenFit.h"
#include "app/controls/TransitionAnimator.h"
#include "app/dashboard/DashboardViewController.h"
#include "app/dialogs/QuitDuringJobDialog.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/freespace/FreeSpaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/reports/ReportModulListViewController.h"
#include "app/reports/ReportReviewViewController.h"
#include "app/settings/SettingsWindowController.h"
#include "app/shred/DropFilesViewController.h"
#include "app/tempdata/TempDataViewController.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The title bar: 44 points of the header blue.
class TitleView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Palette::headerBlue()); }
};

} // namespace

WindowController::WindowController(SettingsManager& settings, ShredScreenFactory makeShredScreen,
                                   QWidget* parent)
    : QWidget(parent), m_titleView(new TitleView(this)), m_bottomView(new BottomBar(this)),
      m_makeShredScreen(std::move(makeShredScreen)), m_settings(settings)
{
    if (!m_makeShredScreen)
        m_makeShredScreen = [](VolumeOption preset) { return new DropFilesViewController(preset); };
    setObjectName(u"WindowController"_s);
    setWindowTitle(u"Cindervault"_s);
    setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    setAttribute(Qt::WA_DeleteOnClose);
    windowDidLoad(settings);
}

void WindowController::setupLogos()
{
    m_titleView->setFixedHeight(kTitleHeight);
    auto* titleLayout = new QHBoxLayout(m_titleView);
    titleLayout->setContentsMargins(16, 0, 0, 0);
    titleLayout->setSpacing(8);
    auto* logo = new QLabel(m_titleView);
    logo->setPixmap(QIcon(u":/images/cindervault.svg"_s).pixmap(26, 26));
    titleLayout->addWidget(logo);
    auto* name = new QLabel(u"Cindervault"_s, m_titleView);
    QFont font = name->font();
    font.setPixelSize(17);
    font.setWeight(QFont::Light);
    name->setFont(font);
    name->setStyleSheet(Palette::textStyle(Palette::onAccent()));
    titleLayout->addWidget(name);
    titleLayout->addStretch(1);
    titleLayout->addWidget(m_host->menuBar());
    // The settings: the gear at the end of the title bar, and Ctrl+, anywhere in the window.
    auto* gear = new QToolButton(m_titleView);
    gear->setObjectName(u"settingsButton"_s);
    gear->setIcon(QIcon(u":/images/gear.svg"_s));
    gear->setIconSize(QSize(20, 20));
    gear->setFixedSize(kTitleHeight, kTitleHeight);
    gear->setAutoRaise(true);
    gear->setCursor(Qt::PointingHandCursor);
    gear->setToolTip(tr("Settings (Ctrl+,)"));
    gear->setAccessibleName(tr("Settings"));
    // A keyboard user sees where the focus is: a ring in the title's text colour.
    gear->setFocusPolicy(Qt::TabFocus);
    gear->setStyleSheet(u"QToolButton { border: none; background: transparent; }"
                        u"QToolButton:hover { background: rgba(255, 255, 255, 40); }"
                        u"QToolButton:focus { border: 2px solid %1; border-radius: 6px; }"_s.arg(
                            Palette::css(Palette::onAccent())));
    connect(gear, &QToolButton::clicked, this, &WindowController::showSettings);
    titleLayout->addWidget(gear);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
    connect(shortcut, &QShortcut::activated, this, &WindowController::showSettings);

    m_bottomView->setFixedHeight(kBottomHeight);
    auto* bottomLayout = new QHBoxLayout(m_bottomView);
    bottomLayout->setContentsMargins(20, 6, 20, 2);
    auto* version = new QLabel(u"Cindervault " CINDERVAULT_VERSION ""_s, m_bottomView);
    QFont small = version->font();
    small.setPixelSize(11);
    version->setFont(small);
    version->setStyleSheet(Palette::textStyle(Palette::faintText()));
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(version);
}

void WindowController::windowDidLoad(SettingsManager& settings)
{
    const std::array<QString, MainMenuHostViewController::kTabCount> titles{
        tr("Overview"), tr("Shred Files"), tr("Free Space"), tr("Temporary Data"), tr("Reports")};
    m_shredTab = new ReplaceViewController;
    m_shredTab->setObjectName(u"shredTab"_s);
    m_freeSpaceTab = new ReplaceViewController;
    m_freeSpaceTab->setObjectName(u"freeSpaceTab"_s);
    m_tempDataTab = new ReplaceViewController;
    m_tempDataTab->setObjectName(u"tempDataTab"_s);
    const std::array<QWidget*, MainMenuHostViewController::kTabCount> pages{
        new DashboardViewController, m_shredTab, m_freeSpaceTab, m_tempDataTab, makeReportsTab()};
    m_host = new MainMenuHostViewController(pages, titles, this);
    showFreshShredScreen(VolumeOption::None);
    setScreenFactories({}, {});

    setupLogos();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleView);
    layout->addWidget(m_host, 1);
    layout->addWidget(m_bottomView);

    const auto windows = QApplication::topLevelWidgets();
    if (windows.size() >= 2) {
        for (QWidget* window : windows) {
            if (qobject_cast<SplashViewController*>(window) && window->isVisible())
                window->close();
        }
        settings.setBool(settings.isPinSet(), SettingsManager::kPinp);
    }
    // "PINP" keeps mirroring whether a PIN is set when the settings window sets or removes one.
    connect(&settings, &SettingsManager::pinChanged, this,
            [this] { m_settings.setBool(m_settings.isPinSet(), SettingsManager::kPinp); });

    // The start size where it fits with its frame; on a smaller screen, or at a larger scale, the
    // available area. It may be made smaller than its start: the screens scroll then.
    ScreenFit::fit(this, QSize(kWidth, kHeight), true);
    // The keyboard starts at the tab that is shown, not at the first one.
    m_host->tab(std::size_t(m_host->currentIndex()))->setFocus(Qt::OtherFocusReason);
}

QWidget* WindowController::makeReportsTab()
{
    // The list hears of new reports from the keeper that makes them.
    auto* list = new ReportModulListViewController(sharedReportKeeper());
    // A saved HTML report opens in a review window of its own, beside this one.
    connect(list, &ReportModulListViewController::reviewRequested, this,
            [this](const QUrl& url) { (new ReportReviewViewController(url, this))->show(); });
    return list;
}

void WindowController::showFreshShredScreen(VolumeOption preset)
{
    DropFilesViewController* screen = m_makeShredScreen(preset);
    connect(screen, &DropFilesViewController::jobRequested, this,
            [this](const JobRequest& request) { startJob(m_shredTab, request); });
    connect(screen, &DropFilesViewController::detailsRequested, this,
            [screen](const std::shared_ptr<PathCollection>& collection) {
                // The explorer lies over the screen whose selection it shows, and goes with it.
                auto* explorer = new ExplorerViewController(collection);
                connect(explorer, &ExplorerViewController::dismissed, screen,
                        &DropFilesViewController::explorerDismissedWith);
                TransitionAnimator::animatePresentation(explorer, screen);
            });
    m_shredTab->replace(screen);
}

void WindowController::setScreenFactories(FreeSpaceScreenFactory makeFreeSpaceScreen,
                                          TempDataScreenFactory makeTempDataScreen)
{
    m_makeFreeSpaceScreen =
        makeFreeSpaceScreen ? std::move(makeFreeSpaceScreen) : [] { return new FreeSpaceViewController; };
    m_makeTempDataScreen =
        makeTempDataScreen ? std::move(makeTempDataScreen) : [] { return new TempDataViewController; };
    showFreshFreeSpaceScreen();
    showFreshTempDataScreen();
}

void WindowController::showFreshFreeSpaceScreen()
{
    FreeSpaceViewController* screen = m_makeFreeSpaceScreen();
    connect(screen, &FreeSpaceViewController::jobRequested, this,
            [this](const JobRequest& request) { startJob(m_freeSpaceTab, request); });
    m_freeSpaceTab->replace(screen);
}

void WindowController::showFreshTempDataScreen()
{
    TempDataViewController* screen = m_makeTempDataScreen();
    connect(screen, &TempDataViewController::jobRequested, this,
            [this](const JobRequest& request) { startJob(m_tempDataTab, request); });
    m_tempDataTab->replace(screen);
}

void WindowController::startJob(ReplaceViewController* tab, const JobRequest& request)
{
    if (request.algorithm)
        MethodPicker::rememberUsed(*request.algorithm);
    auto* progress = new ProgressViewController(request);
    connect(progress, &ProgressViewController::backRequested, this, [this, request] { leaveJob(request); });
    tab->replace(progress);
}

void WindowController::leaveJob(const JobRequest& request)
{
    switch (request.returnTo) {
    case JobRequest::ReturnTo::ShredScreen:
        showFreshShredScreen(
            volumeOptionFromKey(request.shredOptions ? request.shredOptions->optionKey : ""));
        return;
    case JobRequest::ReturnTo::FreeSpaceScreen:
        showFreshFreeSpaceScreen();
        return;
    case JobRequest::ReturnTo::TemporaryDataScreen:
        // The overview comes at once; a second later a fresh temporary-data screen replaces the
        // progress screen in its tab, out of sight, so that its search starts when it is opened.
        m_host->changeTabToIndex(MainMenuHostViewController::kOverviewTab);
        QTimer::singleShot(1000, this, &WindowController::showFreshTempDataScreen);
        return;
    }
}

void WindowController::showTrashScreen()
{
    if (!qobject_cast<ProgressViewController*>(m_tempDataTab->current())) {
        TempDataViewController* screen = m_makeTempDataScreen();
        screen->selection().chooseOnly(TempSearcher::Trash);
        connect(screen, &TempDataViewController::jobRequested, this,
                [this](const JobRequest& request) { startJob(m_tempDataTab, request); });
        m_tempDataTab->replace(screen);
    }
    m_host->changeTabToIndex(MainMenuHostViewController::kTemporaryDataTab);
    bringToFront();
}

void WindowController::showShredScreen()
{
    m_host->changeTabToIndex(MainMenuHostViewController::kShredTab);
    bringToFront();
}

ProgressViewController* WindowController::runningJob() const
{
    for (ProgressViewController* screen : findChildren<ProgressViewController*>()) {
        if (screen->isJobRunning())
            return screen;
    }
    return nullptr;
}

void WindowController::closeEvent(QCloseEvent* event)
{
    ProgressViewController* job = runningJob();
    if (!job) {
        QWidget::closeEvent(event);
        return;
    }
    // Quitting now would cut a file off in the middle of a pass. Either the user keeps the job,
    // or it is cancelled cleanly and the window closes when it has ended.
    event->ignore();
    if (m_closingAfterJob || m_quitQuestion)
        return; // asked once already: no second question
    auto* question = new QuitDuringJobDialog(this);
    connect(question, &QuitDuringJobDialog::stopChosen, this, [this] {
        // The job may have ended while the question was open.
        if (ProgressViewController* still = runningJob())
            stopJobAndClose(still);
        else
            close();
    });
    m_quitQuestion = question;
    question->open();
}

void WindowController::stopJobAndClose(ProgressViewController* job)
{
    m_closingAfterJob = true;
    // Queued: the screen handles the job's end first, then the window goes.
    connect(job, &ProgressViewController::jobReportedFinished, this, &QWidget::close, Qt::QueuedConnection);
    job->cancelJob();
}

void WindowController::showSettings()
{
    if (!m_settingsWindow) {
        const AppServices& services = AppServices::shared();
        SettingsWindowController::Services panes;
        panes.notifications = services.notifications;
        panes.updates = services.updateScheduler;
        panes.support = services.supportSender;
        panes.program = QCoreApplication::applicationFilePath();
        m_settingsWindow = new SettingsWindowController(m_settings, panes, this);
        m_settingsWindow->move(geometry().center() - m_settingsWindow->rect().center());
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

SettingsWindowController* WindowController::settingsWindow() const
{
    return m_settingsWindow;
}

void WindowController::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

} // namespace cv
