#pragma once

#include "common/Expected.h"
#include "engine/ShredResult.h"

#include <optional>
#include <string>

namespace cv::cli {

// What the job commands take from --report-dir and --report-format; unset means the settings
// decide, as in the window.
struct ReportCliOptions
{
    std::optional<std::string> reportDir;    // the folder to save the report in (bytes, as given)
    std::optional<std::string> reportFormat; // "HTML" or "PDF" (see parseReportFormat)
};

// "html" or "pdf", in any case, as the settings spell them ("HTML", "PDF"); nothing otherwise.
std::optional<std::string> parseReportFormat(const std::string& text);

// Saves the deletion report of a finished job the way the window does: nothing with automatic
// saving off; otherwise HTML or one single-page PDF in the report folder, made with the report
// options the settings hold. The options override the settings' folder and format.
//
// Runs on the calling thread until the report is saved (a PDF of 10,000 files takes a few
// seconds, rendered by the renderer program in a child process). Makes a QCoreApplication when
// there is no application object yet. Returns the saved file's path, or why no report was saved,
// for a message on the terminal. A renderer that crashes or fails is such a reason, never the end
// of the command.
Expected<std::string, std::string> saveReportForCli(const ShredResult& result,
                                                    const ReportCliOptions& options);

} // namespace cv::cli
