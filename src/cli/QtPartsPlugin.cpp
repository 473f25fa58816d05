#include "cli/QtPartsPlugin.h"

#include "cli/CliApplication.h"
#include "cli/HelperThread.h"
#include "system/HelperToolService.h"

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

std::shared_ptr<HelperToolClient> QtPartsPlugin::makeHelper(bool askPassword,
                                                            std::function<void()> beforeAsking)
{
    CliApplication::ensure();
    auto thread = std::make_shared<HelperThread>(askPassword, std::move(beforeAsking));
    // The caller talks to the client itself; the pointer keeps the thread it runs on.
    return std::shared_ptr<HelperToolClient>(thread, &thread->service());
}

} // namespace cv::cli
