#pragma once

#include "engine/ShredItem.h"
#include "engine/ShredResult.h"
#include "engine/ShredVolume.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv {

class JobProgress;
class JobSettings;
class JobTargets;
class JobTools;

// The job's result and the one place it is written: begun by the preparation, given each row and
// failure as the phases report them (failures counted in the progress too), and finished at the
// end, when every file's state is settled, the errors are counted from the rows, and the totals say
// what was really done.
class JobResultBuilder
{
public:
    explicit JobResultBuilder(JobProgress& progress) : m_progress(progress) {}

    // Before the phases: the result of the job over the prepared targets, with their volumes.
    void begin(const JobSettings& settings, const JobTargets& targets);
    // The totals as the scan counted them.
    void setTotals(std::uint64_t files, std::int64_t bytes);
    // Null until the job has begun.
    const std::shared_ptr<ShredResult>& result() const { return m_result; }

    // A file's row as per-file shredding reports it, or the failure of a folder, mount point or volume.
    void addItem(ShredItem item);
    // A folder, volume or step that failed, listed with its reason and counted apart from files.
    void addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                    std::string detail = {});
    bool hasFailureAt(const std::string& path) const;

    // A file grew by bytes (one pass's worth) since the scan.
    void addGrowth(std::int64_t bytes);
    // The free bytes a wipe is about to write: all of a free-space-only job, else an addition.
    void addFreeBytes(std::int64_t bytes, bool freeSpaceOnly);
    const std::vector<ShredVolume>& volumes() const { return m_result->volumes; }
    // The record of the volume at mountPath, added when the targets' volumes did not include it.
    ShredVolume& volumeAt(const std::string& mountPath);

    // The job's last step: settles the files' states and fills in what was really done.
    void finish(const JobSettings& settings, JobTools& tools);

private:
    // Gives every file its final state and counts the errors from them.
    void settleHistory(const JobSettings& settings, JobTools& tools);

    JobProgress& m_progress;
    std::shared_ptr<ShredResult> m_result;
};

} // namespace cv
