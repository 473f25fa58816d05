#include "render/ReportHtmlParts.h"

#include <QHash>
#include <QRegularExpression>

#include <optional>

using namespace Qt::StringLiterals;

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

// Text as the reader sees it: the character references a report's values are escaped with
// (named ones of markup, decimal and hexadecimal ones) decoded.
QString decodeReferences(const QString& text)
{
    static const QRegularExpression reference(u"&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|lt|gt|quot|apos);"_s);
    QString out;
    qsizetype from = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).sliced(from, match.capturedStart() - from);
        const QString name = match.captured(1);
        if (name.startsWith(u'#')) {
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            bool ok = false;
            const char32_t code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && QChar::isPrint(code))
                out += QString::fromUcs4(&code, 1);
        } else {
            static const QHash<QString, QChar> named{
                {u"amp"_s, u'&'}, {u"lt"_s, u'<'}, {u"gt"_s, u'>'}, {u"quot"_s, u'"'}, {u"apos"_s, u'\''}};
            out += named.value(name);
        }
        from = match.capturedEnd();
    }
    out += QStringView(text).sliced(from);
    return out;
}

// Runs of HTML white space as one blank, none at either end: the text a cell shows.
QString collapseWhiteSpace(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c;
    }
    return out;
}

// The class attribute's value of a row's start tag ("<tr>" or "<tr class=\"...\">"), and where the
// tag ends; nothing for any other start tag.
std::optional<std::pair<QString, qsizetype>> rowStartTag(QByteArrayView row)
{
    if (row.startsWith("<tr>"))
        return std::pair(QString(), qsizetype(4));
    constexpr QByteArrayView kClassed = "<tr class=\"";
    if (!row.startsWith(kClassed))
        return std::nullopt;
    const qsizetype quote = row.indexOf('"', kClassed.size());
    if (quote < 0 || row.sliced(quote).size() < 2 || row[quote + 1] != '>')
        return std::nullopt;
    const QByteArrayView value = row.sliced(kClassed.size(), quote - kClassed.size());
    if (value.contains('<'))
        return std::nullopt;
    return std::pair(decodeReferences(QString::fromUtf8(value)), quote + 2);
}

} // namespace

std::optional<ReportHtmlParts::PlainRow> ReportHtmlParts::plainRow(QByteArrayView row)
{
    const auto start = rowStartTag(row);
    if (!start)
        return std::nullopt;
    PlainRow plain{start->first, {}};
    qsizetype position = start->second;
    while (true) {
        while (position < row.size() && QChar::isSpace(static_cast<unsigned char>(row[position])))
            ++position;
        const QByteArrayView rest = row.sliced(position);
        if (rest == "</tr>")
            return plain;
        if (!rest.startsWith("<td>"))
            return std::nullopt;
        const qsizetype end = rest.indexOf("</td>");
        if (end < 0)
            return std::nullopt;
        const QByteArrayView text = rest.sliced(4, end - 4);
        if (text.contains('<'))
            return std::nullopt;
        const QString cell = QString::fromUtf8(text);
        plain.cells.append(collapseWhiteSpace(text.contains('&') ? decodeReferences(cell) : cell));
        position += end + 5;
    }
}

PdfDocumentInfo ReportHtmlParts::documentInfo(QByteArrayView html)
{
    // Only the head: the report's rows never name its document.
    const qsizetype body = html.indexOf("<body");
    const QString head = QString::fromUtf8(body < 0 ? html : html.first(body));
    static const QRegularExpression title(u"<title>(.*?)</title>"_s,
                                          QRegularExpression::DotMatchesEverythingOption);
    const auto meta = [&](const QString& name) {
        const QRegularExpression element(u"<meta name=\"%1\" content=\"([^\"]*)\">"_s.arg(name));
        return decodeReferences(element.match(head).captured(1));
    };
    return {decodeReferences(title.match(head).captured(1)), meta(u"subject"_s), meta(u"generator"_s)};
}

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

QStringList ReportHtmlParts::rowClasses(qsizetype limit) const
{
    QStringList classes;
    for (const auto& [begin, end] : m_rows) {
        const auto start = rowStartTag(QByteArrayView(m_html).sliced(begin, end - begin));
        if (!start || classes.contains(start->first))
            continue;
        if (classes.size() >= limit)
            break;
        classes.append(start->first);
    }
    return classes;
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
