#include "engine/SyncBatch.h"

#include "engine/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <utility>

namespace cv {

bool SyncBatch::syncsWholeFileSystem(int fd)
{
    struct statfs fileSystem;
    if (::fstatfs(fd, &fileSystem) != 0)
        return false;
    switch (static_cast<unsigned long>(fileSystem.f_type)) {
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
        return true;
    default:
        // Others may write the data out without flushing the device's cache (vfat's syncfs does),
        // or not at all (network and FUSE file systems), or have nothing to flush (tmpfs, where a
        // file's sync costs nothing): their files are synced one by one.
        return false;
    }
}

bool SyncBatch::accepts(dev_t device, std::int64_t size) const
{
    if (size > kMaxFileSize)
        return false;
    if (m_files.empty())
        return true;
    return (!m_fileSystem || device == m_device) && m_files.size() < kMaxFiles && m_bytes + size <= kMaxBytes;
}

bool SyncBatch::hold(int fd, dev_t device)
{
    if (m_fileSystem)
        return device == m_device;
    // The duplicate shares the opened file, whose record of the file system's write-back errors
    // dates from before the first write of the batch.
    m_fileSystem.reset(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    m_device = device;
    return static_cast<bool>(m_fileSystem);
}

void SyncBatch::add(Pending file, std::int64_t size)
{
    m_bytes += size;
    m_files.push_back(std::move(file));
}

int SyncBatch::sync(FileIo& io)
{
    int error = 0;
    if (m_fileSystem && !io.syncFileSystem(m_fileSystem.get()))
        error = errno != 0 ? errno : EIO;
    m_fileSystem.reset();
    return error;
}

std::vector<SyncBatch::Pending> SyncBatch::take()
{
    m_bytes = 0;
    return std::exchange(m_files, {});
}

} // namespace cv
