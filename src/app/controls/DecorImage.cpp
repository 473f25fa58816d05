#include "app/controls/DecorImage.h"

#include <QPainter>

namespace cv {

DecorImage::DecorImage(const QIcon& icon, QSize iconSize, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_iconSize(iconSize)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DecorImage::setIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

void DecorImage::setOffsetY(qreal offset)
{
    m_offsetY = offset;
    update();
}

void DecorImage::setRotation(qreal degrees)
{
    m_rotation = degrees;
    update();
}

void DecorImage::setScale(qreal scale)
{
    m_scale = scale;
    update();
}

void DecorImage::reset()
{
    m_offsetY = 0;
    m_rotation = 0;
    m_scale = 1;
    update();
}

void DecorImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(width() / 2.0, height() / 2.0 + m_offsetY);
    painter.rotate(m_rotation);
    painter.scale(m_scale, m_scale);
    const QRect target(-m_iconSize.width() / 2, -m_iconSize.height() / 2, m_iconSize.width(),
                       m_iconSize.height());
    m_icon.paint(&painter, target);
}

} // namespace cv
