#pragma once

#include <string>

namespace cv {

class JobResultBuilder;
class JobSettings;
class JobTargets;
class JobTools;

// The job's volumes: wipes their free space before the files (or alone), flushes their logs, and,
// with thenWipeFree, wipes the free space of copy-on-write volumes once the deletion has freed the
// earlier copies of the files.
class VolumePhase
{
public:
    VolumePhase(const JobSettings& settings, const JobTargets& targets, JobTools& tools,
                JobResultBuilder& result)
        : m_settings(settings), m_targets(targets), m_tools(tools), m_result(result)
    {}

    void freeSpaceErase();
    void flushLog();
    // With thenWipeFree: wipes the free space of each copy-on-write volume of the targets, where
    // their earlier copies lie, once the deletion has freed them.
    void wipeFreeSpaceAfterDeletion();

private:
    // Wipes one volume's free space, then asks its file system to discard the free blocks, and
    // records both in the result's volumes.
    void wipeFreeSpaceOf(const std::string& mountPath, bool afterDeletion);

    const JobSettings& m_settings;
    const JobTargets& m_targets;
    JobTools& m_tools;
    JobResultBuilder& m_result;
};

} // namespace cv
