#include "targets/VolumeMonitor.h"

#include "common/Log.h"
#include "common/MountTable.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>

namespace cv {

VolumeMonitor::VolumeMonitor() : m_fd(::open(MountTable::kPath, O_RDONLY | O_CLOEXEC))
{
    if (!m_fd)
        logMessage("Cannot watch ", MountTable::kPath, " for volume changes: ", std::strerror(errno));
}

bool VolumeMonitor::waitForChange(int timeoutMs)
{
    if (!m_fd)
        return false;
    pollfd watched{m_fd.get(), POLLPRI, 0};
    int ready;
    do {
        ready = ::poll(&watched, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (watched.revents & (POLLPRI | POLLERR)) != 0;
}

} // namespace cv
