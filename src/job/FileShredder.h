#pragma once

#include "engine/Algorithm.h"
#include "engine/FileShredCoordinator.h"
#include "engine/HelperToolClient.h"
#include "engine/ShredOptions.h"
#include "engine/ShredResult.h"
#include "engine/ShredState.h"
#include "engine/ShredWriter.h"
#include "freespace/FreeSpaceCoordinator.h"
#include "freespace/FreeSpaceWriter.h"
#include "job/FileShredderDelegate.h"
#include "job/JobContext.h"
#include "job/JobEnvironment.h"
#include "job/JobPreparation.h"
#include "job/JobProgress.h"
#include "targets/PathCollection.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace cv {

// One shred job: runs the phases its options select over a target collection with one overwrite
// method, on the calling (worker) thread, keeps the progress counters, sends snapshots at most
// every 50 ms and hands the finished result to its delegate. Phases: free-space wipe, shred,
// rename, flush, delete, reformat; which of them run depends on the action ("delete",
// "complete", "freespace").
class FileShredder
{
public:
    FileShredder(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                 std::shared_ptr<ShredOptions> options);
    ~FileShredder();

    void setDelegate(FileShredderDelegate* delegate) { m_context.progress.setDelegate(delegate); }
    // The services and settings of the program that runs the job; set before run(). The job
    // keeps the helper's address as long as it holds this environment.
    void setEnvironment(JobEnvironment environment) { m_context.environment = std::move(environment); }
    const JobEnvironment& environment() const { return m_context.environment; }

    void run();
    void cancel();

    const std::shared_ptr<ShredResult>& result() const { return m_context.result; }
    const std::shared_ptr<ShredOptions>& options() const { return m_context.options; }
    // What per-file shredding leaves in place: the excludes, the folders above them, volume mount points.
    const PreparedExcludes& preparedExcludes() const { return m_context.preparedExcludes; }

private:
    // The action the job's snapshots and log name, as its options select it.
    std::string getAction() const;
    // Gives the calling thread the environment's priority: its nice value, when it has one, and
    // the background scheduling class and I/O priority, when it asks for them.
    void applyPriority() const;
    // The phases between the preparation and the result, as the options select them.
    void runPhases();

    JobContext m_context;
};

} // namespace cv
