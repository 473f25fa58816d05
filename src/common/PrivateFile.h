#pragma once

#include "common/Expected.h"
#include "common/UniqueFd.h"

#include <string>
#include <sys/types.h>

namespace cv {

// Files the program writes for the user (logs, reports, settings, staging files) and the folders
// it makes for them: readable by the user alone, never reached through a link, and never a file
// that belongs to someone else. A report lists every deleted path and a log every shredded name;
// in a folder other users can write (a shared report folder), a link planted there must not make a
// run of this program, perhaps as root, write into a file of the link's choosing.
class PrivateFile
{
public:
    static constexpr mode_t kFileMode = 0600;
    static constexpr mode_t kFolderMode = 0700;

    // Creates folder and every missing folder above it with kFolderMode (mkdir -p). Folders that
    // exist keep their modes: the user chose them. Fails with the reason when a component cannot
    // be made or is not a folder.
    static Expected<void, std::string> createFolders(const std::string& folder);

    // Opens path for appending, creating it with kFileMode. Refuses a symbolic link (O_NOFOLLOW),
    // anything but a regular file, a file that belongs to another user, and a file with more than
    // one name (a hard link planted beside a file of the user). An existing file of the user that
    // others could read is narrowed to kFileMode.
    static Expected<UniqueFd, std::string> openForAppend(const std::string& path);

    // Opens the file name in folder for appending as openForAppend does, with folder itself
    // opened first without following a link and checked to be a folder of this user: the file is
    // made relative to that descriptor, so that a link or another user's folder in the place of
    // folder (a log folder in a report folder others can write) never chooses where it goes.
    static Expected<UniqueFd, std::string> openForAppendIn(const std::string& folder,
                                                           const std::string& name);

    // The checks of openForAppend on a descriptor already open: a regular file of this user with
    // one name; narrows its mode to kFileMode.
    static Expected<void, std::string> checkOwnFile(int fd);

    // Narrows an existing regular file of this user at path to kFileMode, through no link.
    static Expected<void, std::string> restrictFile(const std::string& path);
};

} // namespace cv
