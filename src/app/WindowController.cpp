#include "app/WindowController.h"

#include "app/MainMenuHostViewController.h"
#include "app/PlaceholderPage.h"
#include "app/SplashViewController.h"
#include "app/shred/DropDownHostController.h"
#include "settings/SettingsManager.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>
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
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(80, 110, 153)); }
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
        painter.fillRect(rect(), Qt::white);
        painter.fillRect(QRect(20, 3, width() - 40, 1), QColor(242, 242, 242));
    }
};

} // namespace

WindowController::WindowController(SettingsManager& settings, QWidget* parent)
    : QWidget(parent), m_titleView(new TitleView(this)), m_bottomView(new BottomView(this))
{
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
    name->setStyleSheet(u"color: white;"_s);
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
    version->setStyleSheet(u"color: rgb(160, 160, 160);"_s);
    bottomLayout->addStretch(1);
    bottomLayout->addWidget(version);
}

void WindowController::windowDidLoad(SettingsManager& settings)
{
    const std::array<QString, MainMenuHostViewController::kTabCount> titles{
        tr("Overview"), tr("Shred Files"), tr("Free Space"), tr("Temporary Data"), tr("Reports")};
    const std::array<QWidget*, MainMenuHostViewController::kTabCount> pages{
        new PlaceholderPage(titles[0]), new DropDownHostController(), new PlaceholderPage(titles[2]),
        new PlaceholderPage(titles[3]), new PlaceholderPage(titles[4])};
    m_host = new MainMenuHostViewController(pages, titles, this);

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

    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.x() + available.width() / 2 - kWidth / 2,
             available.y() + available.height() / 2 - kHeight / 2);
    }
}

void WindowController::showShredScreen()
{
    m_host->changeTabToIndex(MainMenuHostViewController::kShredTab);
    bringToFront();
}

void WindowController::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

} // namespace cv
