#pragma once

#include <QByteArray>
#include <QSizeF>

#include <optional>

namespace cv {

// Small surgery on the single-page PDF files the web engine writes: count pages, read the page
// size, and scale a page that is taller than PDF readers accept down to fit, by an incremental
// update (a new version of the page object whose content is wrapped in a scaling transform, a new
// cross-reference section and trailer appended; the original bytes stay as they are).
//
// It understands files with a classic cross-reference table and uncompressed page objects, as
// Chromium's PDF writer makes them; anything else is left alone (nothing is returned).
class PdfPageFitter
{
public:
    // The largest page side common readers accept: 14,400 units of 1/72 inch, 200 inches.
    static constexpr double kMaxPageSide = 14400.0;

    // The number of page objects in the file.
    static int pageCount(const QByteArray& pdf);
    // Width and height of the first page's media box in points.
    static std::optional<QSizeF> pageSize(const QByteArray& pdf);

    // The file with its one page no taller than maxHeight: unchanged when it fits already, else
    // scaled down uniformly (width and height) to exactly maxHeight. Nothing when the file has not
    // exactly one page or is not in the form described above.
    static std::optional<QByteArray> fitToHeight(const QByteArray& pdf, double maxHeight = kMaxPageSide);
};

} // namespace cv
