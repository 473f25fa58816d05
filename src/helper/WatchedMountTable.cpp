#include "helper/WatchedMountTable.h"

#include <fcntl.h>
#include <poll.h>

namespace cv {

Expected<std::shared_ptr<const WatchedMountTable::Mounts>, std::string> WatchedMountTable::current(bool fresh)
{
    const std::lock_guard lock(m_mutex);
    // Opened before the table is read, so that a change made while it is read is reported.
    if (!m_watch)
        m_watch.reset(::open(MountTable::kPath, O_RDONLY | O_CLOEXEC));
    if (m_mounts && !fresh && !changed())
        return m_mounts;
    auto mounts = MountTable::readCurrent();
    if (!mounts)
        return Unexpected(mounts.error());
    m_mounts = std::make_shared<const Mounts>(std::move(mounts).value());
    return m_mounts;
}

bool WatchedMountTable::changed()
{
    if (!m_watch)
        return true;
    // The kernel answers POLLPRI (with POLLERR) once per change since the last poll; a poll that
    // fails tells nothing, and the table is read again.
    pollfd watch{m_watch.get(), POLLPRI, 0};
    return ::poll(&watch, 1, 0) != 0;
}

} // namespace cv
