#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace cv {

class ReportBuilder;
class SettingsManager;
struct ShredResult;

// What became of a job's report.
struct ReportOutcome
{
    enum class State
    {
        Saved,    // saved in path
        NotSaved, // made, but automatic saving is off
        Failed,   // could not be made or saved; failure says why
    };
    State state = State::Failed;
    QString path;
    QString failure;
};

// Makes the window's deletion reports and keeps what became of the last one, so that the progress
// screen's Report button opens it with the desktop's viewer or says in the window why it cannot:
// no report for a cancelled job, still being made, not saved, could not be made, or no
// application to show it. The report's PDF is rendered in a child process, so a renderer that
// crashes costs the report, never the window.
class ReportKeeper : public QObject
{
    Q_OBJECT

public:
    explicit ReportKeeper(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportKeeper() override;

    // The language reports are made in; unset: the one the window shows.
    void setLanguage(const QString& language) { m_language = language; }
    // What opens a saved report (false: nothing could); empty: the desktop's viewer.
    void setOpener(std::function<bool(const QString& path)> opener);

    // Makes the report of a finished job; done (may be empty) hears once what became of it.
    void createReport(std::shared_ptr<ShredResult> result, std::function<void(const ReportOutcome&)> done);
    // The Report button: opens the report of result, or tells the user in a message on parent why not.
    void showReport(const std::shared_ptr<ShredResult>& result, QWidget* parent);

    // Stops the reports still being made (their renderers are killed); at the end of the program.
    void releaseBuilders();

private:
    void tell(QWidget* parent, const QString& text, const QString& detail = QString());

    SettingsManager& m_settings;
    QString m_language;
    std::function<bool(const QString& path)> m_opener;
    // The report made last.
    std::weak_ptr<const ShredResult> m_result;
    QPointer<ReportBuilder> m_builder; // while it is still at work
    std::shared_ptr<ReportOutcome> m_outcome;
};

} // namespace cv
