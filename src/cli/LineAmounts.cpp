#include "cli/LineAmounts.h"

#include "common/ByteCountFormatter.h"

#include <utility>

namespace cv::cli {

namespace {

// Set once by main before any command runs, read afterwards.
std::string& boundLanguage()
{
    static std::string language = "en";
    return language;
}

} // namespace

void LineAmounts::setEngineLanguage(std::string language)
{
    boundLanguage() = std::move(language);
}

const std::string& LineAmounts::engineLanguage()
{
    return boundLanguage();
}

std::string LineAmounts::engineBytes(std::int64_t bytes)
{
    return ByteCountFormatter::format(bytes, ByteCountStyle::forLanguage(boundLanguage()));
}

} // namespace cv::cli
