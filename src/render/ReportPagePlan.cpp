#include "render/ReportPagePlan.h"

#include <algorithm>

namespace cv {

ReportPagePlan::ReportPagePlan(Measures measures, double budget, double singlePage)
    : m_measures(std::move(measures))
{
    const auto count = static_cast<qsizetype>(m_measures.bottoms.size());
    const bool ends = m_measures.endsReport;
    if (m_measures.startsReport && ends && height(0, count, true) <= singlePage) {
        m_pages.push_back({0, count, true});
        return;
    }
    qsizetype from = 0;
    while (from < count) {
        qsizetype to = from;
        while (to < count && height(from, to + 1, false) <= budget)
            ++to;
        // A row taller than a page gets a page of its own all the same.
        to = std::max(to, from + 1);
        if (to < count) {
            m_pages.push_back({from, to, false});
            from = to;
            continue;
        }
        // The rest of the rows fit on this page.
        if (!ends)
            return; // the next chunk begins with them
        if (height(from, count, true) <= budget || count - from < 2) {
            m_pages.push_back({from, count, height(from, count, true) <= budget});
            if (!m_pages.back().endsReport)
                m_pages.push_back({count, count, true}); // a row and the end too tall for a page
        } else {
            // The report's end does not fit below them: the last row goes with it, so that no
            // page holds the end alone.
            m_pages.push_back({from, count - 1, false});
            m_pages.push_back({count - 1, count, true});
        }
        return;
    }
    if (ends)
        m_pages.push_back({count, count, true}); // no rows at all: the table's header and the end
}

double ReportPagePlan::height(qsizetype from, qsizetype to, bool withEnd) const
{
    const auto& bottoms = m_measures.bottoms;
    const double top = from == 0 ? m_measures.rowsTop : m_measures.continuationTop;
    const double rowsStart = from == 0 ? m_measures.rowsTop : bottoms[static_cast<std::size_t>(from - 1)];
    const double rows = to > from ? bottoms[static_cast<std::size_t>(to - 1)] - rowsStart : 0;
    return top + rows + (withEnd ? m_measures.belowWithEnd : m_measures.below);
}

double ReportPagePlan::contentHeight(const Page& page) const
{
    return height(page.from, page.to, page.endsReport);
}

void ReportPagePlan::moveRowsDown(std::size_t index, qsizetype count)
{
    if (index >= m_pages.size())
        return;
    Page& page = m_pages[index];
    count = std::min(count, page.to - page.from - 1);
    if (count <= 0)
        return;
    const qsizetype moved = page.to - count;
    if (index + 1 < m_pages.size()) {
        page.to = moved;
        m_pages[index + 1].from = moved;
        return;
    }
    m_pages.push_back({moved, page.to, page.endsReport});
    m_pages[index].to = moved;
    m_pages[index].endsReport = false;
}

} // namespace cv
