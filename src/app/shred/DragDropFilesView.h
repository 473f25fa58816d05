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

    // The local paths of a text/uri-list, in order, as the bytes of the names on disk: percent
    // escapes are decoded to bytes, so a name that is not valid UTF-8 survives. Lines that are
    // comments or not file URLs of this machine are left out.
    static std::vector<std::string> pathsFromUriList(const QByteArray& uriList);
    // The local paths a drag carries (its uri-list, else its URLs).
    static std::vector<std::string> pathsFromMimeData(const QMimeData& data);

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
