#include "app/controls/BusyIndicator.h"

#include <QPainter>

#include <algorithm>

namespace cv {

namespace {
constexpr int kSpokes = 12;
}

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent)
{
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
    hide();
}

void BusyIndicator::startAnimation()
{
    show();
    m_timer.start();
}

void BusyIndicator::stopAnimation()
{
    m_timer.stop();
    hide();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade out.
        const int age = (m_step - i + kSpokes) % kSpokes;
        QColor color(119, 119, 119);
        color.setAlphaF(1.0 - age / double(kSpokes) * 0.85);
        painter.setPen(QPen(color, std::max(2.0, side / 12), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -side / 4), QPointF(0, -side / 2 + 2));
        painter.rotate(360.0 / kSpokes);
    }
}

} // namespace cv
