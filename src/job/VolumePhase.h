#pragma once

#include <string>

namespace cv {

class JobContext;

// The job's volumes: wipes their free space before the files (or alone), flushes their logs, and,
// with thenWipeFree, wipes the free space of copy-on-write volumes once the deletion has freed the
// earlier copies of the files.
class VolumePhase
{
public:
    explicit VolumePhase(JobContext& context) : m_context(context) {}

    void freeSpaceErase();
    void flushLog();
    // With thenWipeFree: wipes the free space of each copy-on-write volume of the targets, where
    // their earlier copies lie, once the deletion has freed them.
    void wipeFreeSpaceAfterDeletion();

private:
    // Wipes one volume's free space, then asks its file system to discard the free blocks, and
    // records both in the result's volumes.
    void wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion);

    JobContext& m_context;
};

} // namespace cv
