#include "app/controls/ColorGradientView.h"

#include "app/Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace cv {

ColorGradientView::ColorGradientView(QWidget* parent)
    : QWidget(parent), m_startingColor(Palette::background()), m_endingColor(Palette::background())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ColorGradientView* ColorGradientView::fill(QWidget* screen)
{
    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* background = new ColorGradientView(screen);
    layout->addWidget(background);
    return background;
}

void ColorGradientView::setStartingColor(const QColor& color)
{
    m_startingColor = color;
    update();
}

void ColorGradientView::setEndingColor(std::optional<QColor> color)
{
    m_endingColor = color;
    update();
}

void ColorGradientView::setAngle(int degrees)
{
    m_angle = degrees;
    update();
}

void ColorGradientView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = rect();
    if (!m_endingColor || *m_endingColor == m_startingColor) {
        painter.fillRect(area, m_startingColor);
        return;
    }
    // The gradient line runs through the centre; it is long enough that both corners on it get
    // the pure end colours. Screen y grows downward, so the angle's sine is negated.
    const double radians = m_angle * std::numbers::pi / 180.0;
    const QPointF direction(std::cos(radians), -std::sin(radians));
    const double half =
        (std::abs(area.width() * direction.x()) + std::abs(area.height() * direction.y())) / 2.0;
    const QPointF centre = area.center();
    QLinearGradient gradient(centre - direction * half, centre + direction * half);
    gradient.setColorAt(0, m_startingColor);
    gradient.setColorAt(1, *m_endingColor);
    painter.fillRect(area, gradient);
}

} // namespace cv
