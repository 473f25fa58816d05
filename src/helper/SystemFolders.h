#pragma once

#include "helper/HelperError.h"

#include <string>
#include <vector>

namespace cv {

// The system's own folders (/etc, /usr, /boot, /var/lib): what lies in them is the system's, never
// a user's selection, so the helper hands out no file of theirs for writing. Whether a file lies in
// one is decided on the file's descriptor, whatever path named it: on the path the kernel gives
// the opened file, and on where the file lies inside its file system, so that a bind mount of a
// system folder elsewhere (or of its file system's root) names its files no differently.
class SystemFolders
{
public:
    // The folders of a real system.
    static std::vector<std::string> defaults();

    // The test build of the helper names folders of its own instead.
    explicit SystemFolders(std::vector<std::string> folders = defaults());

    // Refuses the file open as fd (shown as path in the reason) when it lies in one of the folders,
    // or when where it lies cannot be told.
    HelperResult refuseInside(int fd, const std::string& path) const;

    const std::vector<std::string>& folders() const { return m_folders; }

private:
    std::vector<std::string> m_folders;
};

} // namespace cv
