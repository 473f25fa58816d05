#pragma once

#include "engine/FileIo.h"
#include "engine/PassStream.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace cv {

// Reads one written pass back from the device and compares it with what the pass wrote. The file
// is synced by the writer before; its pages are then dropped from the page cache and it is read
// through a descriptor opened with O_DIRECT where the file system allows it (tmpfs does not; there
// the cached pages are what the file holds), so that the comparison sees the device, not the cache.
class PassReader
{
public:
    struct Result
    {
        enum class Status
        {
            Matched,
            Mismatch,   // offset is the first byte that differs (or where the file ended early)
            ReadFailed, // error is the errno of the read
            Cancelled,
        };
        Status status = Status::Matched;
        std::int64_t offset = 0;
        int error = 0;
    };

    // The size of the reads; a multiple of every logical block size O_DIRECT asks for. Large, so
    // that the read ahead is handed to another thread seldom: on a busy machine each hand-over
    // waits for the scheduler (1 MiB reads made the read-back take twice the device's time).
    static constexpr std::size_t kReadSize = 8 * 1048576;

    PassReader(FileIo& io, const std::atomic<bool>& cancel) : m_io(io), m_cancel(cancel) {}

    // Compares the first size bytes of fd with the replay of stream; progress is told the length
    // of every block read.
    Result compare(int fd, std::int64_t size, PassStream& stream,
                   const std::function<void(std::size_t)>& progress)
    {
        return compare(fd, 0, size, stream, progress);
    }
    // The same for the bytes from `from` up to `size`, which the stream's pass wrote from its start.
    Result compare(int fd, std::int64_t from, std::int64_t size, PassStream& stream,
                   const std::function<void(std::size_t)>& progress);

private:
    FileIo& m_io;
    const std::atomic<bool>& m_cancel;
};

} // namespace cv
