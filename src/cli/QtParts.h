#pragma once

#include "cli/ReportOutput.h"
#include "cli/ReportVerification.h"
#include "common/Expected.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredResult.h"

#include <QtPlugin>

#include <functional>
#include <memory>
#include <string>

namespace cv::cli {

// The parts of the command line that need the window's libraries: the report step (Qt Gui for the
// report's images; the PDF itself is rendered by the renderer program in a child process) and the
// privileged helper's Qt D-Bus client. They live in a Qt plugin (QtPartsPlugin) loaded only when a
// job needs them, so that every other command starts fast and small: linking them into the program
// brings Qt Gui with some 22 more shared libraries and about 6 MB of resident memory to every start.
class QtParts
{
public:
    virtual ~QtParts() = default;

    // The loaded plugin (loaded once, kept until the process ends), or why it cannot be loaded. It
    // uses the program's log, settings and engine texts: the program exports them, and every symbol
    // the plugin needs is bound when it is loaded, so a plugin of another build fails here.
    static Expected<QtParts*, std::string> load();

    // As saveReportForCli.
    virtual Expected<std::string, std::string> saveReport(const ShredResult& result,
                                                          const ReportCliOptions& options) = 0;
    // As verifyReportsForCli.
    virtual int verifyReports(const VerifyReportRequest& request) = 0;
    // The privileged helper's client, the window's own on a thread of its own (HelperThread): kept
    // while the pointer is. Without askPassword the helper never has the user asked for a
    // password; beforeAsking (may be empty) runs before each call that may have the user asked.
    virtual std::shared_ptr<HelperToolClient> makeHelper(bool askPassword,
                                                         std::function<void()> beforeAsking) = 0;
};

} // namespace cv::cli

#define CINDERVAULT_CLI_QT_PARTS_IID "com.Ostrevane.Cindervault.CliQtParts/5"
Q_DECLARE_INTERFACE(cv::cli::QtParts, CINDERVAULT_CLI_QT_PARTS_IID)
