// cindervault-render: lays out a deletion report's HTML file and writes it as PDF: one single page
// while the report fits on one, else pages of the same width (HtmlPdfRenderer).
//
//   cindervault-render INPUT.html OUTPUT.pdf
//
// The window and the command line run it as a process of their own, because the web engine can
// end the process it runs in (it aborts when /dev/shm is not writable, for one): a report that
// cannot be made must never take a finished job's result with it. It writes "page N" on standard
// output for each page printed, so that its caller can tell a long report from a hung renderer.
// Exit status 0 when the PDF was written, 1 with the reason on standard error when it was not, 2
// for a usage error.
#include "common/ExitStatus.h"
#include "common/Log.h"
#include "render/HtmlPdfRenderer.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void setIfUnset(const char* name, const QByteArray& value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

// Qt's and the web engine's own messages go where the program's log lines go.
void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    cv::logLine(message.toStdString());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("Usage: cindervault-render INPUT.html OUTPUT.pdf\n", stderr);
        return cv::kExitUsage;
    }
    const QString input = QFile::decodeName(argv[1]);
    const QString output = QFile::decodeName(argv[2]);
    // No window is shown and there may be no display; a root process's renderer cannot run
    // sandboxed; there is no GPU to use.
    setIfUnset("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        setIfUnset("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setIfUnset("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --log-level=3");
    qInstallMessageHandler(logQtMessage);
    QLoggingCategory::setFilterRules(u"qt.webenginecontext.info=false"_s);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);

    if (!QFileInfo(input).isFile()) {
        std::fprintf(stderr, "cindervault-render: no such file: %s\n", argv[1]);
        return cv::kExitFailure;
    }
    cv::HtmlPdfRenderer renderer;
    QObject::connect(&renderer, &cv::HtmlPdfRenderer::pagePrinted, &application, [](int pages) {
        std::printf("page %d\n", pages);
        std::fflush(stdout);
    });
    QString error;
    QObject::connect(&renderer, &cv::HtmlPdfRenderer::finished, &application,
                     [&](const QByteArray& pdf, const QString& reason) {
                         error = reason;
                         if (error.isEmpty()) {
                             // A report lists every deleted path: the PDF is the user's alone, whatever the
                             // umask.
                             QSaveFile file(output);
                             if (!file.open(QIODevice::WriteOnly) ||
                                 !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
                                 file.write(pdf) != pdf.size() || !file.commit())
                                 error = u"the PDF could not be written to %1: %2"_s.arg(output,
                                                                                         file.errorString());
                         }
                         QCoreApplication::exit(error.isEmpty() ? cv::kExitOk : cv::kExitFailure);
                     });
    renderer.render(input);
    const int status = QApplication::exec();
    if (status != cv::kExitOk)
        std::fprintf(stderr, "cindervault-render: %s\n", qPrintable(error));
    return status;
}
