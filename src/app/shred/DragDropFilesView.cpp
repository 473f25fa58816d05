#include "app/shred/DragDropFilesView.h"

#include "app/intake/DropProtocol.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace cv {

DragDropFilesView::DragDropFilesView(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

std::vector<std::string> DragDropFilesView::pathsFromUriList(const QByteArray& uriList)
{
    std::vector<std::string> paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!line.toLower().startsWith("file://"))
            continue;
        QByteArray rest = line.mid(7);
        // file:///path, or file://localhost/path; another host's file is not ours to shred.
        const qsizetype slash = rest.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray host = rest.left(slash);
        if (!host.isEmpty() && host.toLower() != "localhost")
            continue;
        rest = rest.mid(slash);
        // A query or fragment is not part of a local path ("#" and "?" in names are escaped).
        const qsizetype end = rest.indexOf('?') >= 0 ? rest.indexOf('?') : rest.indexOf('#');
        if (end >= 0)
            rest.truncate(end);
        const QByteArray bytes = QByteArray::fromPercentEncoding(rest);
        if (bytes.isEmpty() || bytes.contains('\0'))
            continue;
        paths.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return paths;
}

std::vector<std::string> DragDropFilesView::pathsFromMimeData(const QMimeData& data)
{
    if (data.hasFormat(u"text/uri-list"_s))
        return pathsFromUriList(data.data(u"text/uri-list"_s));
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

void DragDropFilesView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    update();
}

void DragDropFilesView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    setHighlighted(true);
    if (m_delegate)
        m_delegate->startDragging();
    // Only the names are taken: a copy, so that the source never removes anything because of us.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DragDropFilesView::dragLeaveEvent(QDragLeaveEvent*)
{
    setHighlighted(false);
    if (m_delegate)
        m_delegate->stopDragging();
}

void DragDropFilesView::dropEvent(QDropEvent* event)
{
    setHighlighted(false);
    const std::vector<std::string> paths = pathsFromMimeData(*event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (!m_delegate)
        return;
    if (paths.empty())
        m_delegate->stopDragging(); // nothing usable: the zone only calms down
    else
        m_delegate->droppedLocations(paths);
}

} // namespace cv
