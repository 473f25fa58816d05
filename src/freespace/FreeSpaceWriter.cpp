#include "freespace/FreeSpaceWriter.h"

#include "common/Log.h"
#include "engine/PassReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cv {

FreeSpaceWriter::FreeSpaceWriter(std::shared_ptr<Algorithm> algorithm, std::uint64_t maxBlockSize, FileIo& io)
    : m_algorithm(std::move(algorithm)), m_maxDataBufferSize(maxBlockSize),
      m_startDataBufferSize(maxBlockSize), m_io(io)
{}

bool FreeSpaceWriter::isFullVolume(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

std::uint64_t FreeSpaceWriter::passesCounted() const
{
    if (!m_algorithm)
        return 0;
    std::uint64_t passes = m_algorithm->cycles();
    for (std::uint64_t cycle = 0; cycle < m_algorithm->cycles(); ++cycle)
        passes += verifiesPass(m_verification, cycle, m_algorithm->cycles()) ? 1 : 0;
    return passes;
}

std::int64_t FreeSpaceWriter::writeIntoFile(int fd, std::int64_t size)
{
    m_lastError = 0;
    m_verificationFailed = false;
    m_mismatchOffset.reset();
    if (fd < 0 || !m_algorithm || m_algorithm->cycles() == 0)
        return 0;
    std::int64_t target = std::max<std::int64_t>(size, 0);
    for (std::uint64_t cycle = 0; cycle < m_algorithm->cycles(); ++cycle) {
        // Every later pass covers exactly what the first pass managed to lay down.
        PassStream stream(m_algorithm->patternForCycle(cycle));
        target = writePass(fd, target, stream);
        if (isCancelled() || m_lastError != 0)
            break;
        // A pass that is not on the device was not written: the page cache would merge it with the
        // next one.
        if (target > 0 && !m_io.dataSync(fd)) {
            m_lastError = errno != 0 ? errno : EIO;
            logMessage("Syncing a fill file failed: ", std::strerror(m_lastError));
            break;
        }
        if (verifiesPass(m_verification, cycle, m_algorithm->cycles())) {
            verifyPass(fd, target, stream);
            if (isCancelled() || m_lastError != 0)
                break;
        }
    }
    return target;
}

void FreeSpaceWriter::verifyPass(int fd, std::int64_t size, PassStream& stream)
{
    PassReader reader(m_io, m_cancel);
    const PassReader::Result result = reader.compare(fd, size, stream, [this](std::size_t bytes) {
        if (m_delegate)
            m_delegate->freespaceWrittenBytes(static_cast<std::int64_t>(bytes));
    });
    switch (result.status) {
    case PassReader::Result::Status::Matched:
    case PassReader::Result::Status::Cancelled:
        return;
    case PassReader::Result::Status::Mismatch:
        m_mismatchOffset = result.offset;
        m_lastError = EIO;
        logMessage("A fill file read back differs at byte ", std::to_string(result.offset));
        break;
    case PassReader::Result::Status::ReadFailed:
        m_lastError = result.error != 0 ? result.error : EIO;
        logMessage("Reading a fill file back failed: ", std::strerror(m_lastError));
        break;
    }
    m_verificationFailed = true;
}

std::uint64_t FreeSpaceWriter::blockFor(std::int64_t target) const
{
    const auto remaining = static_cast<std::uint64_t>(target);
    std::uint64_t block = m_startDataBufferSize;
    if (remaining < m_startDataBufferSize)
        block = m_startDataBufferSize / 10;
    if (remaining < m_startDataBufferSize / 10)
        block = m_startDataBufferSize / 100;
    // Small wipes would otherwise come down to blocks of 0 bytes and never finish.
    return std::max<std::uint64_t>(block, 1);
}

std::int64_t FreeSpaceWriter::writePass(int fd, std::int64_t target, PassStream& stream)
{
    std::int64_t written = 0;
    int failures = 0;
    while (target > 0) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(blockFor(target), target));
        if (m_buffer.size() < length)
            m_buffer.resize(length);
        const std::span<std::uint8_t> data(m_buffer.data(), length);
        stream.fill(data);
        if (m_io.writeAll(fd, data.data(), length, written)) {
            target -= static_cast<std::int64_t>(length);
            written += static_cast<std::int64_t>(length);
            if (m_delegate)
                m_delegate->freespaceWrittenBytes(static_cast<std::int64_t>(length));
        } else {
            const int error = errno;
            stream.discardLast();
            logMessage("No enough free space to write current block: ", std::strerror(error));
            if (!isFullVolume(error)) {
                // Not a full volume: asking again would only fail again. The file ends here.
                m_lastError = error != 0 ? error : EIO;
                break;
            }
            const std::int64_t answer = m_delegate ? m_delegate->notEnoughSpaceToWrite(target) : 0;
            target = failures >= kFailuresAnswered ? 0 : answer;
            ++failures;
        }
        if (isCancelled())
            break;
    }
    return written;
}

} // namespace cv
