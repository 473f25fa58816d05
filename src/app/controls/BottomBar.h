#pragma once

#include <QWidget>

namespace cv {

// The bottom bar of the windows: the base colour, with a thin line 3 points below its top, 20
// points in from each side.
class BottomBar : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace cv
