#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/PathArguments.h"
#include "cli/TerminalText.h"
#include "common/ByteCountFormatter.h"
#include "job/ShredPlan.h"
#include "targets/PathCollection.h"
#include "targets/PathCollectionFactory.h"
#include "targets/VolumeProbe.h"

#include <cstdio>

namespace cv::cli {

namespace {

// Refuses the volumes among the targets that this command may not empty: the startup volume
// always, the volumes the system runs from with --volume, any volume without it.
Expected<void, std::string> volumesAllowed(ShredPlan& plan, const std::vector<std::string>& targets)
{
    ShredPlan::Verdict verdict = plan.add(targets);
    if (verdict.ok())
        verdict = plan.checkOption();
    const std::string& path = verdict.path;
    switch (verdict.refusal) {
    case ShredPlan::Refusal::None:
        return {};
    case ShredPlan::Refusal::StartupVolume:
        if (path == "/")
            return Unexpected(std::string("the startup volume / cannot be shredded"));
        return Unexpected(path + " is the startup volume / under another mount point: it cannot be shredded");
    case ShredPlan::Refusal::OptionNeeded:
        return Unexpected(path + " is a whole volume: give --volume delete (all its files) or --volume "
                                 "complete (its free space, its files, then a new file system)");
    case ShredPlan::Refusal::OptionNotAllowed:
        return Unexpected(path + " is a volume the system runs from: its files are not deleted and it is "
                                 "not erased (wipe-free may wipe its free space)");
    }
    return {};
}

// Says, before the job, which targets lie on a copy-on-write or log-structured file system: there
// overwriting in place cannot reach the copies the file system keeps elsewhere.
void warnOfCopyOnWrite(const PathCollection& collection, bool thenWipeFree, bool willFormat)
{
    bool any = false;
    for (const TargetVolume& volume : collection.volumes()) {
        if (!volume.copyOnWrite)
            continue;
        any = true;
        const std::string& where = volume.mountPoint;
        std::string text =
            "Warning: the volume " + where + " has a " + volume.fileSystem +
            " file system, which writes changes to new places (copy-on-write). Overwriting "
            "files in place cannot reach the earlier copies it keeps of them; the free space of "
            "that volume must be wiped afterwards to finish the job.";
        if (willFormat)
            text += " It is reformatted at the end of this job.";
        else if (thenWipeFree)
            text += " It is wiped after the deletion (--then-wipe-free).";
        else
            text +=
                " Give --then-wipe-free to do that in this job, or run: cindervault-cli wipe-free " + where;
        std::fprintf(stderr, "%s\n", forStream(stderr, text).c_str());
        if (volume.snapshots)
            std::fprintf(stderr,
                         "Warning: %s has snapshots (%s/.snapshots, snapper): they keep earlier copies of "
                         "files until the snapshots are deleted; neither overwriting nor a free-space wipe "
                         "reaches them.\n",
                         forStream(stderr, where).c_str(),
                         where == "/" ? "" : forStream(stderr, where).c_str());
    }
    if (thenWipeFree && !any)
        std::fprintf(stderr, "--then-wipe-free: no target lies on a copy-on-write file system; no free "
                             "space is wiped afterwards\n");
}

} // namespace

// Shreds files, folders and, when asked, whole volumes: overwrite, rename, delete.
int runShredCommand(const std::vector<std::string>& args)
{
    auto valueOptions = JobCommandSupport::valueOptions();
    valueOptions.insert(valueOptions.end(), {"--exclude", "--volume"});
    auto flagOptions = JobCommandSupport::flagOptions();
    flagOptions.push_back("--then-wipe-free");
    const CommandLine line(args, valueOptions, flagOptions);
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
    const auto verification = JobCommandSupport::chooseVerification(line);
    if (printIfError(method) || printIfError(verification) ||
        printIfError(JobCommandSupport::checkReportOptions(line)))
        return kExitUsage;
    const std::shared_ptr<Algorithm>& algorithm = *method;
    ShredPlan plan(VolumeProbe::system(), volumeOptionFromKey(volumeOption));
    const auto targets = checkedTargets(line.operands(), true);
    if (printIfError(targets) || printIfError(volumesAllowed(plan, *targets)))
        return kExitUsage;
    auto excludes = checkedExcludes(line.values("--exclude"), *targets);
    if (printIfError(excludes))
        return kExitUsage;

    // The scan folds targets inside other targets into them: each file is shredded once.
    auto collection = std::make_shared<PathCollection>();
    collection->setPaths(*targets);
    collection->setExcludes(std::move(*excludes));
    PathCollectionFactory().updatePathCollection(*collection);

    plan.setThenWipeFree(line.flag("--then-wipe-free"));
    auto options = std::make_shared<ShredOptions>(plan.shredOptions(collection.get()));
    options->verification = *verification;
    warnOfCopyOnWrite(*collection, plan.thenWipeFree(), options->formatVolume);

    const std::string question = "Shred " + std::to_string(collection->fileCount()) + " files (" +
                                 formatByteCount(collection->totalSize()) + ") with" +
                                 algorithm->selectDesc() + "?";
    if (!JobCommandSupport::confirm(line, question))
        return kExitUsage;

    FileShredder job(collection, algorithm, options);
    const auto result = JobCommandSupport::runJob(line, job);
    ShredPlan::noteLeftovers(*result, job.preparedExcludes());
    return JobCommandSupport::finish(line, *result);
}

} // namespace cv::cli
