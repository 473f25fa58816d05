#include "reports/ReportBuilder.h"

#include "common/Log.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportFactory.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportRenderStep.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace cv {

ReportBuilder::ReportBuilder(QObject* parent) : QObject(parent), m_render(new ReportRenderStep(this)) {}

ReportBuilder::~ReportBuilder() = default;

void ReportBuilder::setRenderTimeout(std::chrono::milliseconds timeout)
{
    m_render->setTimeout(timeout);
}

void ReportBuilder::createReportWithShredResult(std::shared_ptr<const ShredResult> result,
                                                const ReportOptions& options)
{
    if (m_busy) {
        logLine("A report is still being made; the new one was not started");
        return;
    }
    m_busy = true;
    m_outcome = ReportOutcome();
    m_shredResult = std::move(result);
    if (!m_shredResult) {
        finish(ReportOutcome::State::Failed, QString(), tr("there is no job to report on"), false);
        return;
    }
    ReportFactory factory(m_shredResult, options);
    if (m_volumeProbe)
        factory.setVolumeProbe(*m_volumeProbe);
    m_html = factory.generateHTMLReport();
    m_reportId = factory.reportId();
    if (m_html.isNull()) {
        finish(ReportOutcome::State::Failed, QString(), tr("the report template could not be read"), false);
        return;
    }
    if (!options.autoSave) {
        finish(ReportOutcome::State::NotSaved, QString(), QString(), false);
        return;
    }
    ReportFileWriter::ensureFolder(options.folder);
    const QString baseName = ReportFileWriter::fileBaseName(ReportFactory::toDateTime(m_shredResult->end));
    if (options.format == u"HTML"_s) {
        // The text is the report: no layout is needed to save it.
        save(options.folder, baseName, u"html"_s, m_html.toUtf8());
        return;
    }
    renderPdf(options.folder, baseName);
}

void ReportBuilder::renderPdf(const QString& folder, const QString& baseName)
{
    m_render->disconnect(this);
    connect(m_render, &ReportRenderStep::finished, this,
            [this, folder, baseName](bool ok, const QString& error) {
                if (!ok) {
                    finish(ReportOutcome::State::Failed, QString(), error, true);
                    return;
                }
                QFile pdf(m_render->pdfPath());
                if (!pdf.open(QIODevice::ReadOnly)) {
                    finish(ReportOutcome::State::Failed, QString(),
                           tr("the rendered report could not be read"), true);
                    return;
                }
                save(folder, baseName, u"pdf"_s, pdf.readAll());
            });
    m_render->renderHtml(m_html);
}

void ReportBuilder::save(const QString& folder, const QString& baseName, const QString& extension,
                         const QByteArray& data)
{
    const auto path = ReportFileWriter::writeNewFile(folder, baseName, extension, data);
    if (path) {
        // The report stands without its card's facts; the card then shows its date alone.
        QString why;
        if (!ReportCardFacts::of(*m_shredResult).writeTo(*path, &why))
            logMessage("Report card facts not kept with ", path->toStdString(), ": ", why.toStdString());
        finish(ReportOutcome::State::Saved, *path, QString(), true);
    } else
        finish(ReportOutcome::State::Failed, QString(),
               tr("the report could not be written to %1").arg(folder), true);
}

void ReportBuilder::finish(ReportOutcome::State state, const QString& savedPath, const QString& failure,
                           bool announce)
{
    if (!m_busy)
        return;
    m_outcome = ReportOutcome{state, savedPath, failure};
    m_busy = false;
    // The staged report lists every shredded path: it goes as soon as the report is done.
    m_render->clear();
    if (!failure.isEmpty())
        logMessage("No report saved: ", failure.toStdString());
    // Announced whether or not the file could be written, as the report list expects.
    if (announce)
        emit reportGenerated();
    // Queued, so that a caller that starts a report and then waits for finished never misses it.
    QMetaObject::invokeMethod(
        this, [this, savedPath] { emit finished(savedPath); }, Qt::QueuedConnection);
}

} // namespace cv
