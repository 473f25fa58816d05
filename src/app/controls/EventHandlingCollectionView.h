#pragma once

#include <QListView>

namespace cv {

// A grid view whose Return and Enter keys act for the screen's default button (defaultKeyPressed)
// instead of moving through the items; every other key works as in any item view.
class EventHandlingCollectionView : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

signals:
    void defaultKeyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace cv
