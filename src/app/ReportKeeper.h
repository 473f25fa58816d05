#pragma once

#include "reports/ReportOptions.h"
#include "reports/ReportOutcome.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace cv {

class SettingsManager;
struct ShredResult;

// The window's reports: makes the deletion reports of finished jobs (with the report options the
// settings hold at the time, so a language chosen in the General pane applies at once while the
// window keeps the one it started with), tells the report list when a report was generated or
// the report folder changed, and opens the report window for the progress screen's Report
// button, which shows the job's report made afresh, or says why there is none. Reports are
// rendered in a child process, so a renderer that crashes costs the report, never the window.
class ReportKeeper : public QObject
{
    Q_OBJECT

public:
    explicit ReportKeeper(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportKeeper() override;

    // The report options the settings hold now.
    ReportOptions options() const;
    // The report folder the settings name now.
    QString reportFolder() const;

    // Makes the report of a finished job; done (may be empty) hears once what became of it.
    void createReport(std::shared_ptr<ShredResult> result, std::function<void(const ReportOutcome&)> done);
    // The Report button: opens the report window for result (one at a time, beside parent's
    // window), or tells the user in a message on parent why there is no report.
    void showReport(const std::shared_ptr<ShredResult>& result, QWidget* parent);
    // The report window open now, or null.
    QWidget* reportWindow() const { return m_reportWindow; }

    // Stops the reports still being made (their renderers are killed); at the end of the program.
    void releaseBuilders();

signals:
    // "ReportGenerated": a report was saved in the report folder, or its saving was attempted.
    void reportGenerated();
    // The settings name another report folder, or were reset.
    void reportFolderChanged();

private:
    void tell(QWidget* parent, const QString& text);

    SettingsManager& m_settings;
    QPointer<QWidget> m_reportWindow;
};

} // namespace cv
