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

// Makes the window's deletion reports (saved as the settings say, in the language they hold at the
// time) and opens the report window for
// the progress screen's Report button, which shows the job's report made afresh, or says why
// there is none (a cancelled job). Reports are rendered in a child process, so a renderer that
// crashes costs the report, never the window.
class ReportKeeper : public QObject
{
    Q_OBJECT

public:
    explicit ReportKeeper(SettingsManager& settings, QObject* parent = nullptr);
    ~ReportKeeper() override;

    // Makes the report of a finished job; done (may be empty) hears once what became of it.
    void createReport(std::shared_ptr<ShredResult> result, std::function<void(const ReportOutcome&)> done);
    // The Report button: opens the report window for result (one at a time, beside parent's
    // window), or tells the user in a message on parent why there is no report.
    void showReport(const std::shared_ptr<ShredResult>& result, QWidget* parent);
    // The report window open now, or null.
    QWidget* reportWindow() const { return m_reportWindow; }

    // Stops the reports still being made (their renderers are killed); at the end of the program.
    void releaseBuilders();

private:
    void tell(QWidget* parent, const QString& text);

    SettingsManager& m_settings;
    QPointer<QWidget> m_reportWindow;
};

} // namespace cv
