#include "reports/ReportBuilder.h"

#include "common/Log.h"
#include "reports/HtmlReportSignature.h"
#include "reports/PdfReportSignature.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportFactory.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportRenderStep.h"
#include "reports/ReportSigningKey.h"

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
    ReportOptions reportOptions = options;
    if (options.autoSave)
        loadSigningKey(options);
    reportOptions.signerFingerprint = m_signerFingerprint;
    ReportFactory factory(m_shredResult, reportOptions);
    if (m_volumeProbe)
        factory.setVolumeProbe(*m_volumeProbe);
    m_html = factory.generateHTMLReport();
    m_reportId = factory.reportId();
    m_contentDigest = factory.contentDigest();
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
        save(options.folder, baseName, u"html"_s, signedHtml(m_html.toUtf8()));
        return;
    }
    renderPdf(options.folder, baseName);
}

void ReportBuilder::loadSigningKey(const ReportOptions& options)
{
    m_key.reset();
    m_signerFingerprint.clear();
    m_unsignedReason.clear();
    if (options.signingKeyFolder.isEmpty()) {
        m_unsignedReason = tr("no signing key is set up");
        return;
    }
    auto key =
        ReportSigningKey::loadOrCreate(options.signingKeyFolder, options.userName, options.userCompany);
    if (!key) {
        m_unsignedReason = tr("the signing key cannot be used: %1").arg(key.error());
        logMessage("Report not signed: ", key.error().toStdString());
        return;
    }
    m_key = std::make_unique<ReportSigningKey>(std::move(*key));
    m_signerFingerprint = m_key->fingerprint();
}

QByteArray ReportBuilder::signedHtml(const QByteArray& html)
{
    if (!m_key)
        return html;
    const auto signedReport = HtmlReportSignature::sign(html, *m_key);
    if (signedReport)
        return *signedReport;
    m_unsignedReason = tr("the report could not be signed: %1").arg(signedReport.error());
    logMessage("Report not signed: ", signedReport.error().toStdString());
    m_signerFingerprint.clear();
    return html;
}

QByteArray ReportBuilder::signedPdf(const QByteArray& pdf)
{
    if (!m_key)
        return pdf;
    const auto signedReport = PdfReportSignature::sign(pdf, *m_key, m_reportId, m_contentDigest);
    if (signedReport)
        return *signedReport;
    m_unsignedReason = tr("the report could not be signed: %1").arg(signedReport.error());
    logMessage("Report not signed: ", signedReport.error().toStdString());
    m_signerFingerprint.clear();
    return pdf;
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
                save(folder, baseName, u"pdf"_s, signedPdf(pdf.readAll()));
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
    m_outcome = ReportOutcome();
    m_outcome.state = state;
    m_outcome.path = savedPath;
    m_outcome.failure = failure;
    if (state == ReportOutcome::State::Saved) {
        m_outcome.isSigned = !m_signerFingerprint.isEmpty();
        m_outcome.signerFingerprint = m_signerFingerprint;
        m_outcome.unsignedReason = m_outcome.isSigned ? QString() : m_unsignedReason;
    }
    m_key.reset();
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
