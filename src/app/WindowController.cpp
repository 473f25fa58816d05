#include "app/WindowController.h"

#include "app/MainMenuHostViewController.h"
#include "app/Palette.h"
#include "app/PlaceholderPage.h"
#include "app/SplashViewController.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/TransitionAnimator.h"
#include "app/dialogs/QuitDuringJobDialog.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/shred/DropFilesViewController.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
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

// The bottom bar: white, with a thin grey line 3 points below its top, 20 points in from each side.
class BottomView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Palette::base());
        painter.fillRect(QRect(20, 3, width() - 40, 1), Palette::separator());
    }
};

} // namespace

WindowController::WindowController(SettingsManager& settings, ShredScreenFactory makeShredScreen,
                                   QWidget* parent)
    : QWidget(parent), m_titleView(new TitleView(this)), m_bottomView(new BottomView(this)),
      m_makeShredScreen(std::move(makeShredScreen))
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
    // The free-space and temporary-data tabs become hosts like the shred tab when their screens
    // come (see leaveJob).
    const std::array<QWidget*, MainMenuHostViewController::kTabCount> pages{
        new PlaceholderPage(titles[0]), m_shredTab, new PlaceholderPage(titles[2]),
        new PlaceholderPage(titles[3]), new PlaceholderPage(titles[4])};
    m_host = new MainMenuHostViewController(pages, titles, this);
    showFreshShredScreen(VolumeOption::None);

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

    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.x() + available.width() / 2 - kWidth / 2,
             available.y() + available.height() / 2 - kHeight / 2);
    }
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

void WindowController::startJob(ReplaceViewController* tab, const JobRequest& request)
{
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
        // Here a fresh free-space screen replaces the progress screen in the free-space tab.
        logLine("No screen to go back to for \"FinishFreespace\"");
        return;
    case JobRequest::ReturnTo::TemporaryDataScreen:
        // The overview comes at once; a second later a fresh temporary-data screen replaces the
        // progress screen in its tab.
        m_host->changeTabToIndex(MainMenuHostViewController::kOverviewTab);
        QTimer::singleShot(1000, this, [] { logLine("No screen to go back to for \"FinishTemp\""); });
        return;
    }
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

void WindowController::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

} // namespace cv
