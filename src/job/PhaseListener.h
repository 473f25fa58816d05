#pragma once

#include "engine/FileShredCoordinator.h"
#include "freespace/FreeSpaceCoordinator.h"

namespace cv {

class JobProgress;
class JobResultBuilder;
class JobSettings;
class JobTools;

// Books what the coordinators report, all on the job's worker thread, into the job's progress and
// result.
class PhaseListener : public FileShredCoordinatorDelegate, public FreeSpaceCoordinatorDelegate
{
public:
    // tools: whose writer tells how many passes a file's growth costs.
    PhaseListener(const JobSettings& settings, const JobTools& tools, JobProgress& progress,
                  JobResultBuilder& result)
        : m_settings(settings), m_tools(tools), m_progress(progress), m_result(result)
    {}

    // FileShredCoordinatorDelegate
    void fileshredWrittenBytes(std::int64_t bytes) override;
    void fileshredCurrentPath(const ItemPath& path) override;
    void fileshredAddShredItem(ShredItem item) override;
    void fileshredReportErrorForMissingBytes(std::int64_t bytes) override;
    void fileshredFileGrew(std::int64_t bytes) override;
    void fileshredRenamingPath(const std::string& text) override;
    void fileshredFlushPath(const std::string& text) override;
    void fileshredWaitingForAuthorization(bool waiting) override;
    // FreeSpaceCoordinatorDelegate
    void freespaceWrittenBytes(std::int64_t bytes) override;
    void freespaceAvailableFreeBytes(std::int64_t bytes) override;
    void freespaceBytesToWrite(std::int64_t bytes) override;
    void freespaceVolumeTitle(const std::string& title) override;
    void freespaceFailed(const std::string& mountPath, const std::string& reason) override;

private:
    const JobSettings& m_settings;
    const JobTools& m_tools;
    JobProgress& m_progress;
    JobResultBuilder& m_result;
};

} // namespace cv
