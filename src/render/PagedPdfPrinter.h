#pragma once

#include "render/ReportHtmlParts.h"
#include "render/ReportPagePlan.h"
#include "render/ReportTablePages.h"
#include "render/ReportTableStyle.h"

#include <QByteArray>
#include <QObject>
#include <QSizeF>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace cv {

class ReportPrintView;

// Prints a report as PDF pages as wide as the laid-out report: the whole report on one single
// page while it fits within the largest page PDF readers accept (14,400 points, 200 inches), else
// on as many pages of that width as it takes, none taller, with the text at its full size.
//
// The report is loaded with an empty file table (ReportHtmlParts) and its rows are put into it a
// chunk of a few pages' worth at a time: the chunk is laid out on screen and measured, its page
// breaks are planned between rows (ReportPagePlan), and each page is printed on its own with
// only its rows shown, the table's header above them, the report's head on the first page only
// and its end on the last. So a row is never cut, and the web engine never holds more than one
// chunk of a table of any size. The chunks are measured one after the other (each begins where
// the last one's pages end) and printed by two web views, each with a renderer process of its
// own, side by side. The pages are joined with libqpdf (PdfPageJoiner). Pages are of the largest
// height but the last, which is as tall as its content; a page that comes out taller in print
// than on screen gives rows to the next one.
//
// The web engine costs about a millisecond to print a row. So once the look of a page that
// continues the table is known (ReportTableStyle, read from the laid-out report when it is
// loaded), the full pages after the first chunk's pages are drawn without it (ReportTablePages)
// on a worker thread while the first chunk prints; the web engine then measures and prints the
// rows of the page they leave unfilled with the report's end. Rows that cannot be drawn so (not
// plain, ReportHtmlParts::plainRow) are measured and printed by the web engine.
//
// A document without a file table (and so without rows) is printed as it stands: on one page, or
// if too tall for one on pages of the largest height, broken where the web engine breaks them.
class PagedPdfPrinter : public QObject
{
    Q_OBJECT

public:
    // The largest page side common readers accept: 14,400 units of 1/72 inch.
    static constexpr double kMaxPageHeight = 14400.0;
    // Web views printing side by side (each a renderer process of some 150 MB).
    static constexpr std::size_t kMaxViews = 2;

    // What to load: html with the URL that relative references resolve against, or when html is
    // null the file at url.
    struct Document
    {
        QString html;
        QUrl url;
    };

    explicit PagedPdfPrinter(QObject* parent = nullptr);
    ~PagedPdfPrinter() override;

    // The document information the printed PDF carries (title, subject, creator).
    void setDocumentInfo(PdfDocumentInfo info) { m_info = std::move(info); }
    // Loads document and prints it with the rows of parts put into its file table; finished
    // follows once.
    void print(Document document, ReportHtmlParts parts);

    // The size in points of the page printed for content of width x height CSS pixels at the
    // given attempt (each leaves more room below the content, as print layout can come out a
    // little taller than screen layout), never taller than kMaxPageHeight.
    static QSizeF pageSizeFor(double width, double height, int attempt);

signals:
    // A page has been printed (whole documents: once); pages is the count so far.
    void pagePrinted(int pages);
    // The PDF file's bytes, or empty with the reason in error.
    void finished(const QByteArray& pdf, const QString& error);

private:
    struct View;
    struct Chunk
    {
        qsizetype start = 0; // the report's row index of the chunk's first row
        std::optional<ReportPagePlan> plan;
        std::vector<QByteArray> pages; // printed, in order
    };

    void addView();
    void loaded(View& view, bool ok);
    void prepared(View& view, const QVariantList& values);
    void schedule();
    void measure(View& view, std::size_t chunk, qsizetype count);
    void measured(View& view, std::size_t chunk, const QVariantList& values);
    // Draws the full pages from m_nextStart on without the web engine, on a worker thread.
    void drawTable(double width);
    void tableDrawn(const ReportTablePages::Drawn& drawn, qsizetype from);
    // Stops the worker drawing pages, if any, and waits for it.
    void stopTable();
    void showPage(View& view);
    void printPage(View& view);
    void printed(View& view, const QByteArray& pdf);
    void printWhole(View& view, double height);
    // The pages of a PDF the web engine printed; nothing (the printing failed, or was given up
    // already) when it printed nothing readable.
    std::optional<int> printedPageCount(const QByteArray& pdf);
    void finishJoined(std::vector<QByteArray> pages);
    void fail(const QString& why);

    Document m_document;
    PdfDocumentInfo m_info;
    ReportHtmlParts m_parts;
    std::vector<std::unique_ptr<View>> m_views;
    std::optional<ReportTableStyle> m_tableStyle; // the look of table pages, once known
    std::unique_ptr<QThread> m_tableThread;
    std::shared_ptr<std::atomic<bool>> m_stopTable;
    std::vector<Chunk> m_chunks;
    qsizetype m_nextStart = 0;  // where the next chunk begins, once no chunk is being measured
    qsizetype m_candidates = 0; // the rows the next chunk is measured with
    bool m_measuring = false;   // a chunk is being measured: m_nextStart is not known yet
    bool m_planned = false;     // every page of the report is planned
    int m_printedPages = 0;
    bool m_running = false;
};

} // namespace cv
