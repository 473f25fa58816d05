#include "app/controls/MenuButton.h"

#include "app/Palette.h"

#include <QPainter>

namespace cv {

MenuButton::MenuButton(const QString& title, QWidget* parent) : QAbstractButton(parent)
{
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    QFont font = this->font();
    font.setPixelSize(14);
    font.setWeight(QFont::Light);
    setFont(font);
}

void MenuButton::setActive(bool active)
{
    m_active = active;
    update();
}

void MenuButton::setHover(bool hover)
{
    m_hover = hover;
    update();
}

QSize MenuButton::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(text()) + 32, 44};
}

void MenuButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, Palette::tabBlue());
    painter.setPen(Palette::onAccent());
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter, text());
    // The active overlay wins over the hover overlay, so a shown tab looks the same under the pointer.
    const auto overlay = [](int alpha) {
        QColor color = Palette::onAccent();
        color.setAlpha(alpha);
        return color;
    };
    if (m_active)
        painter.fillRect(area, overlay(qRound(255 * 0.10)));
    else if (m_hover)
        painter.fillRect(area, overlay(qRound(255 * 0.05)));
    if (hasFocus()) {
        painter.setPen(QPen(overlay(120), 1, Qt::DotLine));
        painter.drawRect(area.adjusted(2, 2, -3, -3));
    }
}

void MenuButton::enterEvent(QEnterEvent* event)
{
    setHover(true);
    QAbstractButton::enterEvent(event);
}

void MenuButton::leaveEvent(QEvent* event)
{
    setHover(false);
    QAbstractButton::leaveEvent(event);
}

} // namespace cv
