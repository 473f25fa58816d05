#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace cv {

// A plain background: a linear gradient between two colours at an angle (degrees, counter-clockwise
// from the x axis, 90 running from the bottom up), or a flat fill when both colours are the same.
class ColorGradientView : public QWidget
{
    Q_OBJECT

public:
    explicit ColorGradientView(QWidget* parent = nullptr);
    // A background filling screen (and growing with it), on which the screen lays out its content.
    static ColorGradientView* fill(QWidget* screen);

    QColor startingColor() const { return m_startingColor; }
    void setStartingColor(const QColor& color);
    std::optional<QColor> endingColor() const { return m_endingColor; }
    void setEndingColor(std::optional<QColor> color);
    int angle() const { return m_angle; }
    void setAngle(int degrees);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_startingColor;
    std::optional<QColor> m_endingColor;
    int m_angle = 90;
};

} // namespace cv
