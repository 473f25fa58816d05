#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace cv {

// What tells a file from another that was given the same device and inode number later (ext4 hands
// a freed inode number out again at once): the inode's generation (FS_IOC_GETVERSION; ext4, xfs,
// btrfs and others keep one) and its birth time (statx), each where the file system has it. A fact
// the file system does not keep is absent and decides nothing.
struct FileIdentity
{
    std::optional<std::uint32_t> generation;
    std::optional<std::pair<std::int64_t, std::uint32_t>> birth; // seconds and nanoseconds

    using Birth = std::optional<std::pair<std::int64_t, std::uint32_t>>;

    // Of the file an open descriptor holds.
    static FileIdentity of(int fd);
    // The same, with the birth time read already with the descriptor's other facts.
    static FileIdentity of(int fd, const Birth& birth);
    // Of the regular file name in dirFd (AT_FDCWD for a path), never following a link: its birth
    // time, and its generation through a short read-only opening where that is allowed. Only the
    // facts that `known` holds are read: a fact it lacks could decide nothing against it (on a file
    // system that keeps no generation, such as tmpfs, the file is not opened at all).
    static FileIdentity at(int dirFd, const char* name, const FileIdentity& known);
    // The same for a regular file whose birth time was read with its device and inode a moment
    // ago (by a walk's examination of name): only a generation that known holds is read.
    static FileIdentity examined(int dirFd, const char* name, const FileIdentity& known, const Birth& birth);

    // False only when a fact that both know differs: then they are two different files.
    bool couldBe(const FileIdentity& other) const;
};

} // namespace cv
