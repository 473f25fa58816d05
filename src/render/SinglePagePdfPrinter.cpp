#include "render/SinglePagePdfPrinter.h"

#include "common/Log.h"
#include "reports/PdfPageFitter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QVariantList>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <cmath>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// CSS pixels are 1/96 inch, PDF points 1/72.
constexpr double kPointsPerPixel = 0.75;

} // namespace

SinglePagePdfPrinter::SinglePagePdfPrinter(QWebEnginePage* page, QObject* parent)
    : QObject(parent), m_page(page)
{}

QSizeF SinglePagePdfPrinter::pageSizeFor(double width, double height, int attempt)
{
    // Room to spare grows with each attempt: 2 %, 8 %, 32 %, 128 % of the height, plus a few
    // points. (Print layout wraps long names a little differently from screen layout; over
    // thousands of rows that adds up to about 1 %.) Whole points, rounded up: page sizes in points
    // are whole numbers in Qt.
    const double spare = 0.02 * std::pow(4.0, attempt);
    const double widthPoints = std::ceil(std::max(width, 1.0) * kPointsPerPixel) + 1;
    const double heightPoints =
        std::ceil(std::max(height, 1.0) * kPointsPerPixel * (1 + spare)) + 8 * (attempt + 1);
    return QSizeF(widthPoints, heightPoints);
}

void SinglePagePdfPrinter::print()
{
    if (m_running)
        return;
    if (!m_page) {
        finish(QByteArray());
        return;
    }
    m_running = true;
    m_attempt = 0;
    // The whole laid-out document, read after layout; scroll sizes cover content wider or taller
    // than the view.
    const QString measure =
        u"(function() {"
        u"  var d = document.documentElement, b = document.body || d;"
        u"  return [Math.max(d.scrollWidth, b.scrollWidth, d.getBoundingClientRect().width),"
        u"          Math.max(d.scrollHeight, b.scrollHeight, d.getBoundingClientRect().height)];"
        u"})()"_s;
    m_page->runJavaScript(measure, QWebEngineScript::ApplicationWorld,
                          [this, self = QPointer(this)](const QVariant& value) {
                              if (!self)
                                  return;
                              const QVariantList size = value.toList();
                              if (size.size() != 2 || size[0].toDouble() <= 0 || size[1].toDouble() <= 0) {
                                  logLine("Report could not be measured for printing");
                                  finish(QByteArray());
                                  return;
                              }
                              m_documentWidth = size[0].toDouble();
                              m_documentHeight = size[1].toDouble();
                              printAttempt();
                          });
}

void SinglePagePdfPrinter::printAttempt()
{
    if (!m_page) {
        finish(QByteArray());
        return;
    }
    m_printedSize = pageSizeFor(m_documentWidth, m_documentHeight, m_attempt);
    const QPageLayout layout(QPageSize(m_printedSize, QPageSize::Point, QString(), QPageSize::ExactMatch),
                             QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                             QMarginsF(0, 0, 0, 0));
    m_page->printToPdf(
        [this, self = QPointer(this)](const QByteArray& pdf) {
            if (self)
                onPdf(pdf);
        },
        layout);
}

void SinglePagePdfPrinter::onPdf(const QByteArray& pdf)
{
    if (pdf.isEmpty()) {
        logLine("Report could not be printed to PDF");
        finish(QByteArray());
        return;
    }
    const int pages = PdfPageFitter::pageCount(pdf);
    if (pages > 1) {
        if (++m_attempt < kMaxAttempts) {
            printAttempt();
            return;
        }
        logMessage("Report still spans ", pages, " pages after ", kMaxAttempts, " attempts; saved as it is");
        finish(pdf);
        return;
    }
    const auto fitted = PdfPageFitter::fitToHeight(pdf);
    if (!fitted) {
        logLine("Report page could not be scaled to the PDF page size limit; saved as it is");
        finish(pdf);
        return;
    }
    finish(*fitted);
}

void SinglePagePdfPrinter::finish(const QByteArray& pdf)
{
    m_running = false;
    emit finished(pdf);
}

} // namespace cv
