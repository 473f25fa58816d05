#pragma once

#include "engine/ShredResult.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace cv {

class ReportStage;

class ReportRenderProcess;
class SettingsManager;

// Makes the PDF that a report window shows, without widgets: either a fresh report of a job's
// result (a new report ID and QR code each time, never saved in the report folder) or a saved HTML
// report file. The PDF is rendered by the renderer program in a child process, as the saved
// reports are, so that no web engine runs in the window's process; it lives in a temporary folder
// of this object until the next report or the object goes. Save as PDF copies it.
class ReportPreview : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        Rendering,
        Ready,  // pdfPath() holds the PDF
        Failed, // failure() says why
    };

    explicit ReportPreview(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportPreview() override;

    // The language of fresh reports ("de" or "en"); empty: the one the settings hold when the
    // report is made (a change in the General pane applies at once; the window's own texts keep
    // the language it started with).
    void setLanguage(const QString& language) { m_language = language; }

    // Fills the template for result with a new report ID and renders it; ready or failed follows.
    void renderResult(const std::shared_ptr<const ShredResult>& result);
    // Renders a saved HTML report (its relative references resolve against its own folder).
    void renderFile(const QString& htmlPath);

    State state() const { return m_state; }
    const QString& pdfPath() const { return m_pdfPath; }
    const QString& failure() const { return m_failure; }
    // The report ID of the last fresh report.
    const QString& reportId() const { return m_reportId; }

    // Writes the rendered PDF to destination (replacing a file there only once it is complete).
    // Logs "failed to save file" and returns false when there is none yet or it cannot be written.
    bool savePdf(const QString& destination) const;

signals:
    void ready(const QString& pdfPath);
    void failed(const QString& reason);

private:
    void startRenderer(const QString& htmlPath);
    void finish(State state, const QString& failure);

    SettingsManager& m_settings;
    QString m_language;
    std::unique_ptr<ReportStage> m_stage;
    QPointer<ReportRenderProcess> m_renderer;
    State m_state = State::Idle;
    QString m_pdfPath;
    QString m_failure;
    QString m_reportId;
};

} // namespace cv
