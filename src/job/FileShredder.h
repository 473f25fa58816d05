#pragma once

#include "engine/Algorithm.h"
#include "engine/ShredOptions.h"
#include "engine/ShredResult.h"
#include "job/FileShredderDelegate.h"
#include "job/JobEnvironment.h"
#include "job/JobProgress.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"
#include "job/JobTools.h"
#include "job/PhaseListener.h"
#include "targets/PathCollection.h"
#include "targets/PreparedExcludes.h"

#include <memory>
#include <string>

namespace cv {

class VolumeReformat;

// One shred job: runs the phases its options select over a target collection with one overwrite
// method, on the calling (worker) thread, keeps the progress counters, sends snapshots at most
// every 50 ms and hands the finished result to its delegate. Phases: free-space wipe, shred,
// rename, flush, delete, reformat; which of them run depends on the action ("delete",
// "complete", "freespace").
//
// Each part of the job has one owner: the settings (method, options, environment; read-only while
// the job runs), the targets (renamed by the renaming only), the progress counters, the result
// (written through its builder only) and the tools that do the work. A phase is handed the parts
// it needs, read-only where it only reads them.
class FileShredder
{
public:
    FileShredder(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                 std::shared_ptr<ShredOptions> options);
    ~FileShredder();

    void setDelegate(FileShredderDelegate* delegate) { m_progress.setDelegate(delegate); }
    // The services and settings of the program that runs the job; set before run(). The job
    // keeps the helper's address as long as it holds this environment.
    void setEnvironment(JobEnvironment environment) { m_settings.setEnvironment(std::move(environment)); }
    const JobEnvironment& environment() const { return m_settings.environment(); }

    void run();
    void cancel();

    // Null until the job has begun.
    const std::shared_ptr<ShredResult>& result() const { return m_result.result(); }
    const std::shared_ptr<ShredOptions>& options() const { return m_settings.sharedOptions(); }
    // What per-file shredding leaves in place: the excludes, the folders above them, volume mount points.
    const PreparedExcludes& preparedExcludes() const { return m_targets.excludes(); }

private:
    // The action the job's snapshots and log name, as its options select it.
    std::string getAction() const;
    // Gives the calling thread the environment's priority: its nice value, when it has one, and
    // the background scheduling class and I/O priority, when it asks for them.
    void applyPriority() const;
    // The phases between the preparation and the result, as the options select them.
    void runPhases(VolumeReformat& reformat);

    JobSettings m_settings;
    JobTargets m_targets;
    JobProgress m_progress;
    JobResultBuilder m_result{m_progress};
    PhaseListener m_listener{m_settings, m_tools, m_progress, m_result}; // outlives the tools
    JobTools m_tools;
};

} // namespace cv
