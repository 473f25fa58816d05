#pragma once

#include "cli/QtParts.h"

#include <QObject>

namespace cv::cli {

// The command line's plugin of window libraries (see QtParts): the report step and the privileged
// helper's client, reached through the QtParts interface.
class QtPartsPlugin : public QObject, public QtParts
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID CINDERVAULT_CLI_QT_PARTS_IID)
    Q_INTERFACES(cv::cli::QtParts)

public:
    Expected<std::string, std::string> saveReport(const ShredResult& result,
                                                  const ReportCliOptions& options) override;
    int verifyReports(const VerifyReportRequest& request) override;
    std::shared_ptr<HelperToolClient> makeHelper(bool askPassword,
                                                 std::function<void()> beforeAsking) override;
};

} // namespace cv::cli
