#include "app/shred/DragAndDropBGView.h"

#include "app/Palette.h"

#include <QPainter>

namespace cv {

DragAndDropBGView::DragAndDropBGView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DragAndDropBGView::setHighlight(bool highlight)
{
    m_highlight = highlight;
    update();
}

void DragAndDropBGView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = m_highlight ? 1.5 : 1.0;
    QPen pen(m_highlight ? Palette::accent() : Palette::outline(), width);
    // Dash and gap in points, whatever the pen width (Qt measures them in pen widths).
    pen.setDashPattern({6 / width, 5 / width});
    painter.setPen(pen);
    painter.setBrush(Palette::panel());
    painter.drawRoundedRect(QRectF(rect()).adjusted(3, 3, -3, -3), 5, 5);
}

} // namespace cv
