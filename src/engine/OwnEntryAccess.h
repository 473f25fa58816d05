#pragma once

#include "engine/RegularFileOpener.h"

#include <functional>
#include <sys/stat.h>

namespace cv {

// The job's own files and folders whose mode keeps the job out (a read-only file of one's own, as
// every object of a git repository is, or a read-only folder of one's own): the job makes them
// writable itself, as `shred -f` and `rm -rf` do, and gives each its mode back as soon as the one
// step is done. Only files and folders whose owner is the process's effective user are touched
// this way; the privileged helper is for other users' files only.
class OwnEntryAccess
{
public:
    // Opens the regular file name in dirFd, examined as expected, for writing when it is the
    // process's own file and its mode alone forbids writing: the file is made writable for its
    // owner on a descriptor of that very file, opened for writing, and given its mode back at once
    // (the descriptor stays writable). Anything else is answered NotWritable, as before.
    static RegularFileOpener::Result openOwnFile(int dirFd, const char* name, const struct stat& expected);

    // A change of an entry in the folder dirFd (a rename or a removal) that failed with error:
    // when error is a missing permission and the folder is the process's own, the folder is made
    // writable and searchable for its owner, the change is tried again, and the folder gets its
    // mode back. dirFd may be AT_FDCWD with path the entry's path. Answers the change's errno.
    static int inOwnFolder(int dirFd, const char* path, int error, const std::function<int()>& change);
    // The same for a move from one folder to another: both are opened for the moment of the move.
    static int inOwnFolders(int fromFd, int toFd, int error, const std::function<int()>& change);
};

} // namespace cv
