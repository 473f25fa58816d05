#include "cli/StoredSettings.h"

#include "settings/SettingsManager.h"

namespace cv::cli {

std::optional<std::uint64_t> StoredSettings::defaultMethod()
{
    const qint64 stored =
        SettingsManager::sharedManager().integerForKey(SettingsManager::kSettingsDeletionDefaultMethod);
    if (stored <= 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(stored);
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
