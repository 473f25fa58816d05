#pragma once

#include <QColor>
#include <QString>

namespace cv {

// The window's colours, each named once. The brand colours (the header blue, the accent blue, the
// green of amounts, the red of failures) are the same on every desktop. The neutral ones (the
// background, the text greys, the panels and outlines) are today's light greys on a light desktop
// and come from the desktop's own palette when that is dark, so that text stays readable there.
class Palette
{
public:
    // Brand colours.
    static QColor headerBlue(); // the title bar and the splash screen
    static QColor tabBlue();    // the main menu's tab buttons
    static QColor accent();     // links, the drop zone's highlight, outlined buttons, selection
    static QColor amount();     // the green of amounts and of the progress ring
    static QColor failure();    // what went wrong
    static QColor onAccent();   // text on the blue colours

    // Neutral colours.
    static QColor background();      // the screens' plain background
    static QColor text();            // headings and main texts
    static QColor secondaryText();   // descriptions, paths, sizes
    static QColor caption();         // the small captions above values
    static QColor faintText();       // placeholders and the version line
    static QColor base();            // lists, buttons, the bottom bar, the ring's face
    static QColor alternateBase();   // every other list row
    static QColor pressed();         // an outlined button held down
    static QColor panel();           // the fill of dashed panels
    static QColor outline();         // dashed outlines
    static QColor border();          // button and ring borders
    static QColor separator();       // thin lines and list frames
    static QColor selectedSubText(); // the second line of a selected (accent) row

    // True when the desktop's palette has a dark window colour.
    static bool isDark();
    // "color: rgb(r, g, b);" for a style sheet, and "rgb(r, g, b)" for rich text.
    static QString textStyle(const QColor& color);
    static QString css(const QColor& color);
};

} // namespace cv
