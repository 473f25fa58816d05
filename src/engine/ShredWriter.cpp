#include "engine/ShredWriter.h"

#include "common/Log.h"
#include "common/UniqueFd.h"
#include "engine/AesBlockTransform.h"
#include "engine/PassReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace cv {

namespace {

// The length of the cipher pass's random key.
constexpr std::size_t kCipherKeyLength = 7;

} // namespace

ShredWriter::ShredWriter(std::shared_ptr<Algorithm> algorithm, std::uint64_t startDataBufferSize, FileIo& io)
    : m_algorithm(std::move(algorithm)),
      m_startDataBufferSize(std::max<std::uint64_t>(startDataBufferSize, 1)), m_io(io)
{}

ShredWriter::Outcome ShredWriter::fail()
{
    m_lastError = errno != 0 ? errno : EIO;
    return Outcome::Failed;
}

void ShredWriter::report(std::size_t bytes)
{
    if (m_delegate)
        m_delegate->writtenBytes(static_cast<std::int64_t>(bytes));
}

std::uint64_t ShredWriter::passesCounted() const
{
    if (!m_algorithm)
        return 0;
    std::uint64_t passes = m_algorithm->cycles();
    for (std::uint64_t cycle = 0; cycle < m_algorithm->cycles(); ++cycle)
        passes += verifies(cycle) ? 1 : 0;
    return passes;
}

bool ShredWriter::verifies(std::uint64_t cycle) const
{
    return verifiesPass(m_verification, cycle, m_algorithm->cycles()) && !m_algorithm->usesCipherPass(cycle);
}

bool ShredWriter::canDeferLastSync() const
{
    return m_algorithm && m_algorithm->cycles() > 0 && !verifies(m_algorithm->cycles() - 1);
}

ShredWriter::Outcome ShredWriter::shredInFile(int fd, std::int64_t size, LastSync lastSync)
{
    m_mismatchOffset.reset();
    m_lastFileVerified = false;
    m_cancelledWhileVerifying = false;
    m_lastFileSize = std::max<std::int64_t>(size, 0);
    if (fd < 0 || !m_algorithm || m_algorithm->cycles() == 0)
        return Outcome::Completed;
    // The size the file has now: what lies beyond it later was added while the passes ran.
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return fail();
    std::int64_t known = std::max(m_lastFileSize, static_cast<std::int64_t>(info.st_size));
    bool verified = true;
    bool readBack = false;
    std::int64_t from = 0;
    std::int64_t to = m_lastFileSize;
    for (int round = 0;; ++round) {
        const Outcome outcome = shredRange(fd, from, to, lastSync, verified, readBack);
        if (outcome != Outcome::Completed)
            return outcome;
        // What was added while the passes ran was never written over: its content would stay on
        // the device once the file is deleted.
        if (::fstat(fd, &info) != 0)
            return fail();
        if (info.st_size <= known)
            break;
        if (round == kGrowthRounds) {
            logMessage("The file kept growing while it was overwritten (", info.st_size, " bytes now)");
            return Outcome::Grew;
        }
        if (m_delegate)
            m_delegate->fileGrew(info.st_size - known);
        from = known;
        to = known = info.st_size;
        m_lastFileSize = to;
    }
    // An empty file has no byte to compare: it is overwritten (there is nothing to overwrite), but
    // nothing was verified.
    m_lastFileVerified = readBack && verified && m_lastFileSize > 0;
    return Outcome::Completed;
}

ShredWriter::Outcome ShredWriter::shredRange(int fd, std::int64_t from, std::int64_t size, LastSync lastSync,
                                             bool& verified, bool& readBack)
{
    const std::uint64_t last = m_algorithm->cycles() - 1;
    const bool deferLast = lastSync == LastSync::Deferred && canDeferLastSync();
    for (std::uint64_t cycle = 0; cycle <= last; ++cycle) {
        std::optional<PassStream> stream;
        Outcome outcome;
        if (m_algorithm->usesCipherPass(cycle)) {
            outcome = encryptFile(fd, from, size);
        } else {
            stream.emplace(m_algorithm->patternForCycle(cycle));
            outcome = writePass(fd, from, size, *stream);
        }
        if (outcome != Outcome::Completed)
            return outcome;
        // A pass that is not on the device before the next begins may never reach it at all.
        if (size > from && !(cycle == last && deferLast) && !m_io.dataSync(fd))
            return fail();
        if (stream && verifies(cycle)) {
            outcome = verifyPass(fd, from, size, *stream);
            // A cancel while the last pass is read back finds every pass written and on the
            // device: the file is overwritten, only not verified.
            if (outcome == Outcome::Cancelled && cycle + 1 == m_algorithm->cycles())
                return Outcome::Completed;
            if (outcome != Outcome::Completed)
                return outcome;
            readBack = true;
        } else if (verifiesPass(m_verification, cycle, m_algorithm->cycles())) {
            verified = false; // a pass that was to be read back could not be
        }
    }
    return Outcome::Completed;
}

ShredWriter::Outcome ShredWriter::verifyPass(int fd, std::int64_t from, std::int64_t size, PassStream& stream)
{
    PassReader reader(m_io, m_cancel);
    const PassReader::Result result =
        reader.compare(fd, from, size, stream, [this](std::size_t bytes) { report(bytes); });
    switch (result.status) {
    case PassReader::Result::Status::Matched:
        return Outcome::Completed;
    case PassReader::Result::Status::Cancelled:
        m_cancelledWhileVerifying = true;
        return Outcome::Cancelled;
    case PassReader::Result::Status::Mismatch:
        m_mismatchOffset = result.offset;
        m_lastError = 0;
        return Outcome::VerificationFailed;
    case PassReader::Result::Status::ReadFailed:
        break;
    }
    m_lastError = result.error != 0 ? result.error : EIO;
    return Outcome::VerificationFailed;
}

ShredWriter::Outcome ShredWriter::writePass(int fd, std::int64_t from, std::int64_t size, PassStream& stream)
{
    std::uint64_t block = m_startDataBufferSize;
    std::int64_t offset = from;
    while (offset < size) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(block, std::uint64_t(size - offset)));
        if (m_buffer.size() < length)
            m_buffer.resize(length);
        const std::span<std::uint8_t> data(m_buffer.data(), length);
        stream.fill(data);
        if (!m_io.writeAll(fd, data.data(), length, offset))
            return fail();
        offset += static_cast<std::int64_t>(length);
        report(length);
        if (isCancelled())
            return Outcome::Cancelled;
        block = length;
    }
    return Outcome::Completed;
}

ShredWriter::Outcome ShredWriter::encryptFile(int fd, std::int64_t from, std::int64_t size)
{
    if (size <= from)
        return Outcome::Completed;

    // Read back through the handle itself; a write-only handle is reopened for reading through
    // /proc, which names the very file the handle holds.
    UniqueFd reopened;
    int readFd = fd;
    if ((::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY) {
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
        reopened.reset(::open(procPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (!reopened) {
            logMessage("Cipher pass skipped: the file cannot be read back (", std::strerror(errno), ")");
            return Outcome::Completed;
        }
        readFd = reopened.get();
    }

    AesBlockTransform transform(m_cipherKeySource
                                    ? m_cipherKeySource()
                                    : Algorithm::randomAlphanumericStringWithLength(kCipherKeyLength));
    std::vector<std::uint8_t> transformed;
    std::uint64_t block = m_startDataBufferSize;
    std::int64_t offset = from;
    while (offset < size) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(block, std::uint64_t(size - offset)));
        if (m_buffer.size() < length)
            m_buffer.resize(length);
        const ssize_t got = m_io.readUpTo(readFd, m_buffer.data(), length, offset);
        if (got < 0)
            return fail();
        const auto readLength = static_cast<std::size_t>(got);
        if (!transform.decrypt(std::span<const std::uint8_t>(m_buffer.data(), readLength), transformed))
            transformed.clear();
        // Cut or pad with zeros to what was read: a failed transformation becomes a block of zeros.
        transformed.resize(readLength, 0);
        if (readLength > 0 && !m_io.writeAll(fd, transformed.data(), readLength, offset))
            return fail();
        report(readLength);
        if (isCancelled())
            return Outcome::Cancelled;
        if (readLength == 0) // the file ended early: nothing more to transform
            break;
        offset += static_cast<std::int64_t>(readLength);
        block = length;
    }
    return Outcome::Completed;
}

} // namespace cv
