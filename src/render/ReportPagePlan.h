#pragma once

#include <QtGlobal>

#include <vector>

namespace cv {

// Where the pages of a report break, planned from one chunk of its file table's rows as laid out
// on screen: every page holds as many whole rows as fit within the page budget, a page that is not
// the report's first starts with the table's header, and the report's end stands on its last page
// together with at least its last row. A chunk that does not reach the report's last row ends with
// its last full page; the rows after it begin the next chunk. Lengths are CSS pixels.
class ReportPagePlan
{
public:
    // One chunk of rows as measured with the report's head shown above them when they start the
    // report (hidden otherwise) and its end hidden.
    struct Measures
    {
        double rowsTop = 0;          // where the first row begins
        double continuationTop = 0;  // where the first row begins on a page that continues the table
        std::vector<double> bottoms; // where each row ends
        double below = 0;            // from the last row's end to the document's end
        double belowWithEnd = 0;     // the same with the report's end shown (when endsReport)
        bool startsReport = false;   // the first row is the report's first, below the report's head
        bool endsReport = false;     // the last row is the report's last, above the report's end
    };

    // Rows [from, to) of the chunk; endsReport: the report's end follows them.
    struct Page
    {
        qsizetype from = 0;
        qsizetype to = 0;
        bool endsReport = false;
    };

    // budget: the tallest content a page may have. singlePage: the tallest a report may be to
    // stand on one single page (the room the budget leaves for print layout is spent on keeping
    // a report that fits at all on one page).
    ReportPagePlan(Measures measures, double budget, double singlePage);

    const std::vector<Page>& pages() const { return m_pages; }
    // The rows the pages hold, from the chunk's first; the rest begin the next chunk.
    qsizetype rowsTaken() const { return m_pages.empty() ? 0 : m_pages.back().to; }
    // The chunk holds less than one page of rows, and more follow: it must be measured with more.
    bool needsMoreRows() const { return m_pages.empty(); }
    bool endsReport() const { return !m_pages.empty() && m_pages.back().endsReport; }
    // The height of a page's content as measured.
    double contentHeight(const Page& page) const;

    // Moves the last count rows of page index onto the page after it (a new last page when it is
    // the last, which then takes the report's end): for a page that came out taller in print
    // than measured. At least one row stays.
    void moveRowsDown(std::size_t index, qsizetype count);

private:
    double height(qsizetype from, qsizetype to, bool withEnd) const;

    Measures m_measures;
    std::vector<Page> m_pages;
};

} // namespace cv
