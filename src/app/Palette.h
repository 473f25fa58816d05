#pragma once

#include <QColor>
#include <QString>

namespace cv {

// The window's colours, each named once. The brand colours (the header blue, the accent blue, the
// green of amounts, the red of failures) keep their hue on every desktop; the neutral ones (the
// background, the text greys, the panels and outlines) are mixed from the desktop's palette roles.
// Every colour that text or an outline is drawn in is then moved away from the surfaces it is
// drawn on until it reaches the contrast WCAG AA asks for (4.5:1 for text, 3:1 for the outlines
// of controls), in a light palette and a dark one alike.
class Palette
{
public:
    // Brand colours.
    static QColor headerBlue();    // the title bar and the splash screen
    static QColor tabBlue();       // the main menu's tab buttons
    static QColor activeTab();     // the tab shown: the tab blue a shade darker
    static QColor accent();        // links, the drop zone's highlight, outlined buttons' text
    static QColor accentFill();    // filled buttons and selected rows, under onAccent() text
    static QColor amount();        // the green of amounts
    static QColor amountGraphic(); // the progress ring: the same green, as an outline needs it (3:1)
    static QColor failure();       // what went wrong
    static QColor onAccent();      // text on the blue colours

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

    // The temporary-data categories: a chosen one is filled with tabBlue(); one not chosen has
    // this border on base() and its title in categoryTitle().
    static QColor categoryBorder();
    static QColor categoryTitle();
    // The least contrast of text and of control outlines with what lies behind them (WCAG AA).
    static constexpr double kTextContrast = 4.5;
    static constexpr double kOutlineContrast = 3.0;
    // WCAG's contrast ratio of two opaque colours, from 1 (the same) to 21 (black on white).
    static double contrast(const QColor& first, const QColor& second);
    // color, darkened or lightened (away from against) just enough to reach ratio with against.
    static QColor readable(const QColor& color, const QColor& against, double ratio = kTextContrast);
    // color made readable on every surface of the screens: background(), base(),
    // alternateBase() and panel(). For a brand colour used as text, or as an outline (ratio 3).
    static QColor onSurface(const QColor& color, double ratio = kTextContrast);
    // A colour between two others: share 0 gives from, 1 gives to.
    static QColor mix(const QColor& from, const QColor& to, double share);
    // True when the desktop's palette has a dark window colour.
    static bool isDark();
    // "color: rgb(r, g, b);" for a style sheet, and "rgb(r, g, b)" for rich text.
    static QString textStyle(const QColor& color);
    static QString css(const QColor& color);
};

} // namespace cv
