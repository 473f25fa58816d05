#include "app/controls/PillButton.h"

#include "app/Palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace cv {

PillButton::PillButton(const QString& title, Style style, QWidget* parent)
    : QPushButton(title, parent), m_style(style),
      m_textColor(style == Style::Filled ? Palette::onAccent() : Palette::accent()),
      m_fillColor(Palette::accentFill())
{
    setCursor(Qt::PointingHandCursor);
    QFont font = this->font();
    font.setPixelSize(14);
    font.setWeight(QFont::Medium);
    setFont(font);
}

void PillButton::setTextColor(const QColor& color)
{
    m_textColor = color;
    update();
}

void PillButton::setFillColor(const QColor& color)
{
    m_fillColor = color;
    update();
}

void PillButton::setToDefault()
{
    m_hover = false;
    update();
}

QSize PillButton::sizeHint() const
{
    return {std::max(110, fontMetrics().horizontalAdvance(text()) + 40), 34};
}

void PillButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_hover = true;
        update();
    }
    QPushButton::mousePressEvent(event);
}

void PillButton::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event);
    setToDefault();
}

void PillButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = area.height() / 2;
    QPainterPath pill;
    pill.addRoundedRect(area, radius, radius);

    const bool held = m_hover || isDown();
    if (m_style == Style::Filled) {
        painter.fillPath(pill, held ? m_fillColor.darker(115) : m_fillColor);
    } else {
        painter.fillPath(pill, held ? Palette::pressed() : Palette::base());
        painter.setPen(QPen(Palette::border(), 1));
        painter.drawPath(pill);
    }
    if (isDefault() && isEnabled()) {
        painter.setPen(QPen(m_fillColor.lighter(130), 2));
        painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
    if (hasFocus()) {
        // A solid ring inside the edge, in the colour that stands out from the button's own: the
        // text's colour on a filled button, the accent on an outlined one.
        painter.setOpacity(1.0);
        painter.setPen(QPen(m_style == Style::Filled ? m_textColor : Palette::accent(), 2));
        painter.drawRoundedRect(area.adjusted(3, 3, -3, -3), radius - 3, radius - 3);
        if (!isEnabled())
            painter.setOpacity(0.4);
    }
    painter.setPen(m_textColor);
    painter.setFont(font());
    painter.drawText(rect().translated(0, held ? 1 : 0), Qt::AlignCenter, text());
}

} // namespace cv
