#pragma once

#include "engine/ShredResult.h"
#include "freespace/FreeSpaceCoordinator.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QTemporaryDir;
class QWebEngineView;

namespace cv {

class SettingsManager;
class SinglePagePdfPrinter;

// Makes the report of one job that was not cancelled: fills the template, renders it in an
// off-screen web view and, with automatic saving on, saves it in the report folder as HTML or as
// one single-page PDF, then announces it ("ReportGenerated", the settings manager's
// reportGenerated signal). Works asynchronously on the GUI thread; its owner keeps it alive until
// finished is emitted. Needs a QApplication (with QT_QPA_PLATFORM=offscreen where there is no
// display).
class ReportBuilder : public QObject
{
    Q_OBJECT

public:
    static constexpr QSize kViewSize{1098, 1200};
    // Reports larger than this (UTF-8 bytes) are loaded from a temporary file: setHtml passes the
    // text through a data URL, which the engine limits to 2 MB after encoding.
    static constexpr qsizetype kMaxInlineHtml = 1024 * 1024;

    explicit ReportBuilder(QObject* parent = nullptr); // on the shared settings
    explicit ReportBuilder(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportBuilder() override;

    // A folder and a format ("HTML" or "PDF") that take the place of the settings' ones, for the
    // command line's --report-dir and --report-format. Empty: the settings decide.
    void setReportFolder(const QString& folder) { m_folderOverride = folder; }
    void setReportFormat(const QString& format) { m_formatOverride = format; }
    // Where the report's volume block looks volumes up.
    void setVolumeProbe(VolumeProbe probe) { m_volumeProbe = std::move(probe); }

    // Stores the result, fills the template and starts loading it; saving follows once the page
    // has loaded. A call while a report is still being made is ignored (logged).
    void createReportWithShredResult(std::shared_ptr<const ShredResult> result);

    const std::shared_ptr<const ShredResult>& shredResult() const { return m_shredResult; }
    QWebEngineView* webView() const { return m_webView.get(); }
    const QString& html() const { return m_html; }
    const QString& reportId() const { return m_reportId; }
    // The file saved for the last report; empty when none was.
    const QString& savedPath() const { return m_savedPath; }
    bool isBusy() const { return m_busy; }

    // The base URL reports are loaded with: the English template's resource URL.
    static QUrl baseUrl();

signals:
    // Once per report, after saving or deciding not to: the saved file, or empty.
    void finished(const QString& savedPath);

private:
    void webViewDidFinishLoad(bool ok);
    void autoSaveReport();
    void saveBytes(const QString& folder, const QString& baseName, const QString& extension,
                   const QByteArray& data);
    void finish(const QString& savedPath, bool announce);

    SettingsManager& m_settings;
    std::unique_ptr<QWebEngineView> m_webView;
    std::unique_ptr<QTemporaryDir> m_loadFolder;
    SinglePagePdfPrinter* m_printer = nullptr; // child of this
    std::shared_ptr<const ShredResult> m_shredResult;
    std::optional<VolumeProbe> m_volumeProbe;
    QString m_html;
    QString m_reportId;
    QString m_savedPath;
    QString m_folderOverride;
    QString m_formatOverride;
    bool m_busy = false;
    bool m_loadHandled = false;
    bool m_loadOk = false;
};

} // namespace cv
