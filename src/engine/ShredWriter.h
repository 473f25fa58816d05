#pragma once

#include "engine/Algorithm.h"
#include "engine/FileIo.h"
#include "engine/PassStream.h"
#include "engine/Verification.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv {

// Told the size of every block the writer has just written, or read back for comparison.
class ShredWriterDelegate
{
public:
    virtual ~ShredWriterDelegate() = default;
    virtual void writtenBytes(std::int64_t bytes) = 0;
    // The file being overwritten grew by bytes during its passes; the added part is overwritten next.
    virtual void fileGrew(std::int64_t bytes) { static_cast<void>(bytes); }
};

// Overwrites one open file in place with every pass of an overwrite method, block by block from the
// start of the file, without truncating. Every pass ends with a data sync, so each pass reaches the
// device instead of merging with the next in the page cache; the last pass's sync may be left to the
// caller, who syncs many small files at once. A file that grew while its passes ran
// (a log written to) has what was added overwritten with every pass in turn, until its size holds
// still; one that keeps growing beyond a few such rounds ends with Grew.
// Passes chosen for verification are read back after their sync and compared with what was
// written; a difference or a failed read ends the file with VerificationFailed.
// One writer serves a whole job, one file at a time, on the job's worker thread; cancel() may come
// from any thread and takes effect after the current block.
class ShredWriter
{
public:
    // The largest block a job writes to a file at a time.
    static constexpr std::uint64_t kFileBlockSize = 1048576;

    enum class Outcome
    {
        Completed, // every pass written and synced
        Cancelled, // stopped at a block boundary after cancel()
        Failed,    // a write, read or sync failed; lastError() has the errno
        Grew,      // the file kept growing: its last addition is not overwritten
        // A pass read back differs from what was written (mismatchOffset()), or could not be read
        // back (lastError()).
        VerificationFailed,
    };

    ShredWriter(std::shared_ptr<Algorithm> algorithm, std::uint64_t startDataBufferSize,
                FileIo& io = FileIo::system());

    const std::shared_ptr<Algorithm>& algorithm() const { return m_algorithm; }
    std::uint64_t startDataBufferSize() const { return m_startDataBufferSize; }
    void setDelegate(ShredWriterDelegate* delegate) { m_delegate = delegate; }
    ShredWriterDelegate* delegate() const { return m_delegate; }
    void setVerification(Verification verification) { m_verification = verification; }
    Verification verification() const { return m_verification; }
    // Passes of a file that progress counts: each pass written plus each pass read back.
    std::uint64_t passesCounted() const;

    // When the last pass of a file is synced: right after it (Now), or later by the caller together
    // with other files (Deferred), who must not call the file overwritten before that sync.
    enum class LastSync
    {
        Now,
        Deferred,
    };
    // Whether a file's last pass may be synced later: not when it is read back, which needs it on
    // the device first.
    bool canDeferLastSync() const;

    // Rounds of overwriting a file's additions before it counts as still growing.
    static constexpr int kGrowthRounds = 4;

    // Writes all passes over the first `size` bytes of fd (nothing for a size of 0 or less), then
    // over whatever the file grew by beyond the size it had when this began. fd should be open
    // read-write: the cipher pass reads each block back through it. Every pass but the last is
    // synced before the next begins whatever lastSync says.
    Outcome shredInFile(int fd, std::int64_t size, LastSync lastSync = LastSync::Now);
    // The cipher pass over the bytes from `from` up to `size`: each block is replaced by its AES
    // transformation under a new random key (zeros where the transformation fails).
    Outcome encryptFile(int fd, std::int64_t from, std::int64_t size);

    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    // The errno of the last Failed outcome.
    int lastError() const { return m_lastError; }
    // Where the last VerificationFailed found the first difference; nothing when a read failed.
    std::optional<std::int64_t> mismatchOffset() const { return m_mismatchOffset; }
    // The last file's passes that were read back all matched (false when none was read back).
    bool lastFileVerified() const { return m_lastFileVerified; }
    // The last Cancelled outcome came while a pass was read back: every pass had been written.
    bool cancelledWhileVerifying() const { return m_cancelledWhileVerifying; }
    // How many bytes of the last file every pass covered: the size given, or the size it grew to.
    std::int64_t lastFileSize() const { return m_lastFileSize; }

    FileIo& io() const { return m_io; }

    // Where the cipher pass gets its per-file key; a random 7-character name unless replaced
    // (tests fix it to check the transformation).
    void setCipherKeySource(std::function<std::string()> source) { m_cipherKeySource = std::move(source); }

private:
    // Every pass over the bytes from `from` up to `size`; verified turns false when a pass that was
    // to be read back could not be, readBack true when one was.
    Outcome shredRange(int fd, std::int64_t from, std::int64_t size, LastSync lastSync, bool& verified,
                       bool& readBack);
    Outcome writePass(int fd, std::int64_t from, std::int64_t size, PassStream& stream);
    Outcome verifyPass(int fd, std::int64_t from, std::int64_t size, PassStream& stream);
    // Whether pass cycle is read back; the cipher pass cannot be, as its bytes depend on the file's.
    bool verifies(std::uint64_t cycle) const;
    Outcome fail();
    void report(std::size_t bytes);

    std::shared_ptr<Algorithm> m_algorithm;
    std::uint64_t m_startDataBufferSize;
    FileIo& m_io;
    ShredWriterDelegate* m_delegate = nullptr;
    std::atomic<bool> m_cancel{false};
    int m_lastError = 0;
    Verification m_verification = Verification::Off;
    std::optional<std::int64_t> m_mismatchOffset;
    bool m_lastFileVerified = false;
    bool m_cancelledWhileVerifying = false;
    std::int64_t m_lastFileSize = 0;
    std::vector<std::uint8_t> m_buffer; // the one block in memory, reused across blocks and files
    std::function<std::string()> m_cipherKeySource;
};

} // namespace cv
