#include "reports/ReportBuilder.h"

#include "common/Log.h"
#include "reports/ReportFactory.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportRenderProcess.h"
#include "reports/ReportStage.h"
#include "settings/SettingsManager.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace cv {

ReportBuilder::ReportBuilder(QObject* parent) : ReportBuilder(SettingsManager::sharedManager(), parent) {}

ReportBuilder::ReportBuilder(SettingsManager& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

ReportBuilder::~ReportBuilder() = default;

void ReportBuilder::createReportWithShredResult(std::shared_ptr<const ShredResult> result)
{
    if (m_busy) {
        logLine("A report is still being made; the new one was not started");
        return;
    }
    m_busy = true;
    m_savedPath.clear();
    m_failure.clear();
    m_shredResult = std::move(result);
    if (!m_shredResult) {
        finish(Outcome::Failed, QString(), tr("there is no job to report on"), false);
        return;
    }
    ReportFactory factory(m_shredResult, &m_settings);
    if (m_volumeProbe)
        factory.setVolumeProbe(*m_volumeProbe);
    if (!m_language.isEmpty())
        factory.setLanguage(m_language);
    m_html = factory.generateHTMLReport();
    m_reportId = factory.reportId();
    if (m_html.isNull()) {
        finish(Outcome::Failed, QString(), tr("the report template could not be read"), false);
        return;
    }
    if (!m_settings.shouldAutoSaveReports()) {
        finish(Outcome::NotSaved, QString(), QString(), false);
        return;
    }
    const QString format = m_formatOverride.isEmpty() ? m_settings.getReportFormat() : m_formatOverride;
    const QString folder = m_folderOverride.isEmpty() ? m_settings.getReportPath() : m_folderOverride;
    ReportFileWriter::ensureFolder(folder);
    const QString baseName = ReportFileWriter::fileBaseName(ReportFactory::toDateTime(m_shredResult->end));
    if (format == u"HTML"_s) {
        // The text is the report: no layout is needed to save it.
        save(folder, baseName, u"html"_s, m_html.toUtf8());
        return;
    }
    renderPdf(folder, baseName);
}

void ReportBuilder::renderPdf(const QString& folder, const QString& baseName)
{
    // The renderer reads the report from a file of its own (the text may be far larger than the
    // web engine takes inline) and writes the PDF beside it; both go with the folder. The folder
    // (0700) and the file (0600) are the user's alone, like the report.
    m_stageFolder = std::make_unique<ReportStage>();
    const QString htmlPath = m_stageFolder->isValid() ? m_stageFolder->filePath(u"report.html"_s) : QString();
    const QString pdfPath = m_stageFolder->isValid() ? m_stageFolder->filePath(u"report.pdf"_s) : QString();
    QSaveFile file(htmlPath);
    const QByteArray utf8 = m_html.toUtf8();
    if (htmlPath.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) || file.write(utf8) != utf8.size() ||
        !file.commit()) {
        finish(Outcome::Failed, QString(), tr("the report could not be staged for rendering"), true);
        return;
    }
    m_renderer = new ReportRenderProcess(this);
    if (m_renderTimeout)
        m_renderer->setTimeout(*m_renderTimeout);
    connect(m_renderer, &ReportRenderProcess::finished, this,
            [this, folder, baseName, pdfPath](bool ok, const QString& error) {
                m_renderer->deleteLater();
                m_renderer = nullptr;
                if (!ok) {
                    finish(Outcome::Failed, QString(), error, true);
                    return;
                }
                QFile pdf(pdfPath);
                if (!pdf.open(QIODevice::ReadOnly)) {
                    finish(Outcome::Failed, QString(), tr("the rendered report could not be read"), true);
                    return;
                }
                save(folder, baseName, u"pdf"_s, pdf.readAll());
            });
    m_renderer->start(htmlPath, pdfPath);
}

void ReportBuilder::save(const QString& folder, const QString& baseName, const QString& extension,
                         const QByteArray& data)
{
    const auto path = ReportFileWriter::writeNewFile(folder, baseName, extension, data);
    if (path)
        finish(Outcome::Saved, *path, QString(), true);
    else
        finish(Outcome::Failed, QString(), tr("the report could not be written to %1").arg(folder), true);
}

void ReportBuilder::finish(Outcome outcome, const QString& savedPath, const QString& failure, bool announce)
{
    if (!m_busy)
        return;
    m_outcome = outcome;
    m_savedPath = savedPath;
    m_failure = failure;
    m_busy = false;
    m_stageFolder.reset();
    if (!failure.isEmpty())
        logMessage("No report saved: ", failure.toStdString());
    // Announced whether or not the file could be written, as the report list expects.
    if (announce)
        m_settings.postReportGenerated();
    // Queued, so that a caller that starts a report and then waits for finished never misses it.
    QMetaObject::invokeMethod(
        this, [this, savedPath] { emit finished(savedPath); }, Qt::QueuedConnection);
}

} // namespace cv
