#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

// The conventions of a language for byte amounts: its decimal sign and its words for nothing and
// for amounts below 1000.
struct ByteCountStyle
{
    std::string decimalPoint = ".";
    std::string zero = "Zero KB";
    std::string byte = "byte";   // after 1
    std::string bytes = "bytes"; // after every other amount

    // English for every language but German ("de", "de-CH", "de_AT"...): "2,8 MB", "932 Byte",
    // "Null KB".
    static ByteCountStyle forLanguage(std::string_view language);
};

// Formats byte amounts for the user the way every screen, report and log line shows them:
// decimal units (1 KB = 1000 bytes), "N bytes" below 1000, "Zero KB" for nothing, KB without
// decimals, MB with one, GB and above with two, rounded; a whole amount without decimals ("500 GB"),
// any other with all of its unit's ("1.20 GB", never "1.2 GB" beside "1.25 GB").
class ByteCountFormatter
{
public:
    static std::string format(std::int64_t bytes); // in English
    static std::string format(std::int64_t bytes, const ByteCountStyle& style);
};

// Shorthand for ByteCountFormatter::format.
inline std::string formatByteCount(std::int64_t bytes)
{
    return ByteCountFormatter::format(bytes);
}

} // namespace cv
