#pragma once

#include <sys/types.h>

namespace cv {

// What kind of entry a mode describes, in words for messages: "regular file", "folder",
// "symbolic link", "FIFO", "socket", "character device" or "block device".
const char* fileTypeName(mode_t mode);

} // namespace cv
