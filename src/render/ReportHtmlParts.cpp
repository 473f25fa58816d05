#include "render/ReportHtmlParts.h"

#include <optional>

namespace cv {

namespace {

// Where the body of the file table begins (just after its <tbody> tag) and ends (at its
// </tbody>); nothing when there is no such table.
std::optional<std::pair<qsizetype, qsizetype>> fileTableBody(QByteArrayView html)
{
    qsizetype table = 0;
    while ((table = html.indexOf("<table", table)) >= 0) {
        const qsizetype tagEnd = html.indexOf('>', table);
        if (tagEnd < 0)
            return std::nullopt;
        if (html.sliced(table, tagEnd - table).contains("class=\"files\"")) {
            const qsizetype tbody = html.indexOf("<tbody", tagEnd);
            const qsizetype nextTable = html.indexOf("<table", tagEnd);
            if (tbody < 0 || (nextTable >= 0 && nextTable < tbody))
                return std::nullopt;
            const qsizetype begin = html.indexOf('>', tbody);
            const qsizetype end = begin < 0 ? -1 : html.indexOf("</tbody>", begin);
            if (end < 0)
                return std::nullopt;
            return std::pair(begin + 1, end);
        }
        table = tagEnd;
    }
    return std::nullopt;
}

} // namespace

ReportHtmlParts ReportHtmlParts::split(QByteArray html)
{
    ReportHtmlParts parts;
    parts.m_html = std::move(html);
    const QByteArrayView text(parts.m_html);
    const auto body = fileTableBody(text);
    if (!body) {
        parts.m_document = parts.m_html;
        return parts;
    }
    const auto [begin, end] = *body;
    parts.m_hasFileTable = true;
    parts.m_document = parts.m_html.first(begin) + parts.m_html.sliced(end);
    qsizetype position = begin;
    while (position < end) {
        const qsizetype open = text.indexOf("<tr", position);
        if (open < 0 || open >= end)
            break;
        const qsizetype close = text.indexOf("</tr>", open);
        const qsizetype rowEnd = close < 0 || close >= end ? end : close + 5;
        parts.m_rows.emplace_back(open, rowEnd);
        position = rowEnd;
    }
    return parts;
}

QByteArrayView ReportHtmlParts::rows(qsizetype first, qsizetype count) const
{
    if (count <= 0 || first < 0 || first + count > rowCount())
        return {};
    const qsizetype begin = m_rows[static_cast<std::size_t>(first)].first;
    const qsizetype end = m_rows[static_cast<std::size_t>(first + count - 1)].second;
    return QByteArrayView(m_html).sliced(begin, end - begin);
}

} // namespace cv
