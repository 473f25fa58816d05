#pragma once

#include <cstddef>
#include <sys/types.h>

namespace cv {

// The few file calls the writers make, behind one seam so that tests can watch the order of writes
// and syncs, and make a call fail, without a special file system. The default forwards to the kernel.
class FileIo
{
public:
    virtual ~FileIo() = default;
    // Write or read all of it, retrying short transfers and EINTR. Return false with errno set
    // on failure; a read that meets the end of the file early stops there and reports what it got.
    virtual bool writeAll(int fd, const void* data, std::size_t length, off_t offset);
    virtual ssize_t readUpTo(int fd, void* data, std::size_t length, off_t offset);
    virtual bool dataSync(int fd);
    // Writes out and commits everything of the file system that holds fd (syncfs); false with
    // errno set when the sync, or any write-back on that file system since fd was opened, failed.
    virtual bool syncFileSystem(int fd);
    // One read of a descriptor opened with O_DIRECT: a short count means the end of the file, since
    // a further read at an unaligned offset would be refused.
    virtual ssize_t readDirect(int fd, void* data, std::size_t length, off_t offset);
    // Called after a pass is synced and before it is read back for comparison; nothing here. Tests
    // change the file in between to see the comparison find it.
    virtual void readingBack(int fd) { static_cast<void>(fd); }

    // The process-wide kernel-backed instance.
    static FileIo& system();
};

} // namespace cv
