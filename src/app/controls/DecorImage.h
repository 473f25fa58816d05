#pragma once

#include <QIcon>
#include <QWidget>

namespace cv {

// A picture that can be moved, turned and grown about its centre by property animations (the
// drop zone's pictures wobble while something is dragged over it). The widget leaves room for the
// motion: the picture is drawn at iconSize in its middle.
class DecorImage : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal offsetY READ offsetY WRITE setOffsetY)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation)
    Q_PROPERTY(qreal scale READ scale WRITE setScale)

public:
    DecorImage(const QIcon& icon, QSize iconSize, QWidget* parent = nullptr);

    void setIcon(const QIcon& icon);
    qreal offsetY() const { return m_offsetY; }
    void setOffsetY(qreal offset);
    // Degrees, clockwise.
    qreal rotation() const { return m_rotation; }
    void setRotation(qreal degrees);
    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    // Back to rest.
    void reset();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icon;
    QSize m_iconSize;
    qreal m_offsetY = 0;
    qreal m_rotation = 0;
    qreal m_scale = 1;
};

} // namespace cv
