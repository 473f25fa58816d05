#include "common/ByteCountFormatter.h"

#include "common/Language.h"

#include <array>
#include <charconv>
#include <cmath>

namespace cv {

namespace {

struct Unit
{
    const char* name;
    double size;
    int decimals;
};

constexpr std::array<Unit, 6> kUnits{{
    {"KB", 1e3, 0},
    {"MB", 1e6, 1},
    {"GB", 1e9, 2},
    {"TB", 1e12, 2},
    {"PB", 1e15, 2},
    {"EB", 1e18, 2},
}};

// Prints value with exactly `decimals` digits after the decimal sign, or none for a whole number:
// the amounts of one unit read alike ("191.50 GB" beside "79.06 GB"), and round ones stay plain
// ("500 GB").
std::string unitDecimal(double value, int decimals, const std::string& decimalPoint)
{
    // to_chars, unlike printf, does not follow the C locale's decimal sign (which the window sets
    // from the desktop's).
    char buffer[64];
    const bool whole = value == std::floor(value);
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, whole ? 0 : decimals);
    std::string text(buffer, written.ptr);
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, decimalPoint);
    return text;
}

} // namespace

ByteCountStyle ByteCountStyle::forLanguage(std::string_view language)
{
    if (languageOf(language) == Language::German)
        return ByteCountStyle{",", "Null KB", "Byte", "Byte"};
    return ByteCountStyle{};
}

std::string ByteCountFormatter::format(std::int64_t bytes)
{
    return format(bytes, ByteCountStyle{});
}

std::string ByteCountFormatter::format(std::int64_t bytes, const ByteCountStyle& style)
{
    if (bytes == 0)
        return style.zero;
    const bool negative = bytes < 0;
    // Work on the magnitude as unsigned so that INT64_MIN does not overflow.
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
    const std::string sign = negative ? "-" : "";

    if (magnitude < 1000)
        return sign + std::to_string(magnitude) + ' ' + (magnitude == 1 ? style.byte : style.bytes);

    for (std::size_t i = 0; i < kUnits.size(); ++i) {
        const Unit& unit = kUnits[i];
        const double scale = std::pow(10.0, unit.decimals);
        const double rounded = std::round(static_cast<double>(magnitude) / unit.size * scale) / scale;
        // 999,999 bytes rounds to 1000 KB: that reads better as the next unit up.
        if (rounded >= 1000.0 && i + 1 < kUnits.size())
            continue;
        return sign + unitDecimal(rounded, unit.decimals, style.decimalPoint) + " " + unit.name;
    }
    return sign + std::to_string(magnitude) + ' ' + style.bytes; // not reached: EB covers every 64-bit value
}

} // namespace cv
