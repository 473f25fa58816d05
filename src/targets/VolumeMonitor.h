#pragma once

#include "common/UniqueFd.h"

namespace cv {

// Tells when the mount table changes (a volume was mounted or unmounted): the kernel flags
// /proc/self/mountinfo with POLLPRI after every change. The free-space screen watches fd() with a
// QSocketNotifier of type Exception and lists the volumes again when it fires; without an event
// loop, waitForChange() blocks until a change. Each poll that reports a change consumes it, so a
// change is told once.
class VolumeMonitor
{
public:
    VolumeMonitor();

    // False when the mount table could not be opened (logged); then no change is ever told.
    bool valid() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }

    // Waits up to timeoutMs (-1: without limit, 0: not at all) for a change since the last one
    // told (or since construction); true when there was one.
    bool waitForChange(int timeoutMs);

private:
    UniqueFd m_fd;
};

} // namespace cv
