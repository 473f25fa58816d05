#pragma once

#include "engine/ShredResult.h"
#include "reports/ReportOptions.h"
#include "reports/ReportOutcome.h"
#include "targets/VolumeProbe.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace cv {

class ReportRenderStep;
class ReportSigningKey;

// Makes the report of one finished job as its options say: fills the template and, with
// automatic saving on, saves it in the options' folder as HTML or as PDF (one single page while
// the report fits on one, else pages of the same width), then announces it (reportGenerated, the
// "ReportGenerated" notice the report list reloads on). The PDF is made by the render step in a
// child process (ReportRenderStep): a renderer that crashes or fails leaves no report, and the
// reason in outcome(), but never ends the caller. Works asynchronously on the thread of its event
// loop (a QCoreApplication is enough); its owner keeps it alive until finished is emitted.
//
// A saved report is signed with the user's key (ReportSigningKey, made on first use in the options'
// key folder): HTML with its signature inside (HtmlReportSignature), PDF with an embedded
// signature (PdfReportSignature). A report that cannot be signed is saved unsigned, and its
// outcome says why.
class ReportBuilder : public QObject
{
    Q_OBJECT

public:
    explicit ReportBuilder(QObject* parent = nullptr);
    ~ReportBuilder() override;

    // Where the report's volume block looks volumes up.
    void setVolumeProbe(VolumeProbe probe) { m_volumeProbe = std::move(probe); }
    // How long the renderer may go without printing a page of a PDF.
    void setRenderTimeout(std::chrono::milliseconds timeout);

    // Stores the result, fills the template and saves the report as options say; finished
    // follows. A call while a report is still being made is ignored (logged).
    void createReportWithShredResult(std::shared_ptr<const ShredResult> result, const ReportOptions& options);

    const std::shared_ptr<const ShredResult>& shredResult() const { return m_shredResult; }
    const QString& html() const { return m_html; }
    const QString& reportId() const { return m_reportId; }
    // The content digest the report and its QR code carry (ReportFactory::contentDigest).
    const QString& contentDigest() const { return m_contentDigest; }
    // What became of the last report: the saved file, or why none was saved.
    const ReportOutcome& outcome() const { return m_outcome; }
    bool isBusy() const { return m_busy; }

signals:
    // Once per report, after saving or deciding not to: the saved file, or empty.
    void finished(const QString& savedPath);
    // "ReportGenerated": once for each report the options asked to save, whether or not it could
    // be written, before finished.
    void reportGenerated();

private:
    void loadSigningKey(const ReportOptions& options);
    // The report's bytes signed with the user's key; unsigned, with the reason kept, when the
    // key is missing or signing fails.
    QByteArray signedHtml(const QByteArray& html);
    QByteArray signedPdf(const QByteArray& pdf);
    void renderPdf(const QString& folder, const QString& baseName);
    void save(const QString& folder, const QString& baseName, const QString& extension,
              const QByteArray& data);
    void finish(ReportOutcome::State state, const QString& savedPath, const QString& failure, bool announce);

    ReportRenderStep* m_render; // child of this
    std::shared_ptr<const ShredResult> m_shredResult;
    std::optional<VolumeProbe> m_volumeProbe;
    QString m_html;
    QString m_reportId;
    QString m_contentDigest;
    std::unique_ptr<ReportSigningKey> m_key; // while a report is made with one
    QString m_signerFingerprint;
    QString m_unsignedReason;
    ReportOutcome m_outcome;
    bool m_busy = false;
};

} // namespace cv
