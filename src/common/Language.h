#pragma once

#include <string_view>

namespace cv {

// The languages the program speaks. Whether a language tag means German or English is decided
// here once: the window's tables, the command line's texts, reports, method titles and byte counts
// all ask this, so no two of them can disagree about a tag such as "de-CH".
enum class Language
{
    English,
    German,
};

// German for "de" and its regional forms ("de-CH", "de_AT"), English for every other tag, an empty
// one included.
Language languageOf(std::string_view tag);
// The tag the program's tables and report templates are named with: "de" or "en".
std::string_view languageTag(Language language);
// languageTag(languageOf(tag)): the tag of the language a tag is spoken in.
std::string_view spokenLanguage(std::string_view tag);

} // namespace cv
