#pragma once

#include <QColor>
#include <QWidget>

namespace cv {

// A ring that fills clockwise from the top with the progress (0 to 1), with the percentage in its
// middle; at exactly 1 the text is left out, since the progress screen shows its check mark there.
class CircleProgressBar : public QWidget
{
    Q_OBJECT

public:
    explicit CircleProgressBar(QWidget* parent = nullptr);

    float progress() const { return m_progress; }
    // A value that is not a number is stored as 0; others are stored as given (infinite and values
    // above 1 draw a full ring).
    void setProgress(float progress);
    // The ring's colour: the amount's green by default; a job that ended with errors shows its
    // warning sign in the failure colour instead.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // The percentage text for the current progress, as drawn ("42.00\n%"); empty at 1.
    QString percentageText() const;

    QSize sizeHint() const override { return {220, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_progress = 0;
    QColor m_color;
};

} // namespace cv
