#pragma once

#include <QWidget>

namespace cv {

// The drop zone's background: a light rounded panel with a dashed outline, blue while something
// is dragged over it.
class DragAndDropBGView : public QWidget
{
    Q_OBJECT

public:
    explicit DragAndDropBGView(QWidget* parent = nullptr);

    bool highlight() const { return m_highlight; }
    void setHighlight(bool highlight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_highlight = false;
};

} // namespace cv
