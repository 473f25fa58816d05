#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/PathArguments.h"
#include "common/ByteCountFormatter.h"
#include "targets/PathCollectionFactory.h"
#include "targets/Volume.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace cv::cli {

namespace {

// The targets as absolute paths; prints why and returns nothing when one cannot be shredded.
std::optional<std::vector<std::string>> checkedTargets(const CommandLine& line,
                                                       const std::string& volumeOption)
{
    std::vector<std::string> targets;
    for (const auto& operand : line.operands()) {
        const std::string path = resolvedPath(operand);
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0) {
            printError(operand + ": " + std::strerror(errno));
            return std::nullopt;
        }
        if (isHdd(path)) {
            printError("the startup volume / cannot be shredded");
            return std::nullopt;
        }
        if (isVolume(path) && volumeOption.empty()) {
            printError(path + " is a whole volume: give --volume delete (all its files) or --volume complete "
                              "(its free space, its files, then a new file system)");
            return std::nullopt;
        }
        if (std::find(targets.begin(), targets.end(), path) == targets.end())
            targets.push_back(path);
    }
    return targets;
}

// Targets that a "delete" job should have removed and that are still there.
bool leftoversAfter(const ShredResult& result, const FileShredder& job)
{
    if (result.canceled || !result.paths)
        return false;
    bool leftovers = false;
    for (const auto& path : result.paths->paths()) {
        struct stat info;
        const bool kept = job.preparedExludes().contains(path);
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
    const auto algorithm = JobCommandSupport::chooseMethod(line);
    if (!algorithm || !JobCommandSupport::checkReportOptions(line))
        return kExitUsage;
    const auto targets = checkedTargets(line, volumeOption);
    if (!targets)
        return kExitUsage;

    const PathCollectionFactory factory;
    std::shared_ptr<PathCollection> collection = factory.createPathCollection(*targets);
    std::vector<std::string> excludes;
    for (const auto& exclude : line.values("--exclude"))
        excludes.push_back(resolvedPath(exclude));
    if (!excludes.empty()) {
        collection->setExcludes(std::move(excludes));
        factory.updatePathCollection(*collection);
    }

    auto options = std::make_shared<ShredOptions>();
    options->optionKey = volumeOption.empty() ? "delete" : volumeOption;
    for (const auto& path : *targets)
        options->hasVolumes = options->hasVolumes || isVolume(path);
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
