#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace cv {

// Keeps the program's windows and dialogs inside the screen they are on: the whole window, its
// frame (title bar and borders) included, lies in the screen's available area (the screen less
// the desktop's panels), at any scale. A window whose start size does not fit there is made
// smaller, and one placed (or remembered) partly off the screen is moved back.
//
// The window manager tells the frame only once a window is mapped; until then a generous estimate
// of a title bar stands in, and the window is fitted again when the real frame is known.
class ScreenFit : public QObject
{
    Q_OBJECT

public:
    // The title bar and borders assumed while the window manager has not framed a window yet.
    static constexpr QMargins kEstimatedFrame{4, 36, 4, 4};

    // The available area of the screen the window is on (the primary one before it is placed).
    static QRect availableArea(const QWidget* window);
    // The window's frame as the window manager draws it, or the estimate while it is unknown.
    static QMargins frameMargins(const QWidget* window);
    // The largest inside (client) size whose frame fits the available area.
    static QSize room(const QWidget* window);
    // Where the window's frame goes so that it lies in area: frame is the frame's wanted place,
    // moved (and its size cut) into area.
    static QRect keptInside(const QRect& frame, const QRect& area);

    // Gives window the inside size wanted where it fits, else the largest that fits, and moves its
    // frame into the available area: centred when centred is true, else kept where it is as far
    // as it fits. Done again when the window is shown and once it is framed (with install()).
    static void fit(QWidget* window, QSize wanted, bool centred);
    // Makes window at most as large as fits and moves it inside, keeping its size and place where
    // they fit.
    static void keepInside(QWidget* window);

    // content in a frameless scroll area that gives it at least its minimum size: a screen in a
    // window made smaller than its layout scrolls rather than being cut off or squeezed.
    static QScrollArea* scrollable(QWidget* content);

    // Watches every window and dialog of the application: each is kept inside its screen when it
    // is shown, and again once the window manager has framed it.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;

    // What fit() asked for, until the window is framed.
    static constexpr const char* kWantedProperty = "cindervaultFitWanted";
    static constexpr const char* kCentredProperty = "cindervaultFitCentred";

    static void place(QWidget* window, QSize wanted, bool centred);
    // On showing: what fit() asked for, with the frame known now (framed: the window manager's
    // own, after which the window is the user's), else only kept inside.
    static void fitAgain(QWidget* window, bool framed);
};

} // namespace cv
