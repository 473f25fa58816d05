#include "cli/QtPartsPlugin.h"

#include "cli/CliApplication.h"
#include "cli/HelperThread.h"

namespace cv::cli {

Expected<std::string, std::string> QtPartsPlugin::saveReport(const ShredResult& result,
                                                             const ReportCliOptions& options)
{
    return saveReportForCli(result, options);
}

int QtPartsPlugin::verifyReports(const VerifyReportRequest& request)
{
    return verifyReportsForCli(request);
}

std::unique_ptr<HelperToolClient> QtPartsPlugin::makeHelper(bool askPassword)
{
    CliApplication::ensure();
    return std::make_unique<HelperThread>(askPassword);
}

} // namespace cv::cli
