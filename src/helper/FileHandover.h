#pragma once

#include "common/UniqueFd.h"
#include "helper/FileOperations.h"
#include "helper/HelperError.h"
#include "helper/SystemFolders.h"

namespace cv {

// Hands a caller a file it may not write, instead of the file itself: the helper opens the examined
// entry for reading and writing and passes the descriptor on, so that the caller writes its passes
// through it while the file keeps its owner, group, mode and set-ID bits, and nothing needs giving
// back. Only a regular file with one name is handed out (another name of it may lie anywhere),
// never one with set-user-ID or set-group-ID bits, one of a kernel's file system or one in a folder
// of the system's own (SystemFolders). Every check is made on the opened descriptor, which is opened
// without following a link in any component.
class FileHandover
{
public:
    explicit FileHandover(const SystemFolders& systemFolders) : m_systemFolders(systemFolders) {}

    // The examined entry, opened O_RDWR for the caller; the helper's own descriptor is closed once the
    // answer holds its copy.
    Expected<UniqueFd, HelperError> open(const FileOperations::Entry& entry) const;
    // Refuses what open would refuse: asked before anybody is asked for a password.
    HelperResult check(const FileOperations::Entry& entry) const;
    // Refuses an entry of a list the caller is to be allowed to overwrite, rename and delete: one
    // that is no longer the examined entry, a device, FIFO or socket, or a regular file that open
    // would refuse for its bits or its place.
    HelperResult checkListed(const FileOperations::Entry& entry) const;

private:
    const SystemFolders& m_systemFolders;
};

} // namespace cv
