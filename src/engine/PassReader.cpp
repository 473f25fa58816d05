#include "engine/PassReader.h"

#include "common/Log.h"
#include "common/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <memory>
#include <string>

namespace cv {

namespace {

struct FreeDeleter
{
    void operator()(std::uint8_t* data) const { std::free(data); }
};
using AlignedBuffer = std::unique_ptr<std::uint8_t[], FreeDeleter>;

// O_DIRECT wants buffers, offsets and lengths aligned to the device's logical block; a page is
// enough for every device in use.
constexpr std::size_t kAlignment = 4096;

// What one read gave: the byte count, or -1 with the errno.
struct Chunk
{
    ssize_t got = 0;
    int error = 0;
};

AlignedBuffer alignedBuffer(std::size_t length)
{
    return AlignedBuffer(static_cast<std::uint8_t*>(std::aligned_alloc(kAlignment, length)));
}

// A second descriptor of the same file, opened for reading past the page cache; the file itself is
// named through /proc, which gives the very file the handle holds.
UniqueFd openDirect(int fd)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    return UniqueFd(::open(procPath.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC));
}

// A descriptor that reads the file through the page cache: fd itself when it can read.
UniqueFd openBuffered(int fd)
{
    if ((::fcntl(fd, F_GETFL) & O_ACCMODE) != O_WRONLY)
        return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    return UniqueFd(::open(procPath.c_str(), O_RDONLY | O_CLOEXEC));
}

} // namespace

PassReader::Result PassReader::compare(int fd, std::int64_t from, std::int64_t size, PassStream& stream,
                                       const std::function<void(std::size_t)>& progress)
{
    Result result;
    if (size <= from)
        return result;
    const auto failed = [&result](int error) {
        result.status = Result::Status::ReadFailed;
        result.error = error != 0 ? error : EIO;
        return result;
    };
    m_io.readingBack(fd);
    // Clean pages go; what the device holds is read next. Advice only: a refusal is no failure.
    static_cast<void>(::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED));

    UniqueFd reader = openDirect(fd);
    bool direct = static_cast<bool>(reader);
    if (!direct)
        reader = openBuffered(fd);
    if (!reader)
        return failed(errno);
    // Reads start at a multiple of the alignment, as O_DIRECT wants; what lies before `from` in the
    // first read is skipped.
    std::int64_t offset = from - from % static_cast<std::int64_t>(kAlignment);
    auto skip = static_cast<std::size_t>(from - offset);
    // A small file needs no buffer of the full read size: its whole span, rounded up to the alignment.
    const auto span = static_cast<std::uint64_t>(size - offset);
    const auto readSize = static_cast<std::size_t>(
        std::min<std::uint64_t>(kReadSize, (span + kAlignment - 1) / kAlignment * kAlignment));
    // Two buffers: the device fills one while the other is compared, so that the comparison costs
    // no time of its own beside the reads.
    const AlignedBuffer buffers[2] = {alignedBuffer(readSize), alignedBuffer(readSize)};
    if (!buffers[0] || !buffers[1])
        return failed(ENOMEM);
    const auto readChunk = [this, &reader, &direct, readSize](std::uint8_t* data, std::int64_t at) {
        const ssize_t got = direct ? m_io.readDirect(reader.get(), data, readSize, at)
                                   : m_io.readUpTo(reader.get(), data, readSize, at);
        return Chunk{got, got < 0 ? errno : 0};
    };

    // The first read tells whether the file system takes O_DIRECT reads as well as the open.
    Chunk chunk = readChunk(buffers[0].get(), offset);
    if (chunk.got < 0 && direct && chunk.error == EINVAL) {
        logMessage("Reading back without O_DIRECT: the file system refuses it");
        direct = false;
        reader = openBuffered(fd);
        if (!reader)
            return failed(errno);
        chunk = readChunk(buffers[0].get(), offset);
    }

    stream.replay();
    std::vector<std::uint8_t> expected;
    std::size_t expectedLength = 0;
    std::size_t expectedPos = 0;
    for (int current = 0; offset < size; current ^= 1) {
        if (chunk.got < 0)
            return failed(chunk.error);
        const auto wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(std::int64_t(readSize), size - offset));
        const std::size_t length = std::min(static_cast<std::size_t>(chunk.got), wanted);
        const std::int64_t next = offset + static_cast<std::int64_t>(length);
        std::future<Chunk> ahead;
        if (length == wanted && next < size)
            ahead = std::async(std::launch::async, readChunk, buffers[current ^ 1].get(), next);
        const std::uint8_t* data = buffers[current].get();
        std::size_t compared = std::min(skip, length);
        while (compared < length) {
            if (expectedPos == expectedLength) {
                expectedLength = stream.nextBlock(expected);
                expectedPos = 0;
                if (expectedLength == 0) // the file holds more than the pass wrote: not compared
                    break;
            }
            const std::size_t run = std::min(length - compared, expectedLength - expectedPos);
            const std::uint8_t* read = data + compared;
            const std::uint8_t* want = expected.data() + expectedPos;
            if (std::memcmp(read, want, run) != 0) {
                const auto differs = std::mismatch(read, read + run, want).first - read;
                result.status = Result::Status::Mismatch;
                result.offset = offset + static_cast<std::int64_t>(compared) + differs;
                return result; // the read ahead, if any, is waited for as it goes
            }
            compared += run;
            expectedPos += run;
        }
        if (length < wanted) { // the file ended before the pass did
            result.status = Result::Status::Mismatch;
            result.offset = next;
            return result;
        }
        offset = next;
        if (progress)
            progress(length - std::min(skip, length));
        skip = 0;
        if (m_cancel.load(std::memory_order_relaxed)) {
            result.status = Result::Status::Cancelled;
            return result;
        }
        if (ahead.valid())
            chunk = ahead.get();
    }
    return result;
}

} // namespace cv
