#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cv {

// The one hook through which the engine looks up user-visible texts. The key is mostly the English
// text itself ("Path no writable"), sometimes a symbol ("IDS__ALGORITHM_DETAIL_GUTMANN").
// The window binds the hook to its translator; without a hook, or when the translator knows no
// better than the key, symbol keys read as their built-in English text and other keys as themselves.
using Localizer = std::function<std::string(std::string_view key)>;

// Installs the translator (an empty function removes it). Safe to call while other threads localize.
void setLocalizer(Localizer localizer);

// The text for key in the current language.
std::string localized(std::string_view key);

// The built-in English text for a symbol key, or the key itself when it has none.
std::string englishText(std::string_view key);

} // namespace cv
