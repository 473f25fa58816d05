#pragma once

#include <string>
#include <vector>

namespace cv {

// What the system's cache folders hold that is not a cache: state that nothing regenerates and
// that cleaning must never cost the system. The one list of it, kept here; the temporary-data
// search leaves these entries out of its totals and its jobs, and names them with the reason.
class SystemState
{
public:
    // An entry below a cache folder (a folder keeps everything in it), and why it stays.
    struct Entry
    {
        const char* relativePath;
        const char* reason; // a key of the program's texts
    };
    // One kept path that exists under a searched folder.
    struct Kept
    {
        std::string path;
        const char* reason;
    };

    static const std::vector<Entry>& underSystemCaches();
    // The listed entries present under the given system cache folders (links are not followed:
    // an entry is kept as whatever it is).
    static std::vector<Kept> keptIn(const std::vector<std::string>& cacheFolders);
};

} // namespace cv
