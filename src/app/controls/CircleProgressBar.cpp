#include "app/controls/CircleProgressBar.h"

#include "app/AmountText.h"
#include "app/Palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace cv {

CircleProgressBar::CircleProgressBar(QWidget* parent) : QWidget(parent), m_color(Palette::amountGraphic()) {}

void CircleProgressBar::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void CircleProgressBar::setProgress(float progress)
{
    m_progress = std::isnan(progress) ? 0.0f : progress;
    update();
}

QString CircleProgressBar::percentageText() const
{
    if (m_progress == 1.0f)
        return {};
    return AmountText::decimal(static_cast<double>(m_progress) * 100.0, 2) + u"\n%"_s;
}

void CircleProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const auto disc = [&](double radius, const QColor& color) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(centre, radius, radius);
    };

    disc(side / 2 - 2, Palette::border());
    disc(side / 2 - 3, Palette::base());
    // The wedge starts at the top (90 degrees) and grows clockwise (negative span in Qt).
    const double fraction = std::isfinite(m_progress) ? std::clamp(m_progress, 0.0f, 1.0f) : 1.0;
    if (fraction > 0) {
        const double radius = side / 2;
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        painter.setBrush(m_color);
        if (fraction >= 1.0)
            painter.drawEllipse(box);
        else
            painter.drawPie(box, 90 * 16, -qRound(fraction * 360 * 16));
    }
    disc(side / 2 - 5, Palette::base());

    const QString text = percentageText();
    if (text.isEmpty())
        return;
    QFont font = this->font();
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(Palette::text());
    const QStringList lines = text.split(u'\n');
    const double lineHeight = painter.fontMetrics().lineSpacing() * 0.8;
    double top = centre.y() + 15 - lineHeight * lines.size() / 2.0;
    for (const QString& line : lines) {
        painter.drawText(QRectF(0, top, width(), lineHeight), Qt::AlignCenter | Qt::TextDontClip, line);
        top += lineHeight;
    }
}

} // namespace cv
