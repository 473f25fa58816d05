#pragma once

#include "cli/ReportOutput.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredResult.h"

#include <memory>
#include <optional>
#include <string>

namespace cv::cli {

// The parts of the command line that need the window's libraries: the report step (Qt Gui for the
// report's images; the PDF itself is rendered by the renderer program in a child process) and the
// privileged helper's Qt D-Bus client. They live in a module loaded only when a job needs them, so
// that every other command starts fast and small: Qt Gui alone brings 22 more shared libraries
// and some 8 MB of resident memory at start-up.
class QtParts
{
public:
    // The loaded module, or null (with the reason in whyNot) when it cannot be loaded.
    static QtParts* load(std::string* whyNot);

    // As saveReportForCli in the module.
    std::optional<std::string> saveReport(const ShredResult& result, const ReportCliOptions& options,
                                          std::string* whyNot) const;
    // The privileged helper's client on a thread of its own; null with the reason in whyNot.
    std::unique_ptr<HelperToolClient> makeHelper(std::string* whyNot) const;

private:
    using SaveReport = bool (*)(const ShredResult&, const ReportCliOptions&, std::string*, std::string*, int);
    using MakeHelper = HelperToolClient* (*)(std::string*, int);

    SaveReport m_saveReport = nullptr;
    MakeHelper m_makeHelper = nullptr;
};

} // namespace cv::cli
