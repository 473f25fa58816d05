#pragma once

#include "freespace/FreeSpaceWriter.h"
#include "targets/PreparedExcludes.h"
#include "targets/VolumeProbe.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

namespace cv {

// Told what a free-space wipe does; the shred job implements it.
class FreeSpaceCoordinatorDelegate
{
public:
    virtual ~FreeSpaceCoordinatorDelegate() = default;
    virtual void freespaceWrittenBytes(std::int64_t bytes) = 0;
    virtual void freespaceAvailableFreeBytes(std::int64_t bytes) = 0;
    virtual void freespaceBytesToWrite(std::int64_t bytes) = 0;
    virtual void freespaceVolumeTitle(const std::string& title) = 0;
    // The wipe of the volume at mountPath failed: a fill file could not be made or written for a
    // reason other than a full volume, or nothing at all could be written. reason is localized.
    virtual void freespaceFailed(const std::string& mountPath, const std::string& reason) = 0;
};

// Plans and runs the wipe of one volume's free space: fills it with numbered fill files written
// pass by pass, measures the free space again towards the end and after a full-volume failure, and
// removes every fill file it made, also when cancelled. Fill files that an interrupted wipe left
// behind are removed before a new wipe of that volume starts. Which files a wipe made is kept in a
// FillRecord beside them: a file of a fill file's name that this program did not make (or that is
// excluded) is never written, replaced or removed; the wipe takes the next free number instead.
class FreeSpaceCoordinator : public FreespaceWriterDelegate
{
public:
    // On the startup volume a wipe leaves 1/kOsReserveDivisor of the free space to the system, and
    // when it measures again at least kOsReserveMinimum.
    static constexpr std::int64_t kOsReserveDivisor = 100;
    static constexpr std::int64_t kOsReserveMinimum = 524288000;
    static constexpr std::int64_t kMinFileSize = 1048576;
    static constexpr std::int64_t kMaxFileSize = 4000000000;

    FreeSpaceCoordinator(std::shared_ptr<Algorithm> algorithm, FreeSpaceWriter& writer,
                         VolumeProbe probe = VolumeProbe::system());

    void setDelegate(FreeSpaceCoordinatorDelegate* delegate) { m_delegate = delegate; }
    // The user's home folder, under which the startup volume's fill folder lies when it is on it.
    void setHomeFolder(std::string home) { m_homeFolder = std::move(home); }
    // The job's excludes (kept alive by the job): an excluded path is never made a fill file, nor
    // removed as a leftover. None by default.
    void setExcludes(const PreparedExcludes* excludes) { m_excludes = excludes; }

    void freespaceEraseAtPath(const std::string& mountPath);
    void freespaceErase(std::int64_t space, const std::string& folder, std::int64_t maxFileSize);
    std::int64_t recalcFreespace(const std::string& path, bool isOs);
    std::int64_t getPreferedFileSizeToErase(std::int64_t space) const;
    static std::uint64_t getFileCountFor(std::int64_t space, std::int64_t maxFileSize);
    std::uint64_t getPreferedBlockSizeForSpaceToErase(std::int64_t space) const;
    // The folder for the fill files of the volume at mountPath (FillFolder); empty when the volume
    // has none.
    std::string getDeletionPathFor(const std::string& mountPath) const;
    // "/" or, as the probe answers, the file system mounted there seen through another mount point.
    bool isStartupVolume(const std::string& mountPath) const;
    std::string getVolumeNameFor(const std::string& mountPath) const;
    static std::string fillFileName(std::uint64_t number);
    // Whether the wipe of the current volume failed (told to the delegate once per volume).
    bool failed() const { return m_failed; }
    // The free space the wipe of the current volume could not write, measured while its fill
    // files held all they could: blocks the file system keeps for itself, and for a job not run
    // by root the blocks reserved for root. 0 after a cancel or a failure.
    std::int64_t unwrittenBytes() const { return m_unwritten; }

    void cancel();
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    bool notEnoughSpaceWarning() const { return m_notEnoughSpaceWarning; }

    void freespaceWrittenBytes(std::int64_t bytes) override;
    std::int64_t notEnoughSpaceToWrite(std::int64_t bytesLeft) override;

private:
    void fail(const std::string& reason, int error);
    // Measures what stays free once the fill files are written, before they are removed.
    void measureUnwritten();

    std::shared_ptr<Algorithm> m_algorithm;
    FreeSpaceWriter& m_writer;
    VolumeProbe m_probe;
    FreeSpaceCoordinatorDelegate* m_delegate = nullptr;
    std::string m_homeFolder;
    const PreparedExcludes* m_excludes = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_failed = false;
    std::int64_t m_writtenOnVolume = 0;
    std::int64_t m_unwritten = 0;
    bool m_isOsVolume = false;
    bool m_notEnoughSpaceWarning = false;
    std::string m_workingPath;
    // The device of the volume being wiped, which every fill folder must be on.
    std::optional<dev_t> m_volumeDevice;
};

} // namespace cv
