#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QMimeData;

namespace cv {

class DropProtocol;

// The drop zone: takes file and folder drags and hands their paths, as bytes, to its delegate.
class DragDropFilesView : public QWidget
{
    Q_OBJECT

public:
    explicit DragDropFilesView(QWidget* parent = nullptr);

    DropProtocol* delegate() const { return m_delegate; }
    void setDelegate(DropProtocol* delegate) { m_delegate = delegate; }
    bool highlighted() const { return m_highlighted; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setHighlighted(bool highlighted);

    DropProtocol* m_delegate = nullptr;
    bool m_highlighted = false;
};

} // namespace cv
