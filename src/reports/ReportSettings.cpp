#include "reports/ReportSettings.h"

#include "reports/ReportSigningKey.h"
#include "settings/SettingsManager.h"

namespace cv {

ReportOptions ReportSettings::options(const SettingsManager& settings)
{
    ReportOptions options;
    options.language = settings.getInterfaceLanguage();
    options.showQrCode = settings.showQrCodeInReports();
    options.showSignature = settings.showSignatureInReports();
    options.capFiles = settings.shouldCapFilesInReport();
    options.userName = settings.stringForKey(kSettingsReportUserName, QString());
    options.userCompany = settings.stringForKey(kSettingsReportUserCompany, QString());
    options.autoSave = settings.shouldAutoSaveReports();
    options.folder = settings.getReportPath();
    options.format = settings.getReportFormat();
    options.signingKeyFolder = ReportSigningKey::defaultFolder();
    return options;
}

} // namespace cv
