#pragma once

#include "common/Expected.h"
#include "common/MountTable.h"
#include "common/UniqueFd.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cv {

// The mount table of this process, read once and read again only when the kernel says that it
// changed: /proc/self/mountinfo, held open, reports every mount, unmount and move in the
// namespace to poll() (POLLPRI) once. A rename of a folder above a mount point changes the table's
// text without such a report, so a caller that cannot find a mount in the table it was handed asks
// for a fresh one. Safe to use from any thread; each caller keeps the table it was handed.
class WatchedMountTable
{
public:
    using Mounts = std::vector<MountEntry>;

    // The table as last read, or as it is now when it changed since or fresh is set; why it cannot
    // be read otherwise.
    Expected<std::shared_ptr<const Mounts>, std::string> current(bool fresh = false);

private:
    // Whether the kernel reported a change since the last look, or cannot tell.
    bool changed();

    std::mutex m_mutex;
    UniqueFd m_watch;
    std::shared_ptr<const Mounts> m_mounts;
};

} // namespace cv
