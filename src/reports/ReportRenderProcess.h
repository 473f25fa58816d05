#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

class QProcess;
class QTimer;

namespace cv {

// Turns a report's HTML file into a PDF (one single page, or pages of the same width for a report
// too tall for one) with the renderer program (cindervault-render) in a child process of its own.
// The web engine aborts the process it runs in on some failures (no writable /dev/shm, for one);
// in a child, such an abort, a crash, a non-zero exit or a child that hangs is a failure with a
// reason, and the window or the command line goes on. The renderer says each page it prints on
// its standard output: one that goes quiet for too long has hung, while a report of a hundred
// thousand files may take minutes. The child runs in a process group of its own with no signal
// blocked, so that a Ctrl-C meant for the command line (which defers it until its result is
// printed) does not end the report, and the whole group is killed when it has to stop.
class ReportRenderProcess : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kProgramName = "cindervault-render";
    // Names another renderer program (tests put stand-ins that crash or dawdle here).
    static constexpr const char* kProgramVariable = "CINDERVAULT_RENDERER";
    // How long the renderer may go without printing a page.
    static constexpr std::chrono::milliseconds kDefaultTimeout{std::chrono::minutes(3)};

    explicit ReportRenderProcess(QObject* parent = nullptr);
    // Kills a renderer that is still at work.
    ~ReportRenderProcess() override;

    // The renderer program: $CINDERVAULT_RENDERER, else the one beside this program (a build
    // tree), else the installed one in libexec/cindervault, beside the privileged helper. Empty
    // when there is none.
    static QString programPath();

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // Starts rendering htmlPath into pdfPath; finished follows once, never before start returns.
    void start(const QString& htmlPath, const QString& pdfPath);
    bool isRunning() const { return m_running; }

signals:
    // ok: the PDF was written to pdfPath. Otherwise error says why, in a few words.
    void finished(bool ok, const QString& error);

private:
    void processFinished(int exitCode, bool crashed);
    void finish(bool ok, const QString& error);
    void killGroup();

    QPointer<QProcess> m_process;
    QTimer* m_timer;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    qint64 m_pid = 0;
    QString m_stderr; // the renderer's last words, for the reason of a failure
    bool m_running = false;
};

} // namespace cv
