#pragma once

#include "helper/HelperError.h"

#include <string>
#include <string_view>
#include <vector>

namespace cv {

// Deletes the local snapshots of the startup volume: every snapper snapshot of the root
// configuration. Snapper is asked directly (--no-dbus), since the helper already runs as root.
class SnapshotRemover
{
public:
    explicit SnapshotRemover(std::vector<std::string> toolSearchPath);

    // Lists the snapshots of the root configuration and deletes them all. Answers an error that
    // names snapper when it is not installed, and snapper's own message when it fails.
    HelperResult deleteSnapshots() const;
    // Refuses when snapper is not installed, changing nothing.
    HelperResult checkTool() const;

    // The snapshot numbers in snapper's CSV listing of the column "number", without snapshot 0 (the
    // live file system, which is no snapshot) and without the header and anything unreadable.
    static std::vector<unsigned long> parseSnapshotNumbers(std::string_view csv);

private:
    std::vector<std::string> m_toolSearchPath;
};

} // namespace cv
