#pragma once

#include "engine/Algorithm.h"
#include "engine/FileIo.h"
#include "engine/PassStream.h"
#include "engine/Verification.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace cv {

// Answers the free-space writer: how many bytes written, and what to do when the volume is full.
class FreespaceWriterDelegate
{
public:
    virtual ~FreespaceWriterDelegate() = default;
    virtual void freespaceWrittenBytes(std::int64_t bytes) = 0;
    // A block could not be written; bytesLeft were still to write in this pass. Returns the bytes
    // still to write from now on (0 ends the pass).
    virtual std::int64_t notEnoughSpaceToWrite(std::int64_t bytesLeft) = 0;
};

// Writes one free-space fill file: every pass of the method over the bytes the first pass laid
// down, in blocks that shrink towards the end of a pass, each pass synced to the device. A full
// volume is expected, not an error: the delegate says how much more may be written. Any other
// failure (an I/O error, a refused write, a failed sync) ends the file at once and is kept in
// lastError() for the coordinator to report. Passes chosen for verification are read back after
// their sync; a difference ends the file too (verificationFailed()).
class FreeSpaceWriter
{
public:
    // Failed writes per pass that the delegate answers; one more ends the pass.
    static constexpr int kFailuresAnswered = 5;

    FreeSpaceWriter(std::shared_ptr<Algorithm> algorithm, std::uint64_t maxBlockSize,
                    FileIo& io = FileIo::system());

    const std::shared_ptr<Algorithm>& algorithm() const { return m_algorithm; }
    std::uint64_t maxDataBufferSize() const { return m_maxDataBufferSize; }
    std::uint64_t startDataBufferSize() const { return m_startDataBufferSize; }
    void setStartDataBufferSize(std::uint64_t size) { m_startDataBufferSize = size; }
    void setDelegate(FreespaceWriterDelegate* delegate) { m_delegate = delegate; }
    void setVerification(Verification verification) { m_verification = verification; }
    // Passes that progress counts over the fill: each pass written plus each pass read back.
    std::uint64_t passesCounted() const;

    // Writes all passes over size bytes into fd (nothing for 0 or less); returns the bytes the last
    // pass covered.
    std::int64_t writeIntoFile(int fd, std::int64_t size);

    // The errno of the failure that ended the last writeIntoFile early, or 0 (a full volume is no
    // failure).
    int lastError() const { return m_lastError; }
    // The last writeIntoFile ended because a pass read back was not what was written (lastError()
    // is then EIO, or the errno of a failed read).
    bool verificationFailed() const { return m_verificationFailed; }
    // Where that read-back found the first difference; nothing when a read failed.
    std::optional<std::int64_t> mismatchOffset() const { return m_mismatchOffset; }
    // Whether errno of a failed write means that the volume is full.
    static bool isFullVolume(int error);

    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }

private:
    std::int64_t writePass(int fd, std::int64_t target, PassStream& stream);
    void verifyPass(int fd, std::int64_t size, PassStream& stream);
    std::uint64_t blockFor(std::int64_t target) const;

    std::shared_ptr<Algorithm> m_algorithm;
    std::uint64_t m_maxDataBufferSize;
    std::uint64_t m_startDataBufferSize;
    FileIo& m_io;
    FreespaceWriterDelegate* m_delegate = nullptr;
    std::atomic<bool> m_cancel{false};
    int m_lastError = 0;
    Verification m_verification = Verification::Off;
    bool m_verificationFailed = false;
    std::optional<std::int64_t> m_mismatchOffset;
    std::vector<std::uint8_t> m_buffer;
};

} // namespace cv
