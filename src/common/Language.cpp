#include "common/Language.h"

namespace cv {

Language languageOf(std::string_view tag)
{
    const bool german = tag == "de" || tag.starts_with("de-") || tag.starts_with("de_");
    return german ? Language::German : Language::English;
}

std::string_view languageTag(Language language)
{
    return language == Language::German ? "de" : "en";
}

std::string_view spokenLanguage(std::string_view tag)
{
    return languageTag(languageOf(tag));
}

} // namespace cv
