#pragma once

#include "common/UniqueFd.h"
#include "engine/FileIdentity.h"
#include "engine/ShredItem.h"
#include "engine/ShredRecord.h"

#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <vector>

namespace cv {

class FileIo;

// Small files overwritten one after another, waiting for one sync of their file system instead of
// one device flush each. Each file's last pass is written into the page cache only, and no file of
// the batch counts as overwritten before the sync that puts them all on the device has succeeded.
// The sync is syncfs on a descriptor opened before the first file was written: it reports a failed
// write-back of any file of the file system since then, so a batch with a lost write fails whole.
// Only file systems whose syncfs writes out the data, commits and flushes the device's cache as
// fdatasync does take part (ext2/3/4, xfs, btrfs).
class SyncBatch
{
public:
    // A file of the batch: its listing as the overwrite came out, before the sync.
    struct Pending
    {
        ShredItem item;
        ShredRecord::FileId id;
        FileIdentity identity;
        std::size_t depth = 0; // in the walk that met it
    };

    // The largest file that waits: one block per pass.
    static constexpr std::int64_t kMaxFileSize = 1 << 20;
    // At most this many files and bytes wait unsynced in the page cache.
    static constexpr std::size_t kMaxFiles = 1024;
    static constexpr std::int64_t kMaxBytes = std::int64_t(64) << 20;

    // Whether the file system holding fd is one whose files may wait for one sync.
    static bool syncsWholeFileSystem(int fd);

    bool empty() const { return m_files.empty(); }
    std::size_t size() const { return m_files.size(); }
    // Whether a file of size on device may wait with the others: false when the batch is full or
    // its files lie on another device.
    bool accepts(dev_t device, std::int64_t size) const;
    // Before the first write of the first file opened on device: holds its file system open (a
    // duplicate of fd) to sync it later; false when no descriptor is left for it.
    bool hold(int fd, dev_t device);
    bool holds() const { return static_cast<bool>(m_fileSystem); }
    // A file written whose last pass waits for the sync (or that failed, listed in its turn).
    void add(Pending file, std::int64_t size);
    // Syncs the file system held; 0 or the errno of the failure. The files are taken out whatever
    // came of it, in the order they were added, and the batch is empty again.
    int sync(FileIo& io);
    std::vector<Pending> take();

private:
    UniqueFd m_fileSystem;
    dev_t m_device = 0;
    std::int64_t m_bytes = 0;
    std::vector<Pending> m_files;
};

} // namespace cv
