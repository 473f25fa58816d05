#pragma once

#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace cv {

// The entries of a job's targets that the job will need the privileged helper for, found before
// anything is changed so that the user is asked once for the whole job: regular files with one name
// that the process may not write, and every entry in a folder the process may not write (it is
// renamed and deleted there). Excluded entries, mount points and the kernel's file systems are
// left out, as the job leaves them.
class ProtectedEntries
{
public:
    using Listed = std::pair<std::string, struct stat>; // the path, as examined

    // Walks every target; reader is where folders are read from (nullptr: the file system).
    static std::vector<Listed> collect(const std::vector<std::string>& targets,
                                       const PreparedExcludes& excludes,
                                       FolderWalker::DirectoryReader* reader = nullptr);

private:
    static void collectTarget(const std::string& target, const PreparedExcludes& excludes,
                              FolderWalker::DirectoryReader* reader, std::vector<Listed>& listed);
};

} // namespace cv
