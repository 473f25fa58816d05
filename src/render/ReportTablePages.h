#pragma once

#include "render/ReportHtmlParts.h"
#include "render/ReportTableStyle.h"

#include <QByteArray>
#include <QSizeF>

#include <atomic>
#include <functional>
#include <vector>

namespace cv {

// Draws pages that continue a report's file table with QPainter into a PDF of its own, in the
// look the web engine gives them (ReportTableStyle): the table's header at the top of each page,
// then as many whole rows as fit the page's budget, in the rows' stripes and colours, each row's
// text as text. Printing a table page through the web engine costs about a millisecond a row;
// drawing it costs a few microseconds, so a report of many thousands of rows prints its first
// page and its last one through the web engine and the pages between them here.
//
// The calling thread reads the rows one at a time and lays them out into pages; two threads draw
// the pages, a batch of a few into a PDF of their own each, while it goes on. Memory holds the
// rows of a few batches, whatever the table's length. Laying out stops before a row that is not
// plain (ReportHtmlParts::plainRow) or of a kind the style does not know, and leaves the rows of a
// page it has not filled: the web engine prints those with what follows them.
class ReportTablePages
{
public:
    struct Drawn
    {
        std::vector<QByteArray> pdfs; // the pages in order, a few in each; none when none was drawn
        qsizetype rows = 0;           // the rows the pages hold, from the first one asked for
        int pages = 0;
    };

    // pageSize in points; budget: the tallest a page's content may be, in CSS pixels.
    ReportTablePages(ReportTableStyle style, QSizeF pageSize, double budget);

    // Draws full pages of the rows of parts from row first on; pageDrawn is told each page drawn
    // (from the drawing threads, one call at a time). Stops early, with the pages laid out so far,
    // once stop is set. Nothing is drawn when a page cannot be painted.
    Drawn draw(const ReportHtmlParts& parts, qsizetype first, const std::atomic<bool>& stop,
               const std::function<void(int pages)>& pageDrawn) const;

private:
    ReportTableStyle m_style;
    QSizeF m_pageSize;
    double m_budget;
};

} // namespace cv
