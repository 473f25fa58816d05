#include "job/FileShredder.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "job/FilePhase.h"
#include "job/JobResultBuilder.h"
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
    : m_context(std::move(locations), std::move(algorithm), std::move(options))
{}

FileShredder::~FileShredder() = default;

std::string FileShredder::getAction() const
{
    const std::shared_ptr<ShredOptions>& options = m_context.options;
    if (!options || !options->hasVolumes)
        return localized("Erasing Data");
    if (options->formatVolume)
        return localized("Complete Erase");
    if (options->eraseFreeSpaceOnly)
        return localized("Freespace Erase only");
    return localized("Erasing Data");
}

void FileShredder::run()
{
    applyPriority();
    // Keeping the machine awake is a courtesy: without it the job still runs and still finishes.
    SleepInhibitor* inhibitor = m_context.environment.sleepInhibitor.get();
    const bool inhibited = inhibitor && inhibitor->acquire("Cindervault", "Cindervault Action");
    if (!inhibited)
        logLine("No sleep inhibitor could be had; the machine may sleep during the job");

    if (!m_context.options)
        m_context.options = std::make_shared<ShredOptions>();
    JobPreparation(m_context, getAction()).run();
    // A complete erase that the helper would refuse at its end is refused before anything is done.
    if (!m_context.options->formatVolume || VolumeReformat(m_context).checkBeforeStart())
        runPhases();
    JobResultBuilder(m_context).finishUpResult();

    // Released before the delegate hears of the end, which may let the job go.
    if (inhibited)
        inhibitor->release();
    if (FileShredderDelegate* delegate = m_context.progress.delegate())
        delegate->finished(m_context.result);
}

void FileShredder::runPhases()
{
    VolumePhase volumes(m_context);
    FilePhase files(m_context);
    volumes.freeSpaceErase();
    if (m_context.options->eraseFreeSpaceOnly) {
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
    if (m_context.options->formatVolume)
        VolumeReformat(m_context).formatVolumes();
}

void FileShredder::applyPriority() const
{
    const JobEnvironment& environment = m_context.environment;
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
    m_context.canceled.store(true, std::memory_order_relaxed);
    m_context.progress.update([&](JobProgress::Counters& counters) {
        if (m_context.fileshredCoordinator)
            m_context.fileshredCoordinator->cancel();
        if (m_context.freespaceCoordinator)
            m_context.freespaceCoordinator->cancel();
        counters.action = localized("Canceling...");
        counters.curPath = counters.action;
    });
    m_context.progress.sendState();
}

} // namespace cv
