#include "app/controls/EventHandlingCollectionView.h"

#include <QKeyEvent>

namespace cv {

void EventHandlingCollectionView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit defaultKeyPressed();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace cv
