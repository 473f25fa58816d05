#pragma once

#include "engine/ShredResult.h"
#include "reports/ReportOptions.h"

#include <QObject>
#include <QString>

#include <memory>

namespace cv {

class ReportRenderStep;

// Makes the PDF that a report window shows, without widgets: either a fresh report of a job's
// result (a new report ID and QR code each time, never saved in the report folder) or a saved HTML
// report file. The PDF is made by the render step in a child process, as the saved reports are,
// so that no web engine runs in the window's process; it stays in the step's stage folder until
// the next report or the object goes. Save as PDF copies it.
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

    explicit ReportPreview(QObject* parent = nullptr);
    ~ReportPreview() override;

    // Fills the template for result as options say, with a new report ID, and renders it; ready
    // or failed follows.
    void renderResult(const std::shared_ptr<const ShredResult>& result, const ReportOptions& options);
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
    void rendered(bool ok, const QString& error);
    void finish(State state, const QString& failure);

    ReportRenderStep* m_render; // child of this
    State m_state = State::Idle;
    QString m_pdfPath;
    QString m_failure;
    QString m_reportId;
};

} // namespace cv
