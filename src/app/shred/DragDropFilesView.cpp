#include "app/shred/DragDropFilesView.h"

#include "app/intake/DropProtocol.h"
#include "app/intake/FileUri.h"

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
    const std::vector<std::string> paths = FileUri::pathsFromMimeData(*event->mimeData());
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
