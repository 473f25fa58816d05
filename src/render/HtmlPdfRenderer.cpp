#include "render/HtmlPdfRenderer.h"

#include "common/Log.h"
#include "render/PagedPdfPrinter.h"
#include "render/ReportHtmlParts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The web engine takes documents given as text up to 2 MB once percent-encoded; larger ones are
// loaded from a file.
constexpr qsizetype kLargestInlineDocument = 512 * 1024;

} // namespace

HtmlPdfRenderer::HtmlPdfRenderer(QObject* parent) : QObject(parent), m_printer(new PagedPdfPrinter(this))
{
    connect(m_printer, &PagedPdfPrinter::pagePrinted, this, &HtmlPdfRenderer::pagePrinted);
    connect(m_printer, &PagedPdfPrinter::finished, this, &HtmlPdfRenderer::finish);
}

HtmlPdfRenderer::~HtmlPdfRenderer() = default;

void HtmlPdfRenderer::render(const QString& path)
{
    if (m_running)
        return;
    m_running = true;
    const auto later = [this](const QString& error) {
        QMetaObject::invokeMethod(
            this, [this, error] { finish({}, error); }, Qt::QueuedConnection);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        later(u"the report %1 could not be read"_s.arg(path));
        return;
    }
    // Relative references resolve against the report's own place, as when it is opened.
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    ReportHtmlParts parts = ReportHtmlParts::split(file.readAll());
    m_printer->setDocumentInfo(ReportHtmlParts::documentInfo(parts.html()));
    if (!parts.hasFileTable()) {
        m_printer->print({QString(), url}, {});
        return;
    }
    if (parts.document().size() <= kLargestInlineDocument) {
        const QString document = QString::fromUtf8(parts.document());
        m_printer->print({document, url}, std::move(parts));
        return;
    }
    m_document = std::make_unique<QTemporaryFile>(QDir::tempPath() + u"/cindervault-report-XXXXXX.html"_s);
    const QByteArray& document = parts.document();
    if (!m_document->open() || m_document->write(document) != document.size() || !m_document->flush()) {
        later(u"the report could not be staged for layout"_s);
        return;
    }
    m_printer->print({QString(), QUrl::fromLocalFile(m_document->fileName())}, std::move(parts));
}

void HtmlPdfRenderer::finish(const QByteArray& pdf, const QString& error)
{
    if (!m_running)
        return;
    m_running = false;
    m_document.reset();
    if (!error.isEmpty())
        logMessage("Report rendering failed: ", error.toStdString());
    emit finished(pdf, error);
}

} // namespace cv
