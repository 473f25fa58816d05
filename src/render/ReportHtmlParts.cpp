#include "render/ReportHtmlParts.h"

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// Where the body of the file table begins (just after its <tbody> tag) and ends (at its
// </tbody>); nothing when there is no such table.
std::optional<std::pair<qsizetype, qsizetype>> fileTableBody(const QString& html)
{
    qsizetype table = 0;
    while ((table = html.indexOf(u"<table"_s, table, Qt::CaseInsensitive)) >= 0) {
        const qsizetype tagEnd = html.indexOf(u'>', table);
        if (tagEnd < 0)
            return std::nullopt;
        if (QStringView(html).sliced(table, tagEnd - table).contains(u"class=\"files\""_s)) {
            const qsizetype tbody = html.indexOf(u"<tbody"_s, tagEnd, Qt::CaseInsensitive);
            const qsizetype nextTable = html.indexOf(u"<table"_s, tagEnd, Qt::CaseInsensitive);
            if (tbody < 0 || (nextTable >= 0 && nextTable < tbody))
                return std::nullopt;
            const qsizetype begin = html.indexOf(u'>', tbody);
            const qsizetype end = begin < 0 ? -1 : html.indexOf(u"</tbody>"_s, begin, Qt::CaseInsensitive);
            if (end < 0)
                return std::nullopt;
            return std::pair(begin + 1, end);
        }
        table = tagEnd;
    }
    return std::nullopt;
}

} // namespace

ReportHtmlParts ReportHtmlParts::split(const QString& html)
{
    ReportHtmlParts parts;
    const auto body = fileTableBody(html);
    if (!body) {
        parts.m_document = html;
        return parts;
    }
    const auto [begin, end] = *body;
    parts.m_hasFileTable = true;
    parts.m_document = html.first(begin) + html.sliced(end);
    const QStringView rows = QStringView(html).sliced(begin, end - begin);
    qsizetype position = 0;
    while (position < rows.size()) {
        const qsizetype open = rows.indexOf(u"<tr"_s, position, Qt::CaseInsensitive);
        if (open < 0)
            break;
        const qsizetype close = rows.indexOf(u"</tr>"_s, open, Qt::CaseInsensitive);
        const qsizetype rowEnd = close < 0 ? rows.size() : close + 5;
        parts.m_rows.append(rows.sliced(open, rowEnd - open).toString());
        position = rowEnd;
    }
    return parts;
}

} // namespace cv
