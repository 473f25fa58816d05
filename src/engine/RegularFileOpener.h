#pragma once

#include "common/UniqueFd.h"
#include "targets/FolderWalker.h"

#include <string>
#include <sys/stat.h>

namespace cv {

// Opens a file for overwriting only when it is a regular file, and only the very file that was
// examined: never through a symbolic link (O_NOFOLLOW), never blocking on a FIFO or device
// (O_NONBLOCK), and checked after opening to be the same device and inode. Before it is opened for
// writing, the file is opened without access (O_PATH) and its file system looked at: a file of the
// kernel's (KernelFileSystem) is never opened for writing, and a file on a read-only file system
// says so at once, whatever its permissions. Everything the engine overwrites is opened through here.
class RegularFileOpener
{
public:
    enum class Status
    {
        Opened,
        Missing,     // nothing at the path
        NotRegular,  // a link, folder, FIFO, socket or device
        Replaced,    // the entry changed between examination and opening
        NotWritable, // permission denied
        ReadOnly,    // the file system, or its mount, is read-only: nobody may write it
        KernelFile,  // on a file system of the kernel's (proc, sysfs, ...): no data
        OpenFailed,  // any other failure to open
    };

    struct Result
    {
        Status status = Status::OpenFailed;
        UniqueFd fd;
        struct stat info = {};
        FolderWalker::BirthTime birth; // Opened: the opened file's, read with info
        int error = 0;                 // errno of the failing call
        std::string fileSystem;        // KernelFile: which file system, in words
    };

    // Examines `name` relative to dirFd (AT_FDCWD for a plain path) without following links, then
    // opens it read-write.
    static Result open(int dirFd, const char* name);
    // What the caller knows of the file's file system: nothing, or that it holds data (a walk's
    // entry lies on the file system of the walk's root, which the walk checked and holds open).
    enum class FileSystem
    {
        Unknown,
        HoldsData,
    };
    // Opens `name` when it is still the file `expected` describes (from an earlier fstatat).
    static Result openExamined(int dirFd, const char* name, const struct stat& expected,
                               FileSystem where = FileSystem::Unknown);

    // A descriptor opened for this process by someone else (the privileged helper), checked to be
    // the file `expected` describes, a regular file open for writing.
    static Result handedOver(UniqueFd fd, const struct stat& expected);

    // The reason in words, for messages.
    static std::string describe(const Result& result);
};

} // namespace cv
