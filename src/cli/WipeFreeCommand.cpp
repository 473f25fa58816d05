#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/PathArguments.h"
#include "targets/VolumeProbe.h"

namespace cv::cli {

// Wipes the free space of one mounted volume, touching none of its files.
int runWipeFreeCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, JobCommandSupport::valueOptions(), JobCommandSupport::flagOptions());
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (line.operands().size() != 1) {
        printError("wipe-free takes exactly one mount point");
        return kExitUsage;
    }
    const auto method = JobCommandSupport::chooseMethod(line);
    const auto verification = JobCommandSupport::chooseVerification(line);
    if (printIfError(method) || printIfError(verification) ||
        printIfError(JobCommandSupport::checkReportOptions(line)))
        return kExitUsage;
    const std::shared_ptr<Algorithm>& algorithm = *method;
    const auto targets = checkedTargets(line.operands(), true);
    if (printIfError(targets))
        return kExitUsage;
    const std::string& mountPoint = targets->front();
    if (!VolumeProbe::system().isVolume(mountPoint)) {
        printError(mountPoint + " is not the mount point of a mounted volume");
        return kExitUsage;
    }
    if (!JobCommandSupport::confirm(line, "Wipe the free space of " + mountPoint + " with" +
                                              algorithm->selectDesc() + "?"))
        return kExitUsage;

    auto collection = std::make_shared<PathCollection>();
    collection->setPaths({mountPoint});
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->eraseFreeSpaceOnly = true;
    options->optionKey = "freespace";
    options->verification = *verification;

    FileShredder job(collection, algorithm, options);
    const auto result = JobCommandSupport::runJob(line, job);
    return JobCommandSupport::finish(line, *result);
}

} // namespace cv::cli
