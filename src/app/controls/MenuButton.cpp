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
    // The shown tab is a shade darker, the hovered one half that, so that the white title keeps
    // its contrast (a lighter shade would take it below 4.5:1). The active shade wins over the
    // hover shade, so a shown tab looks the same under the pointer.
    painter.fillRect(area, m_active  ? Palette::activeTab()
                           : m_hover ? Palette::mix(Palette::tabBlue(), Palette::activeTab(), 0.5)
                                     : Palette::tabBlue());
    painter.setPen(Palette::onAccent());
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter, text());
    const auto overlay = [](int alpha) {
        QColor color = Palette::onAccent();
        color.setAlpha(alpha);
        return color;
    };
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
