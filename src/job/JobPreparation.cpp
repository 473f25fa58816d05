#include "job/JobPreparation.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "job/JobContext.h"
#include "targets/PathCollectionFactory.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace cv {

namespace {

const char* flag(bool value)
{
    return value ? "1" : "0";
}

// The lost+found folder at the root of an ext file system, which fsck expects to find there.
bool isLostAndFound(const std::string& volumePath, const std::string& path)
{
    struct statfs fileSystem;
    struct stat info;
    return ::statfs(volumePath.c_str(), &fileSystem) == 0 && fileSystem.f_type == EXT4_SUPER_MAGIC &&
           ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

void JobPreparation::run()
{
    logOptions();
    createTools();
    prepareTargets();
    createResult();
    countTotals();
    if (!m_context.options->eraseFreeSpaceOnly)
        logMessage("FileCount: ", m_context.pathCollection->fileCount());
    logMessage("Algorithm: ", m_context.algorithm->selectDesc());
    m_context.progress.sendState();
}

void JobPreparation::logOptions() const
{
    const ShredOptions& options = *m_context.options;
    logMessage("Start Action ", m_action);
    logMessage("Has Volume: ", flag(options.hasVolumes));
    logMessage("Format Volume: ", flag(options.formatVolume));
    logMessage("Free Space Only: ", flag(options.eraseFreeSpaceOnly));
    logMessage("Verification: ", verificationKey(options.verification));
}

void JobPreparation::createTools()
{
    JobContext& job = m_context;
    job.progress.update([&](JobProgress::Counters& counters) {
        counters.startDate = std::chrono::steady_clock::now();
        counters.action = job.isCancelled() ? localized("Canceling...") : m_action;
        counters.curPath = localized("Initialising");

        job.writer = std::make_unique<ShredWriter>(job.algorithm, ShredWriter::kFileBlockSize);
        job.freespaceWriter = std::make_unique<FreeSpaceWriter>(job.algorithm, kFreeSpaceBlockSize);
        job.writer->setVerification(job.options->verification);
        job.freespaceWriter->setVerification(job.options->verification);
        job.freespaceCoordinator = std::make_unique<FreeSpaceCoordinator>(job.algorithm, *job.freespaceWriter,
                                                                          job.environment.volumeProbe);
        job.freespaceCoordinator->setDelegate(&job.listener);
        if (!job.environment.homeFolder.empty())
            job.freespaceCoordinator->setHomeFolder(job.environment.homeFolder);
        job.fileshredCoordinator =
            std::make_unique<FileShredCoordinator>(job.algorithm, *job.writer, job.environment.helperTool);
        job.fileshredCoordinator->setDelegate(&job.listener);
        job.fileshredCoordinator->setFilesOnly(job.options->filesOnly);
        job.fileshredCoordinator->setFilePause(job.environment.filePause);
        // A cancel that came before the job ran still holds.
        if (job.isCancelled()) {
            job.freespaceCoordinator->cancel();
            job.fileshredCoordinator->cancel();
        }
    });
}

void JobPreparation::prepareTargets()
{
    JobContext& job = m_context;
    const PathCollectionFactory factory;
    if (job.options->hasVolumes && !job.options->eraseFreeSpaceOnly)
        factory.updatePathCollection(*job.pathCollection);
    job.preparedExcludes = PreparedExcludes(job.pathCollection->excludes());
    job.wholeTargets = std::unordered_set<std::string>(job.pathCollection->wholeTargets().begin(),
                                                       job.pathCollection->wholeTargets().end());
    // A volume's mount point is where its files live, not one of them: its contents are renamed and
    // deleted, the mount point itself is left as it is, and so is an ext file system's lost+found.
    for (const auto& path : job.pathCollection->paths()) {
        if (!job.isVolume(path))
            continue;
        job.preparedExcludes.keep(path);
        const std::string lostAndFound = path + "/lost+found";
        if (isLostAndFound(path, lostAndFound))
            job.preparedExcludes.keep(lostAndFound);
    }
    // Excludes hold in the fill phase too: no fill file takes an excluded name or is removed there.
    job.freespaceCoordinator->setExcludes(&job.preparedExcludes);
}

void JobPreparation::createResult()
{
    JobContext& job = m_context;
    job.result = std::make_shared<ShredResult>();
    job.result->algorithm = job.algorithm;
    job.result->paths = job.pathCollection;
    job.result->targets = job.pathCollection->paths();
    job.result->options = job.options;
    for (TargetVolume& volume : TargetVolume::forPaths(job.pathCollection->paths())) {
        logMessage("Volume ", volume.mountPoint, ": ", volume.fileSystem,
                   volume.copyOnWrite ? " (copy-on-write)" : "", volume.snapshots ? ", with snapshots" : "");
        job.result->volumes.push_back(ShredVolume{.volume = std::move(volume)});
    }
}

void JobPreparation::countTotals()
{
    JobContext& job = m_context;
    // Progress counts every pass written and every pass read back.
    const std::uint64_t passes = job.writer->passesCounted();
    const PathCollection& paths = *job.pathCollection;
    job.progress.update([&](JobProgress::Counters& counters) {
        counters.bytesCount = paths.totalSize() * static_cast<std::int64_t>(passes);
        counters.fileCount = paths.fileCount();
        counters.fileProgress = 0;
        counters.bytesProgress = 0;
        counters.freespaceBytesProgress = 0;
        counters.errorCount = 0;
        counters.otherErrorCount = 0;
        job.result->fileCountTotal = paths.fileCount();
        job.result->bytesCountTotal = paths.totalSize();
        if (job.options->eraseFreeSpaceOnly) {
            counters.bytesCount = 0;
            counters.fileCount = 0;
            job.result->bytesCountTotal = 0;
            job.result->fileCountTotal = 0;
        }
    });
}

} // namespace cv
