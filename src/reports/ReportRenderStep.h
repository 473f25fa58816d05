#pragma once

#include "reports/ReportRenderProcess.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace cv {

class ReportStage;

// The one way a report becomes a PDF, for saved reports and for the report windows alike: the
// report's HTML is staged as a file in a stage folder of its own (ReportStage: the text lists
// every shredded path, and may be far larger than the web engine takes inline), the renderer
// program makes the PDF beside it in a child process (ReportRenderProcess), and the PDF stays
// there until the next render, clear(), or the object goes. A render asked for while one is at
// work replaces it: the renderer is killed, and only the new render is heard of.
class ReportRenderStep : public QObject
{
    Q_OBJECT

public:
    explicit ReportRenderStep(QObject* parent = nullptr);
    // Kills a renderer still at work, then removes the stage folder.
    ~ReportRenderStep() override;

    // How long the renderer may go without printing a page of a PDF.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Stages html and renders it. finished follows once: at once when the report cannot be
    // staged, else when the renderer has ended.
    void renderHtml(const QString& html);
    // Renders a saved HTML report where it lies (its relative references resolve against its own
    // folder); the PDF goes to a stage folder. finished follows as for renderHtml.
    void renderFile(const QString& htmlPath);
    // Kills a renderer still at work and removes the stage folder with the PDF.
    void clear();

    // The PDF of the last render that finished well; empty otherwise.
    const QString& pdfPath() const { return m_pdfPath; }

signals:
    // ok: pdfPath() holds the PDF. Otherwise error says why, in a few words.
    void finished(bool ok, const QString& error);

private:
    bool newStage();
    void start(const QString& htmlPath);
    void stagingFailed();

    std::unique_ptr<ReportStage> m_stage;
    QPointer<ReportRenderProcess> m_renderer; // a child of this, while it renders
    std::optional<std::chrono::milliseconds> m_timeout;
    QString m_pdfPath;
};

} // namespace cv
