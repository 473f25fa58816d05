#include "settings/DefaultMethod.h"

#include "engine/AlgorithmCollection.h"
#include "settings/SettingsManager.h"

namespace cv {

std::shared_ptr<Algorithm> DefaultMethod::read(const SettingsManager& settings)
{
    // An absent or unreadable value reads as 0, the placeholder.
    const qint64 stored = settings.integerForKey(SettingsManager::kSettingsDeletionDefaultMethod);
    if (stored <= 0)
        return nullptr;
    std::shared_ptr<Algorithm> method =
        AlgorithmCollection().findByIdentifier(static_cast<std::uint64_t>(stored));
    return method && method->cycles() > 0 ? method : nullptr;
}

} // namespace cv
