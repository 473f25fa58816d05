#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QTemporaryFile;

namespace cv {

class PagedPdfPrinter;

// Turns a report's HTML file into PDF: one single page while the report fits on one, else pages
// of the same width broken between the rows of its file table (PagedPdfPrinter). The file table's
// rows are taken out of the text (ReportHtmlParts) and put into the laid-out report a few pages'
// worth at a time. Needs a QApplication (offscreen platform where there is no display). This is
// the work of the report renderer program, which runs it in a process of its own: the web engine
// may abort the process it runs in.
class HtmlPdfRenderer : public QObject
{
    Q_OBJECT

public:
    explicit HtmlPdfRenderer(QObject* parent = nullptr);
    ~HtmlPdfRenderer() override;

    // Reads the HTML file at path and prints it; finished follows once.
    void render(const QString& path);

signals:
    // A page has been printed; pages is the count so far.
    void pagePrinted(int pages);
    // The PDF file's bytes, or empty with the reason in error.
    void finished(const QByteArray& pdf, const QString& error);

private:
    void finish(const QByteArray& pdf, const QString& error);

    PagedPdfPrinter* m_printer;                 // child of this
    std::unique_ptr<QTemporaryFile> m_document; // the report without its rows, when too large to load inline
    bool m_running = false;
};

} // namespace cv
