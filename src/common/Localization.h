#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Marks a literal as a key of the translation tables, in a context ("Shared" for the texts asked
// for through localized()): the compiler sees the literal itself, lupdate lists the key as it lists
// QT_TRANSLATE_NOOP (src/translations/CMakeLists.txt tells it so). Code without Qt marks its keys
// with it where they stand, so that no second list of them has to be kept in step.
#define CV_TRANSLATE_NOOP(context, key) key

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

// The English text for a symbol key or a method title, or the key itself when it has none: the
// English translation table's text, which this library carries from the build on, so that it reads
// the same with a translator or without one.
std::string englishText(std::string_view key);

// Looks a key up in the tables of a given language ("de", "en"), whatever language the hook above
// is bound to: for texts that must be in another language than the program's, such as a report
// made after the language was changed while the window keeps the one it started with. Answers
// nothing for a key that language's tables do not know.
using LanguageLocalizer =
    std::function<std::optional<std::string>(std::string_view key, std::string_view language)>;

// Installs the per-language lookup (an empty function removes it). Safe while others look up.
void setLanguageLocalizer(LanguageLocalizer localizer);

// The text for key in language: from its tables, else the built-in English text.
std::string localizedIn(std::string_view key, std::string_view language);

} // namespace cv
