#pragma once

#include "engine/ShredResult.h"
#include "targets/VolumeProbe.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace cv {

class ReportStage;

class SettingsManager;
class ReportRenderProcess;

// Makes the report of one job that was not cancelled: fills the template and, with automatic
// saving on, saves it in the report folder as HTML or as PDF (one single page while the report
// fits on one, else pages of the same width), then announces it
// ("ReportGenerated", the settings manager's reportGenerated signal). The PDF is rendered by the
// renderer program in a child process (ReportRenderProcess): a renderer that crashes or fails
// leaves no report, and the reason in failure(), but never ends the caller. Works asynchronously
// on the thread of its event loop (a QCoreApplication is enough); its owner keeps it alive until
// finished is emitted.
class ReportBuilder : public QObject
{
    Q_OBJECT

public:
    // What became of the last report.
    enum class Outcome
    {
        None,     // none finished yet
        Saved,    // saved in savedPath()
        NotSaved, // automatic saving is off: made, not saved
        Failed,   // could not be made or saved; failure() says why
    };

    explicit ReportBuilder(QObject* parent = nullptr); // on the shared settings
    explicit ReportBuilder(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportBuilder() override;

    // A folder and a format ("HTML" or "PDF") that take the place of the settings' ones, for the
    // command line's --report-dir and --report-format. Empty: the settings decide.
    void setReportFolder(const QString& folder) { m_folderOverride = folder; }
    void setReportFormat(const QString& format) { m_formatOverride = format; }
    // The language of the report ("de" or "en"); empty: the language the window shows.
    void setLanguage(const QString& language) { m_language = language; }
    // Where the report's volume block looks volumes up.
    void setVolumeProbe(VolumeProbe probe) { m_volumeProbe = std::move(probe); }
    // How long the renderer may go without printing a page of a PDF.
    void setRenderTimeout(std::chrono::milliseconds timeout) { m_renderTimeout = timeout; }

    // Stores the result, fills the template and saves it as the settings say; finished follows.
    // A call while a report is still being made is ignored (logged).
    void createReportWithShredResult(std::shared_ptr<const ShredResult> result);

    const std::shared_ptr<const ShredResult>& shredResult() const { return m_shredResult; }
    const QString& html() const { return m_html; }
    const QString& reportId() const { return m_reportId; }
    // The file saved for the last report; empty when none was.
    const QString& savedPath() const { return m_savedPath; }
    Outcome outcome() const { return m_outcome; }
    // Why the last report could not be made or saved, in a few words; empty unless Failed.
    const QString& failure() const { return m_failure; }
    bool isBusy() const { return m_busy; }

signals:
    // Once per report, after saving or deciding not to: the saved file, or empty.
    void finished(const QString& savedPath);

private:
    void renderPdf(const QString& folder, const QString& baseName);
    void save(const QString& folder, const QString& baseName, const QString& extension,
              const QByteArray& data);
    void finish(Outcome outcome, const QString& savedPath, const QString& failure, bool announce);

    SettingsManager& m_settings;
    std::unique_ptr<ReportStage> m_stageFolder;
    ReportRenderProcess* m_renderer = nullptr; // child of this, while a PDF is rendered
    std::shared_ptr<const ShredResult> m_shredResult;
    std::optional<VolumeProbe> m_volumeProbe;
    std::optional<std::chrono::milliseconds> m_renderTimeout;
    QString m_html;
    QString m_reportId;
    QString m_savedPath;
    QString m_failure;
    QString m_folderOverride;
    QString m_formatOverride;
    QString m_language;
    Outcome m_outcome = Outcome::None;
    bool m_busy = false;
};

} // namespace cv
