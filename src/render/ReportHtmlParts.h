#pragma once

#include "render/PdfPageJoiner.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace cv {

// A deletion report's HTML (UTF-8) taken apart for laying out page by page: the document with the
// body of its file table (the table of class "files") emptied, and that body's rows. The renderer
// loads the small document once and puts a few pages' worth of rows into it at a time, so that the
// web engine never holds the whole table of a large job. The rows stay where they are in the
// report's text: only where each begins and ends is kept.
//
// The split works on the text: every value a report prints is HTML-escaped, so tags in the text
// are the template's own (written in lower case) and a row ends at its first "</tr>". A document without such
// a table (or with an unclosed one) stays whole, with no rows.
class ReportHtmlParts
{
public:
    static ReportHtmlParts split(QByteArray html);
    // The PDF's document information from the head of a report: its <title>, and the content of
    // its <meta> elements named "subject" and "generator" (the creator), with the template's
    // character references decoded.
    static PdfDocumentInfo documentInfo(QByteArrayView html);

    // A row as a reader sees it: the value of its class attribute and the text of its cells.
    struct PlainRow
    {
        QString rowClass;
        QStringList cells;
    };
    // The row when it is plain, as the report writes its file rows: "<tr>" or "<tr class=\"...\">",
    // then only "<td>" cells without attributes that hold text alone (no elements), with the
    // character references decoded and white space collapsed as a browser shows it; nothing
    // otherwise (a cell spanning columns, markup in a cell).
    static std::optional<PlainRow> plainRow(QByteArrayView row);

    // The report's whole text.
    const QByteArray& html() const { return m_html; }
    // The document with an empty file table; the whole text when it has none.
    const QByteArray& document() const { return m_document; }
    bool hasFileTable() const { return m_hasFileTable; }
    qsizetype rowCount() const { return static_cast<qsizetype>(m_rows.size()); }
    // The text of count rows from row first on ("<tr ...>...</tr>" each, as they stand in the
    // report, with whatever stands between them).
    QByteArrayView rows(qsizetype first, qsizetype count) const;
    // The values of the rows' class attributes (decoded; "" for none), each once, in the order
    // they first appear; at most limit of them.
    QStringList rowClasses(qsizetype limit) const;

private:
    QByteArray m_html;
    QByteArray m_document;
    std::vector<std::pair<qsizetype, qsizetype>> m_rows; // where each row begins and ends in m_html
    bool m_hasFileTable = false;
};

} // namespace cv
