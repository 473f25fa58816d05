#pragma once

#include <string>

namespace cv {

// Renames (or moves, from one folder into another) without ever replacing an existing entry; 0 or
// the errno. Where the file system cannot promise that, the target is checked first (a race with
// another writer is then possible, but no entry of ours is replaced knowingly).
int renameNoReplace(int fromFd, const std::string& from, int toFd, const std::string& to);

// Makes renames and removals of a folder's entries durable before the next phase; a failure is
// logged.
void syncFolder(int fd);

} // namespace cv
