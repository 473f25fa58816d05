#pragma once

#include <QPointer>
#include <QWidget>

namespace cv {

// A host whose content is one screen at a time: replace() takes the current screen out (it is
// deleted) and puts the next one in, filling the host. The shred tab is such a host: the shred
// screen, the progress screen and the next shred screen follow each other in it, as the window
// says.
class ReplaceViewController : public QWidget
{
    Q_OBJECT

public:
    explicit ReplaceViewController(QWidget* parent = nullptr);

    // The screen shown now, or null.
    QWidget* current() const { return m_current; }
    // The view that holds the current screen.
    QWidget* container() { return this; }

    // Replaces the current screen with destination, which the host then owns.
    void replace(QWidget* destination);

signals:
    void replaced(QWidget* current);

private:
    QPointer<QWidget> m_current;
};

} // namespace cv
