#pragma once

#include <QString>
#include <QStringList>

namespace cv {

// A deletion report's HTML taken apart for laying out page by page: the document with the body of
// its file table (the table of class "files") emptied, and that body's rows one by one. The
// renderer loads the small document once and puts a page's worth of rows into it at a time, so
// that the web engine never holds the whole table of a large job.
//
// The split works on the text: every value a report prints is HTML-escaped, so tags in the text
// are the template's own and a row ends at its first "</tr>". A document without such a table
// (or with an unclosed one) stays whole, with no rows.
class ReportHtmlParts
{
public:
    static ReportHtmlParts split(const QString& html);

    // The document with an empty file table; the whole text when it has none.
    const QString& document() const { return m_document; }
    // The file table's rows, each "<tr ...>...</tr>", in order.
    const QStringList& rows() const { return m_rows; }
    bool hasFileTable() const { return m_hasFileTable; }

private:
    QString m_document;
    QStringList m_rows;
    bool m_hasFileTable = false;
};

} // namespace cv
