#pragma once

#include "common/Expected.h"

#include <cstdint>
#include <string>

namespace cv {

class ShredContext;

// Churns a volume's metadata after its files were deleted: creates "Flush.dat" at the volume's
// root (or, when a file of that name is there, the next free name "Flush_1.dat", "Flush_2.dat", ...,
// leaving that file alone) and renames it to random names many times, committing the file system every few
// renames, so that the journal's older copies of folders, which hold the names of deleted files, are
// overwritten; then removes it.
class VolumeFlush
{
public:
    explicit VolumeFlush(ShredContext& context);

    // Fails with the system's reason when the file cannot be made, renamed or removed; a cancel
    // ends the renaming early, which is no failure.
    Expected<void, std::string> flushLog(const std::string& volumePath, std::uint64_t count);

private:
    ShredContext& m_context;
};

} // namespace cv
