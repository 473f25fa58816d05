#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

// The one hook through which the engine looks up user-visible texts. The key is mostly the English
// text itself ("Path no writable"), sometimes a symbol ("IDS__ALGORITHM_DETAIL_GUTMANN") or a
// method title in German (" 1 Runde: Zufallswerte"). The window binds the hook to its translation
// tables (the command line too, when the stored language is German); the hook answers nothing for
// a key its tables do not know. Then, and without a hook, symbol keys and method titles read as
// their built-in English text and other keys as themselves.
using Localizer = std::function<std::optional<std::string>(std::string_view key)>;

// Installs the translator (an empty function removes it). Safe to call while other threads localize.
void setLocalizer(Localizer localizer);

// The text for key in the current language.
std::string localized(std::string_view key);

// The built-in English text for a symbol key or a method title, or the key itself when it has none.
std::string englishText(std::string_view key);

} // namespace cv
