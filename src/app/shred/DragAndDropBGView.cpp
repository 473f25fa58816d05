#include "app/shred/DragAndDropBGView.h"

#include <QPainter>

namespace cv {

DragAndDropBGView::DragAndDropBGView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DragAndDropBGView::setHightlight(bool hightlight)
{
    m_hightlight = hightlight;
    update();
}

void DragAndDropBGView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal width = m_hightlight ? 1.5 : 1.0;
    QPen pen(m_hightlight ? QColor(78, 160, 255) : QColor(179, 179, 179), width);
    // Dash and gap in points, whatever the pen width (Qt measures them in pen widths).
    pen.setDashPattern({6 / width, 5 / width});
    painter.setPen(pen);
    painter.setBrush(QColor(252, 252, 252));
    painter.drawRoundedRect(QRectF(rect()).adjusted(3, 3, -3, -3), 5, 5);
}

} // namespace cv
