#include "app/reports/ReportWindowController.h"

#include "app/reports/ReportViewController.h"
#include "settings/SettingsManager.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportWindowController::ReportWindowController(SettingsManager& settings,
                                               std::shared_ptr<const ShredResult> result, QWidget* parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_content(new ReportViewController(settings, this))
{
    setObjectName(u"ReportWindowController"_s);
    setWindowTitle(tr("Deletion report"));
    setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    setAttribute(Qt::WA_DeleteOnClose);
    m_content->setShredResult(std::move(result));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    setMinimumSize(kMinimumWidth, 400);
    windowDidLoad();
}

void ReportWindowController::windowDidLoad()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900);
    const int width = std::clamp(int(m_settings.integerForKey(kWidthKey, kDefaultWidth)), kMinimumWidth,
                                 std::max(kMinimumWidth, available.width()));
    const int centred = available.x() + (available.width() - width) / 2;
    // A position kept from another screen arrangement must not put the window out of sight.
    const int x = std::clamp(int(m_settings.integerForKey(kXKey, centred)), available.left(),
                             std::max(available.left(), available.right() + 1 - width));
    resize(width, available.height());
    move(x, available.y());
}

void ReportWindowController::closeEvent(QCloseEvent* event)
{
    m_settings.setInteger(x(), kXKey);
    m_settings.setInteger(width(), kWidthKey);
    QWidget::closeEvent(event);
}

} // namespace cv
