#pragma once

#include <cstdint>
#include <string>

namespace cv {

// Formats byte amounts for the user the way every screen, report and log line shows them:
// decimal units (1 KB = 1000 bytes), "N bytes" below 1000, "Zero KB" for nothing, KB without
// decimals, MB with one, GB and above with two, rounded, trailing zeros dropped.
class ByteCountFormatter
{
public:
    static std::string format(std::int64_t bytes);
};

// Shorthand for ByteCountFormatter::format.
inline std::string formatByteCount(std::int64_t bytes)
{
    return ByteCountFormatter::format(bytes);
}

} // namespace cv
