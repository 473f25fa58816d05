#include "app/controls/ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace cv {

namespace {

// How long after mapping a window its frame is read again: by then the window manager has
// reparented it into its frame.
constexpr int kFramedAfterMs = 300;

// Windows and dialogs; menus, tool tips and other popups place themselves.
bool isFittedWindow(const QWidget* widget)
{
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

// A window the window manager does not size itself (not maximized, not full screen).
bool isFloating(const QWidget* window)
{
    return !(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

// The frame of a window whose inside is inside, with margins around it.
QRect frameAround(const QRect& inside, const QMargins& margins)
{
    return inside.marginsAdded(margins);
}

} // namespace

QRect ScreenFit::availableArea(const QWidget* window)
{
    if (const QScreen* screen = window ? window->screen() : nullptr)
        return screen->availableGeometry();
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        return primary->availableGeometry();
    return {0, 0, 1280, 720};
}

QMargins ScreenFit::frameMargins(const QWidget* window)
{
    if (window && window->isVisible()) {
        if (const QWindow* handle = window->windowHandle()) {
            const QMargins known = handle->frameMargins();
            if (!known.isNull())
                return known;
        }
    }
    // An unframed window; also one whose window manager draws no frame, which the estimate only
    // makes a little smaller than it could be.
    return kEstimatedFrame;
}

QSize ScreenFit::room(const QWidget* window)
{
    const QRect area = availableArea(window);
    const QMargins frame = frameMargins(window);
    return {std::max(1, area.width() - frame.left() - frame.right()),
            std::max(1, area.height() - frame.top() - frame.bottom())};
}

QRect ScreenFit::keptInside(const QRect& frame, const QRect& area)
{
    const QSize size = frame.size().boundedTo(area.size());
    const int x = std::clamp(frame.x(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(frame.y(), area.top(), area.top() + area.height() - size.height());
    return {QPoint(x, y), size};
}

void ScreenFit::fit(QWidget* window, QSize wanted, bool centred)
{
    // Kept until the window manager has framed the window: it is fitted again then, with the
    // real frame in place of the estimate.
    window->setProperty(kWantedProperty, wanted);
    window->setProperty(kCentredProperty, centred);
    place(window, wanted, centred);
}

void ScreenFit::place(QWidget* window, QSize wanted, bool centred)
{
    const QRect area = availableArea(window);
    const QMargins frame = frameMargins(window);
    const QSize inside = wanted.boundedTo(room(window)).expandedTo(window->minimumSize());
    QRect placed(window->pos(), frameAround(QRect(QPoint(), inside), frame).size());
    if (centred)
        placed.moveCenter(area.center());
    placed = keptInside(placed, area);
    window->resize(inside);
    // A window's position is that of its frame.
    window->move(placed.topLeft());
}

void ScreenFit::fitAgain(QWidget* window, bool framed)
{
    const QVariant wanted = window->property(kWantedProperty);
    if (!wanted.isValid()) {
        keepInside(window);
        return;
    }
    place(window, wanted.toSize(), window->property(kCentredProperty).toBool());
    // From now on the size and place are the user's.
    if (framed) {
        window->setProperty(kWantedProperty, QVariant());
        window->setProperty(kCentredProperty, QVariant());
    }
}

void ScreenFit::keepInside(QWidget* window)
{
    const QRect area = availableArea(window);
    const QMargins frame = frameMargins(window);
    const QSize inside = window->size().boundedTo(room(window)).expandedTo(window->minimumSize());
    QRect placed(window->pos(), frameAround(QRect(QPoint(), inside), frame).size());
    // A window nobody placed would be put wherever the window manager likes, possibly partly off
    // a small screen: it opens centred. Dialogs are placed over their parents by Qt itself.
    if (window->windowType() == Qt::Window && !window->testAttribute(Qt::WA_Moved))
        placed.moveCenter(area.center());
    placed = keptInside(placed, area);
    if (inside != window->size())
        window->resize(inside);
    if (placed.topLeft() != window->pos())
        window->move(placed.topLeft());
}

QScrollArea* ScreenFit::scrollable(QWidget* content)
{
    auto* area = new QScrollArea;
    area->setObjectName(content->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

void ScreenFit::install()
{
    static QPointer<ScreenFit> watcher;
    if (watcher || !qApp)
        return;
    watcher = new ScreenFit(qApp);
    qApp->installEventFilter(watcher);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isFittedWindow(widget) && isFloating(widget)) {
            fitAgain(widget, false);
            QTimer::singleShot(kFramedAfterMs, widget, [widget] {
                if (widget->isVisible() && isFloating(widget))
                    fitAgain(widget, true);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cv
