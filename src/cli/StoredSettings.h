#pragma once

#include <cstdint>
#include <optional>

namespace cv::cli {

// What the command line takes from the user's settings store, which the window shares.
class StoredSettings
{
public:
    // The identifier of the stored default method, when it names a method that writes.
    static std::optional<std::uint64_t> defaultMethod();
    // Whether a finished job's report is saved (the window's automatic saving).
    static bool autoSaveReports();
    // Whether the stored interface language ("AppleLanguages") is German: then the command line's
    // texts (method titles, actions, errors) are German too; otherwise they are English.
    static bool germanTexts();
};

} // namespace cv::cli
