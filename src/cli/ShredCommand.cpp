#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/PathArguments.h"
#include "common/ByteCountFormatter.h"
#include "targets/PathCollectionFactory.h"
#include "targets/VolumeProbe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace cv::cli {

namespace {

// Refuses the volumes among the targets that this command may not empty: the startup volume
// always, the volumes the system runs from with --volume, any volume without it.
Expected<void, std::string> volumesAllowed(const std::vector<std::string>& targets,
                                           const std::string& volumeOption, const VolumeProbe& volumes)
{
    for (const auto& path : targets) {
        if (path == "/")
            return Unexpected(std::string("the startup volume / cannot be shredded"));
        if (!volumes.isVolume(path))
            continue;
        if (volumes.isHdd(path))
            return Unexpected(path +
                              " is the startup volume / under another mount point: it cannot be shredded");
        if (volumeOption.empty())
            return Unexpected(path + " is a whole volume: give --volume delete (all its files) or --volume "
                                     "complete (its free space, its files, then a new file system)");
        if (volumes.isSystemVolume(path))
            return Unexpected(path + " is a volume the system runs from: its files are not deleted and it is "
                                     "not erased (wipe-free may wipe its free space)");
    }
    return {};
}

// Targets that a "delete" job should have removed and that are still there.
bool leftoversAfter(const ShredResult& result, const FileShredder& job)
{
    if (result.canceled || !result.paths)
        return false;
    bool leftovers = false;
    for (const auto& path : result.paths->paths()) {
        struct stat info;
        const bool kept = job.preparedExcludes().contains(path);
        if (!kept && ::lstat(path.c_str(), &info) == 0) {
            std::fprintf(stderr, "%s: could not be deleted\n", path.c_str());
            leftovers = true;
        }
    }
    return leftovers;
}

} // namespace

// Shreds files, folders and, when asked, whole volumes: overwrite, rename, delete.
int runShredCommand(const std::vector<std::string>& args)
{
    auto valueOptions = JobCommandSupport::valueOptions();
    valueOptions.insert(valueOptions.end(), {"--exclude", "--volume"});
    const CommandLine line(args, valueOptions, JobCommandSupport::flagOptions());
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    const std::string volumeOption = line.value("--volume").value_or("");
    if (!volumeOption.empty() && volumeOption != "delete" && volumeOption != "complete") {
        printError("--volume takes delete or complete");
        return kExitUsage;
    }
    if (line.operands().empty()) {
        printError("shred needs at least one path");
        return kExitUsage;
    }
    const auto method = JobCommandSupport::chooseMethod(line);
    if (printIfError(method) || printIfError(JobCommandSupport::checkReportOptions(line)))
        return kExitUsage;
    const std::shared_ptr<Algorithm>& algorithm = *method;
    const VolumeProbe volumes = VolumeProbe::system();
    const auto targets = checkedTargets(line.operands(), true);
    if (printIfError(targets) || printIfError(volumesAllowed(*targets, volumeOption, volumes)))
        return kExitUsage;
    auto excludes = checkedExcludes(line.values("--exclude"), *targets);
    if (printIfError(excludes))
        return kExitUsage;

    // The scan folds targets inside other targets into them: each file is shredded once.
    auto collection = std::make_shared<PathCollection>();
    collection->setPaths(*targets);
    collection->setExcludes(std::move(*excludes));
    PathCollectionFactory().updatePathCollection(*collection);

    auto options = std::make_shared<ShredOptions>();
    options->optionKey = volumeOption.empty() ? "delete" : volumeOption;
    for (const auto& path : collection->paths())
        options->hasVolumes = options->hasVolumes || volumes.isVolume(path);
    if (volumeOption == "complete") {
        options->eraseFreeSpace = true;
        options->formatVolume = true;
    }

    const std::string question = "Shred " + std::to_string(collection->fileCount()) + " files (" +
                                 formatByteCount(collection->totalSize()) + ") with" +
                                 algorithm->selectDesc() + "?";
    if (!JobCommandSupport::confirm(line, question))
        return kExitUsage;

    FileShredder job(collection, algorithm, options);
    const auto result = JobCommandSupport::runJob(line, job);
    const bool leftovers = leftoversAfter(*result, job);
    return JobCommandSupport::finish(line, *result, leftovers);
}

} // namespace cv::cli
