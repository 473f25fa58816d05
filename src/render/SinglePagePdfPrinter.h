#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSizeF>

class QWebEnginePage;

namespace cv {

// Prints the document loaded in a web page as one single PDF page as wide as the laid-out
// document and as tall as it, backgrounds included, rather than split into printer pages. The
// page is measured after layout and printed a little taller than measured (print layout can come
// out a fraction taller than screen layout); should the output still spill onto a second page it
// is printed again with more room. A page taller than PDF readers accept (200 inches) is scaled
// down uniformly to that height, so every row stays on the one page.
//
// Used by the report renderer (cindervault-render) for saved reports.
class SinglePagePdfPrinter : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxAttempts = 4;

    explicit SinglePagePdfPrinter(QWebEnginePage* page, QObject* parent = nullptr);

    // Starts printing the page's current document; finished follows once.
    void print();

    // The page size of the last attempt, in points, before any scaling down.
    QSizeF printedSize() const { return m_printedSize; }

    // The page size in points for a document of width x height CSS pixels, attempt 0, 1, ...
    static QSizeF pageSizeFor(double width, double height, int attempt);

signals:
    // The PDF file's bytes; empty when printing failed (logged).
    void finished(const QByteArray& pdf);

private:
    void printAttempt();
    void onPdf(const QByteArray& pdf);
    void finish(const QByteArray& pdf);

    QPointer<QWebEnginePage> m_page;
    double m_documentWidth = 0;
    double m_documentHeight = 0;
    int m_attempt = 0;
    QSizeF m_printedSize;
    bool m_running = false;
};

} // namespace cv
