#include "common/Localization.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace cv {

namespace {

std::mutex g_mutex;
std::shared_ptr<const Localizer> g_localizer;
std::shared_ptr<const LanguageLocalizer> g_languageLocalizer;

// English texts of the keys that are not English themselves: the symbol keys, the method titles,
// whose keys are German, and the notices whose keys are misspelt or name the product by another
// name (the keys stay as they are: the translation tables are made from them). They are the English
// translation table's own texts (resources/translations/cindervault_en.ts), taken from it at build
// time, so that code without a translator reads what the window reads and no copy can drift.
const std::unordered_map<std::string_view, std::string_view>& englishTable()
{
    static const std::unordered_map<std::string_view, std::string_view> table{
#include "EnglishTexts.inc"
    };
    return table;
}

} // namespace

void setLocalizer(Localizer localizer)
{
    auto next = localizer ? std::make_shared<const Localizer>(std::move(localizer)) : nullptr;
    std::lock_guard lock(g_mutex);
    g_localizer = std::move(next);
}

std::string englishText(std::string_view key)
{
    const auto& table = englishTable();
    const auto it = table.find(key);
    return std::string(it == table.end() ? key : it->second);
}

std::string localized(std::string_view key)
{
    std::shared_ptr<const Localizer> localizer;
    {
        std::lock_guard lock(g_mutex);
        localizer = g_localizer;
    }
    if (localizer) {
        if (std::optional<std::string> text = (*localizer)(key))
            return std::move(*text);
    }
    return englishText(key);
}

void setLanguageLocalizer(LanguageLocalizer localizer)
{
    auto next = localizer ? std::make_shared<const LanguageLocalizer>(std::move(localizer)) : nullptr;
    std::lock_guard lock(g_mutex);
    g_languageLocalizer = std::move(next);
}

std::string localizedIn(std::string_view key, std::string_view language)
{
    std::shared_ptr<const LanguageLocalizer> localizer;
    {
        std::lock_guard lock(g_mutex);
        localizer = g_languageLocalizer;
    }
    if (localizer) {
        if (std::optional<std::string> text = (*localizer)(key, language))
            return std::move(*text);
    }
    return englishText(key);
}

} // namespace cv
