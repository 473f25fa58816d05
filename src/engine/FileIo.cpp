#include "engine/FileIo.h"

#include <cerrno>
#include <unistd.h>

namespace cv {

bool FileIo::writeAll(int fd, const void* data, std::size_t length, off_t offset)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (length > 0) {
        const ssize_t written = ::pwrite(fd, bytes, length, offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) { // no progress: the device takes no more
            errno = ENOSPC;
            return false;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

ssize_t FileIo::readUpTo(int fd, void* data, std::size_t length, off_t offset)
{
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t total = 0;
    while (total < length) {
        const ssize_t got = ::pread(fd, bytes + total, length - total, offset + static_cast<off_t>(total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

ssize_t FileIo::readDirect(int fd, void* data, std::size_t length, off_t offset)
{
    ssize_t got;
    do
        got = ::pread(fd, data, length, offset);
    while (got < 0 && errno == EINTR);
    return got;
}

bool FileIo::dataSync(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool FileIo::syncFileSystem(int fd)
{
    return ::syncfs(fd) == 0;
}

FileIo& FileIo::system()
{
    static FileIo io;
    return io;
}

} // namespace cv
