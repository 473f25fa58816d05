#include "cli/ReportOutput.h"

#include <algorithm>
#include <cctype>

namespace cv::cli {

std::optional<std::string> parseReportFormat(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "html")
        return std::string("HTML");
    if (lower == "pdf")
        return std::string("PDF");
    return std::nullopt;
}

} // namespace cv::cli
