#include "common/UniqueFd.h"

#include <cerrno>
#include <unistd.h>

namespace cv {

int UniqueFd::reset(int fd)
{
    const int old = std::exchange(m_fd, fd);
    if (old < 0)
        return 0;
    // Linux releases the descriptor even when close fails, so it is never retried.
    return ::close(old) == 0 ? 0 : errno;
}

} // namespace cv
