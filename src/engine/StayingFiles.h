#pragma once

#include "engine/ShredItem.h"

#include <string>
#include <vector>

namespace cv {

// Finds where the files that stay are now. A file that stays (not overwritten, a removal that
// failed, a cancel) may have been renamed before its removal failed, or may lie in a folder that
// was renamed (a read-only remount between renaming and deleting, a cancel while folders were
// emptied): its row then names the path where it is now, and keeps the path the user knew beside
// it. Rows whose path still names their file are left as they are; only when one does not are the
// targets walked, as they are named now.
class StayingFiles
{
public:
    static void locate(std::vector<ShredItem>& history, const std::vector<std::string>& targetsNow);

private:
    // Whether the row's path names the very file of the row.
    static bool namesItsFile(const ShredItem& item);
};

} // namespace cv
