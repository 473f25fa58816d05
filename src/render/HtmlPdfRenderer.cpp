#include "render/HtmlPdfRenderer.h"

#include "common/Log.h"
#include "render/SinglePagePdfPrinter.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace cv {

HtmlPdfRenderer::HtmlPdfRenderer(QObject* parent)
    : QObject(parent), m_view(std::make_unique<QWebEngineView>())
{
    // Off screen, at a fixed size: the report is laid out as wide as this view.
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->resize(kViewSize);
    QWebEngineSettings* settings = m_view->settings();
    settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    // Scroll bars would take their width from the layout and show in the PDF.
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // The report is static: no script of its own runs (file names are escaped, and this makes
    // sure), and nothing is fetched from the network.
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_view->show();

    QWebEnginePage* page = m_view->page();
    connect(page, &QWebEnginePage::loadFinished, this, &HtmlPdfRenderer::loaded);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int exitCode) {
                finish({}, u"the web engine's renderer ended unexpectedly (exit code %1)"_s.arg(exitCode));
            });
    m_printer = new SinglePagePdfPrinter(page, this);
    connect(m_printer, &SinglePagePdfPrinter::finished, this, [this](const QByteArray& pdf) {
        finish(pdf, pdf.isEmpty() ? u"the report could not be printed to PDF"_s : QString());
    });
}

HtmlPdfRenderer::~HtmlPdfRenderer() = default;

void HtmlPdfRenderer::render(const QUrl& url)
{
    if (m_running)
        return;
    m_running = true;
    m_loaded = false;
    m_view->load(url);
}

void HtmlPdfRenderer::loaded(bool ok)
{
    // Only the first load counts; later events (none are expected) are ignored.
    if (!m_running || m_loaded)
        return;
    m_loaded = true;
    if (!ok) {
        finish({}, u"the report could not be laid out"_s);
        return;
    }
    m_printer->print();
}

void HtmlPdfRenderer::finish(const QByteArray& pdf, const QString& error)
{
    if (!m_running)
        return;
    m_running = false;
    if (!error.isEmpty())
        logMessage("Report rendering failed: ", error.toStdString());
    emit finished(pdf, error);
}

} // namespace cv
