#pragma once

#include <QObject>

class QWidget;

namespace cv {

// Escape and the desktop's Close key (Ctrl+W) close a secondary window (the settings, a report):
// as shortcuts of that window, and as keys that reach the window unhandled by the control that has
// the focus.
class ClosingKeys : public QObject
{
    Q_OBJECT

public:
    // The keys close window from now on; the object goes with the window.
    static void install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ClosingKeys(QWidget* window);

    QWidget* m_window;
};

} // namespace cv
