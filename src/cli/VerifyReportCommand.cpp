#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/QtParts.h"
#include "cli/ReportVerification.h"

namespace cv::cli {

// Checks the signatures of report files. The report code lives in the Qt plugin (QtParts): it is
// loaded once the arguments are known to be right.
int runVerifyReportCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--trust", "--qr"}, {"--json"});
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (line.operands().empty()) {
        printError("verify-report needs the report files to check");
        return kExitUsage;
    }
    if (line.value("--qr") && line.operands().size() != 1) {
        printError("--qr matches one file: give exactly one");
        return kExitUsage;
    }
    for (const std::string& file : line.operands()) {
        if (file.empty()) {
            printError("an empty path is no report file");
            return kExitUsage;
        }
    }
    const auto parts = QtParts::load();
    if (!parts) {
        printError(parts.error());
        return kExitFailure;
    }
    VerifyReportRequest request;
    request.files = line.operands();
    request.trustedCertificates = line.values("--trust");
    request.qrText = line.value("--qr");
    request.json = line.flag("--json");
    return (*parts)->verifyReports(request);
}

} // namespace cv::cli
