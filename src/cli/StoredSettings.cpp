#include "cli/StoredSettings.h"

#include "common/Language.h"
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
    return languageOf(SettingsManager::sharedManager().getCurrentLanguage().toStdString()) ==
           Language::German;
}

bool StoredSettings::autoSaveReports()
{
    return SettingsManager::sharedManager().shouldAutoSaveReports();
}

} // namespace cv::cli
