#include "cli/StoredSettings.h"

#include "settings/DefaultMethod.h"
#include "settings/SettingsManager.h"

namespace cv::cli {

std::optional<std::uint64_t> StoredSettings::defaultMethod()
{
    if (const auto method = DefaultMethod::read(SettingsManager::sharedManager()))
        return method->identifier();
    return std::nullopt;
}

bool StoredSettings::germanTexts()
{
    return SettingsManager::sharedManager().getCurrentLanguage() == QStringLiteral("de");
}

bool StoredSettings::autoSaveReports()
{
    return SettingsManager::sharedManager().shouldAutoSaveReports();
}

} // namespace cv::cli
