#pragma once

#include <QTimer>
#include <QWidget>

namespace cv {

// The spinning busy indicator shown while a selection is scanned; hidden while it is stopped.
class BusyIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    void startAnimation();
    void stopAnimation();
    // Starts or stops the animation as busy says (shown while it runs).
    void setAnimating(bool busy) { busy ? startAnimation() : stopAnimation(); }
    bool isAnimating() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {32, 32}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};

} // namespace cv
