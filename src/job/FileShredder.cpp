#include "job/FileShredder.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "job/FilePhase.h"
#include "job/JobPreparation.h"
#include "job/VolumePhase.h"
#include "job/VolumeReformat.h"

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace cv {

FileShredder::FileShredder(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                           std::shared_ptr<ShredOptions> options)
    : m_settings(std::move(algorithm), std::move(options)), m_targets(std::move(locations))
{}

FileShredder::~FileShredder() = default;

std::string FileShredder::getAction() const
{
    const ShredOptions& options = m_settings.options();
    if (!options.hasVolumes)
        return localized("Erasing Data");
    if (options.formatVolume)
        return localized("Complete Erase");
    if (options.eraseFreeSpaceOnly)
        return localized("Freespace Erase only");
    return localized("Erasing Data");
}

void FileShredder::run()
{
    applyPriority();
    // Keeping the machine awake is a courtesy: without it the job still runs and still finishes.
    SleepInhibitor* inhibitor = m_settings.environment().sleepInhibitor.get();
    const bool inhibited = inhibitor && inhibitor->acquire("Cindervault", "Cindervault Action");
    if (!inhibited)
        logLine("No sleep inhibitor could be had; the machine may sleep during the job");

    JobPreparation(m_settings, {m_tools, m_listener, m_targets, m_result, m_progress}, getAction()).run();
    // A complete erase that the helper would refuse at its end is refused before anything is done.
    VolumeReformat reformat(m_settings, m_targets, m_progress, m_result);
    if (!m_settings.options().formatVolume || reformat.checkBeforeStart())
        runPhases(reformat);
    m_result.finish(m_settings, m_tools);

    // Released before the delegate hears of the end, which may let the job go.
    if (inhibited)
        inhibitor->release();
    if (FileShredderDelegate* delegate = m_progress.delegate())
        delegate->finished(m_result.result());
}

void FileShredder::runPhases(VolumeReformat& reformat)
{
    VolumePhase volumes(m_settings, m_targets, m_tools, m_result);
    FilePhase files(m_settings, m_targets, m_tools.fileshredCoordinator());
    volumes.freeSpaceErase();
    if (m_settings.options().eraseFreeSpaceOnly) {
        volumes.flushLog();
    } else {
        files.shred();
        files.renameFilesAndFolders();
        volumes.flushLog();
        files.saveDelete();
        files.shredRecords();
        files.endHelperWork();
        volumes.wipeFreeSpaceAfterDeletion();
    }
    if (m_settings.options().formatVolume)
        reformat.formatVolumes();
}

void FileShredder::applyPriority() const
{
    const JobEnvironment& environment = m_settings.environment();
    // This thread's own class, I/O priority and nice value (Linux keeps them per thread): the
    // caller's other threads, a window's event loop among them, keep theirs. The class is set
    // first: setting it keeps the nice value the thread has.
    const auto thread = static_cast<id_t>(::gettid());
    if (environment.background) {
        const sched_param none{};
        if (::sched_setscheduler(static_cast<pid_t>(thread), SCHED_BATCH, &none) != 0)
            logMessage("The job keeps its scheduling class: ", std::strerror(errno));
        // Best effort at its lowest level rather than the idle class: the job still gets the disk
        // while another program keeps it busy, only after that program's requests.
        if (::syscall(SYS_ioprio_set, IOPRIO_WHO_PROCESS, thread, JobEnvironment::kBackgroundIoPriority) != 0)
            logMessage("The job keeps its I/O priority: ", std::strerror(errno));
    }
    if (environment.niceness && ::setpriority(PRIO_PROCESS, thread, *environment.niceness) != 0)
        logMessage("The job keeps its priority: ", std::strerror(errno));
}

void FileShredder::cancel()
{
    logLine("Cancel Triggered");
    m_settings.cancel();
    m_tools.cancel();
    m_progress.update([&](JobProgress::Counters& counters) {
        counters.action = localized("Canceling...");
        counters.curPath = counters.action;
    });
    m_progress.sendState();
}

} // namespace cv
