#pragma once

#include <QColor>
#include <QPushButton>

namespace cv {

// A pill-shaped push button: a rounded fill with a centred title in its own colour. The title drops
// a point while the button is held, as the pressed image of the pill does.
class PillButton : public QPushButton
{
    Q_OBJECT

public:
    enum class Style
    {
        Filled,  // coloured fill, white title (the main action of a screen)
        Outlined // white fill, grey outline, coloured title (secondary actions)
    };

    explicit PillButton(const QString& title, Style style = Style::Filled, QWidget* parent = nullptr);

    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor& color);
    // True while the button is held down.
    bool hover() const { return m_hover; }
    // Back to the look of a button that is not held.
    void setToDefault();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Style m_style;
    QColor m_textColor;
    QColor m_fillColor;
    bool m_hover = false;
};

} // namespace cv
