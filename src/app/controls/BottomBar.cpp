#include "app/controls/BottomBar.h"

#include "app/Palette.h"

#include <QPainter>

namespace cv {

void BottomBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::base());
    painter.fillRect(QRect(20, 3, width() - 40, 1), Palette::separator());
}

} // namespace cv
