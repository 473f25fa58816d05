#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class QPaintDevice;

namespace cv {

// The look of a report's file table on a page that continues it, as the web engine lays it out:
// where its header and its columns stand, and for each kind of row (its class attribute, and
// whether it stands at an odd or even position, for the table's stripes) its height with one
// line of text, its cells' fonts, colours, alignment, padding and bottom border. Read from the
// description the renderer's page script gives (JSON), so that pages drawn without the web
// engine (ReportTablePages) look like the pages it prints. Lengths are CSS pixels from the page's
// top left corner.
struct ReportTableStyle
{
    struct Cell
    {
        double left = 0;
        double width = 0;
        double padLeft = 0; // padding and border: the text's room is width less both
        double padRight = 0;
        double textTop = 0; // of the first line's glyph box, from the row's top
        Qt::Alignment align = Qt::AlignLeft;
        bool wraps = true;
        QColor color;
        QColor background; // transparent: none
        QStringList families;
        QFont::StyleHint genericFamily = QFont::SansSerif;
        double fontSize = 0; // pixels
        int weight = 400;
        bool italic = false;
        double lineHeight = 0;
        double border = 0; // the bottom border's width
        QColor borderColor;

        // The cell's font for a paint device of 96 dots per inch (a CSS pixel each).
        QFont font() const;
    };

    struct Row
    {
        double height = 0; // with one line of text
        std::vector<Cell> cells;
    };

    double headerTop = 0;
    double headerHeight = 0;
    Row header;
    QStringList headerTexts;
    double rowsTop = 0;      // where the first row begins
    double below = 0;        // from the last row's end to the page's content end
    double firstShorter = 0; // how much shorter the first row below the header is
    // By class attribute: the row at an odd position (the table's first, third...), then at an
    // even one.
    QHash<QString, std::array<Row, 2>> rows;

    // The look described by json on a page printedWidth pixels wide: a table that the view laid
    // out in its middle stays in the middle of a page wider than the view. Nothing when json
    // does not describe a table of at least one column whose rows all have as many cells.
    static std::optional<ReportTableStyle> fromJson(const QByteArray& json, double printedWidth);
};

} // namespace cv
