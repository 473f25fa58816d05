#pragma once

#include "common/Expected.h"

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace cv {

// The helper's distrust of its arguments, as pure functions: every path it is handed must be
// absolute, free of ".." and of NUL bytes, and not longer than the kernel takes, and every name one
// component; only a regular file is ever handed out for writing. Each check answers success, or the
// reason for a refusal.
// The checks run before anything else looks at an argument, so that neither the log nor polkit
// ever sees more of it than a bounded prefix.
class ArgumentCheck
{
public:
    static constexpr std::size_t kMaxPathLength = 4095; // PATH_MAX without its terminating NUL
    static constexpr std::size_t kMaxNameLength = 255;  // NAME_MAX
    // The most of one argument that goes into a log line or a refusal.
    static constexpr std::size_t kMaxShownLength = 512;

    // The length is checked first: the reason for a refusal quotes at most kMaxPathLength bytes.
    static Expected<void, std::string> checkPath(std::string_view path);
    // A name of one entry inside a folder: not empty, no "/" or NUL, not "." or "..", at most
    // kMaxNameLength bytes.
    static Expected<void, std::string> checkName(std::string_view name);
    // The names along an accepted path, without empty and "." components: "/a//b/./c" -> a, b, c.
    static std::vector<std::string> components(std::string_view path);
    // The path rebuilt from its components: "/a//b/./c/" -> "/a/b/c", "/" -> "/".
    static std::string normalized(std::string_view path);
    // Refuses symbolic links and everything else that is not a regular file.
    static Expected<void, std::string> checkPermissionTarget(mode_t mode);
    // An argument as it may be logged: at most limit bytes of it, control bytes escaped (so that it
    // cannot forge lines), and its full length when it was cut.
    static std::string shown(std::string_view argument, std::size_t limit = kMaxShownLength);
};

} // namespace cv
