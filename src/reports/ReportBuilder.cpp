#include "reports/ReportBuilder.h"

#include "common/Log.h"
#include "reports/ReportFactory.h"
#include "reports/ReportFileWriter.h"
#include "reports/SinglePagePdfPrinter.h"
#include "settings/SettingsManager.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace cv {

ReportBuilder::ReportBuilder(QObject* parent) : ReportBuilder(SettingsManager::sharedManager(), parent) {}

ReportBuilder::ReportBuilder(SettingsManager& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_webView(std::make_unique<QWebEngineView>())
{
    // Off screen, at a fixed size: the report is laid out as wide as this view.
    m_webView->setAttribute(Qt::WA_DontShowOnScreen);
    m_webView->resize(kViewSize);
    QWebEngineSettings* settingsOfView = m_webView->settings();
    settingsOfView->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    // Scroll bars would take their width from the layout and show in the PDF.
    settingsOfView->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // The report is static: no script of its own runs (file names are escaped, and this makes
    // sure), and nothing is fetched from the network.
    settingsOfView->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settingsOfView->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_webView->show();

    QWebEnginePage* page = m_webView->page();
    connect(page, &QWebEnginePage::loadFinished, this, &ReportBuilder::webViewDidFinishLoad);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int exitCode) {
                if (!m_busy)
                    return;
                logMessage("Report renderer ended unexpectedly with exit code ", exitCode);
                m_loadOk = false;
                // Still loading: save what can be saved without rendering. Printing: a PDF is no
                // longer possible.
                if (!m_loadHandled) {
                    m_loadHandled = true;
                    autoSaveReport();
                } else {
                    finish(QString(), true);
                }
            });
    m_printer = new SinglePagePdfPrinter(page, this);
}

ReportBuilder::~ReportBuilder() = default;

QUrl ReportBuilder::baseUrl()
{
    return QUrl(u"qrc:/reports/reportTemplate.html"_s);
}

void ReportBuilder::createReportWithShredResult(std::shared_ptr<const ShredResult> result)
{
    if (m_busy) {
        logLine("A report is still being made; the new one was not started");
        return;
    }
    m_busy = true;
    m_loadHandled = false;
    m_loadOk = false;
    m_savedPath.clear();
    m_shredResult = std::move(result);
    if (!m_shredResult) {
        finish(QString(), false);
        return;
    }
    ReportFactory factory(m_shredResult, &m_settings);
    if (m_volumeProbe)
        factory.setVolumeProbe(*m_volumeProbe);
    m_html = factory.generateHTMLReport();
    m_reportId = factory.reportId();
    if (m_html.isNull()) {
        // Nothing to render or save; the factory logged why.
        finish(QString(), false);
        return;
    }

    const QByteArray utf8 = m_html.toUtf8();
    if (utf8.size() <= kMaxInlineHtml) {
        m_webView->setHtml(m_html, baseUrl());
        return;
    }
    m_loadFolder = std::make_unique<QTemporaryDir>();
    const QString path = m_loadFolder->isValid() ? m_loadFolder->filePath(u"report.html"_s) : QString();
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(utf8) != utf8.size() ||
        !file.commit()) {
        logMessage("Report could not be staged for rendering: ", path.toStdString());
        m_loadHandled = true;
        autoSaveReport();
        return;
    }
    m_webView->load(QUrl::fromLocalFile(path));
}

void ReportBuilder::webViewDidFinishLoad(bool ok)
{
    // Only the first load of a report counts; later events (none are expected) are ignored.
    if (!m_busy || m_loadHandled)
        return;
    m_loadHandled = true;
    m_loadOk = ok;
    if (!ok)
        logLine("Report could not be rendered");
    autoSaveReport();
}

void ReportBuilder::autoSaveReport()
{
    if (!m_settings.shouldAutoSaveReports()) {
        finish(QString(), false);
        return;
    }
    const QString format = m_formatOverride.isEmpty() ? m_settings.getReportFormat() : m_formatOverride;
    const QString folder = m_folderOverride.isEmpty() ? m_settings.getReportPath() : m_folderOverride;
    ReportFileWriter::ensureFolder(folder);
    const QString baseName = ReportFileWriter::fileBaseName(ReportFactory::toDateTime(m_shredResult->end));

    if (format == u"HTML"_s) {
        saveBytes(folder, baseName, u"html"_s, m_html.toUtf8());
        return;
    }
    if (!m_loadOk) {
        logLine("Report was not rendered; no PDF saved");
        finish(QString(), true);
        return;
    }
    disconnect(m_printer, nullptr, this, nullptr);
    connect(m_printer, &SinglePagePdfPrinter::finished, this,
            [this, folder, baseName](const QByteArray& pdf) {
                if (pdf.isEmpty()) {
                    finish(QString(), true);
                    return;
                }
                saveBytes(folder, baseName, u"pdf"_s, pdf);
            });
    m_printer->print();
}

void ReportBuilder::saveBytes(const QString& folder, const QString& baseName, const QString& extension,
                              const QByteArray& data)
{
    const auto path = ReportFileWriter::writeNewFile(folder, baseName, extension, data);
    finish(path.value_or(QString()), true);
}

void ReportBuilder::finish(const QString& savedPath, bool announce)
{
    // A renderer that ends while printing may be followed by the printer's own failure: a report
    // finishes once.
    if (!m_busy)
        return;
    m_savedPath = savedPath;
    m_busy = false;
    m_loadFolder.reset();
    if (announce)
        m_settings.postReportGenerated();
    // Queued, so that a caller that starts a report and then waits for finished never misses it.
    QMetaObject::invokeMethod(
        this, [this, savedPath] { emit finished(savedPath); }, Qt::QueuedConnection);
}

} // namespace cv
