#include "common/FileTypeName.h"

#include <sys/stat.h>

namespace cv {

const char* fileTypeName(mode_t mode)
{
    if (S_ISLNK(mode))
        return "symbolic link";
    if (S_ISDIR(mode))
        return "folder";
    if (S_ISFIFO(mode))
        return "FIFO";
    if (S_ISSOCK(mode))
        return "socket";
    if (S_ISCHR(mode))
        return "character device";
    if (S_ISBLK(mode))
        return "block device";
    if (S_ISREG(mode))
        return "regular file";
    return "file of unknown type";
}

} // namespace cv
