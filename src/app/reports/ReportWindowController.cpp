#include "app/reports/ReportWindowController.h"

#include "app/controls/ClosingKeys.h"
#include "app/controls/ScreenFit.h"
#include "app/reports/ReportViewController.h"
#include "settings/SettingsManager.h"

#include <QCloseEvent>
#include <QIcon>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

ReportWindowController::ReportWindowController(SettingsManager& settings, const ReportKeeper& keeper,
                                               std::shared_ptr<const ShredResult> result, QWidget* parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_content(new ReportViewController(keeper, this))
{
    setObjectName(u"ReportWindowController"_s);
    setWindowTitle(tr("Deletion report"));
    setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    setAttribute(Qt::WA_DeleteOnClose);
    m_content->setShredResult(std::move(result));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    // Escape and Ctrl+W close it, as any secondary window.
    ClosingKeys::install(this);
    // Never larger than a small screen's available area: the report scrolls inside.
    setMinimumSize(std::min(kMinimumWidth, ScreenFit::room(this).width()),
                   std::min(400, ScreenFit::room(this).height()));
    windowDidLoad();
}

void ReportWindowController::windowDidLoad()
{
    const QRect available = ScreenFit::availableArea(this);
    const QSize room = ScreenFit::room(this);
    const int width = std::clamp(int(m_settings.integerForKey(kWidthKey, kDefaultWidth)),
                                 std::min(kMinimumWidth, room.width()), room.width());
    const int centred = available.x() + (available.width() - width) / 2;
    // A position kept from another screen arrangement must not put the window out of sight (the
    // fit moves it in).
    move(int(m_settings.integerForKey(kXKey, centred)), available.y());
    // The full height of the screen's available area, frame included, so that Print, Save as PDF
    // and Close stay in sight; the width the user gave it where that fits.
    ScreenFit::fit(this, QSize(width, QWIDGETSIZE_MAX), false);
}

void ReportWindowController::closeEvent(QCloseEvent* event)
{
    m_settings.setInteger(x(), kXKey);
    m_settings.setInteger(width(), kWidthKey);
    QWidget::closeEvent(event);
}

} // namespace cv
