#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/QtParts.h"
#include "common/ByteCountFormatter.h"
#include "common/PathText.h"
#include "targets/PathCollectionFactory.h"
#include "tempdata/TempSearcher.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <sys/stat.h>

namespace cv::cli {

namespace {

// The folders of the categories asked for (all three when none is), those that exist.
std::vector<std::string> categoryFolders(const CommandLine& line)
{
    const std::array<std::pair<const char*, TempSearcher::Type>, 3> categories{
        std::pair{"--logs", TempSearcher::Logs}, std::pair{"--caches", TempSearcher::SystemCaches},
        std::pair{"--user-caches", TempSearcher::UserCaches}};
    const bool any = line.flag("--logs") || line.flag("--caches") || line.flag("--user-caches");
    std::vector<std::string> folders;
    for (const auto& [flag, type] : categories) {
        if (any && !line.flag(flag))
            continue;
        for (std::string folder : TempSearcher::defaultFolders(type)) {
            folder = normalizedPath(folder);
            // A category folder that is not there (no X server logs, say) has nothing to clean;
            // one that is a link is not followed out to wherever it points.
            struct stat info;
            if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                folders.push_back(folder);
        }
    }
    return folders;
}

} // namespace

// Shreds the files of the log and cache folders, as the window's temporary-data tab does: every
// folder stays in place, since services expect them. With --snapshots the privileged helper
// deletes the local snapshots beside the job; a failure there is a failure of the job.
int runCleanTempCommand(const std::vector<std::string>& args)
{
    auto flags = JobCommandSupport::flagOptions();
    flags.insert(flags.end(), {"--logs", "--caches", "--user-caches", "--snapshots"});
    const CommandLine line(args, JobCommandSupport::valueOptions(), flags);
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (!line.operands().empty()) {
        printError("clean-temp takes no paths: name the categories with --logs, --caches, --user-caches");
        return kExitUsage;
    }
    const auto method = JobCommandSupport::chooseMethod(line);
    if (printIfError(method) || printIfError(JobCommandSupport::checkReportOptions(line)))
        return kExitUsage;
    const std::shared_ptr<Algorithm>& algorithm = *method;

    auto collection =
        std::shared_ptr<PathCollection>(PathCollectionFactory().createPathCollection(categoryFolders(line)));
    auto options = std::make_shared<ShredOptions>();
    options->optionKey = "delete";
    options->filesOnly = true;
    options->removeSnapshots = line.flag("--snapshots");

    std::string question = "Shred " + std::to_string(collection->fileCount()) + " temporary files (" +
                           formatByteCount(collection->totalSize()) + ") with" + algorithm->selectDesc();
    if (options->removeSnapshots)
        question += " and delete the local snapshots";
    if (!JobCommandSupport::confirm(line, question + "?"))
        return kExitUsage;

    // The snapshots go beside the job, through the helper, as on the progress screen.
    std::unique_ptr<HelperToolClient> helper;
    std::future<std::optional<std::string>> snapshots;
    std::optional<std::string> snapshotFailure;
    if (options->removeSnapshots) {
        const auto parts = QtParts::load();
        if (parts)
            helper = (*parts)->makeHelper();
        if (helper) {
            auto promise = std::make_shared<std::promise<std::optional<std::string>>>();
            snapshots = promise->get_future();
            helper->deleteSnapshots([promise](Expected<void, std::string> outcome) {
                promise->set_value(outcome ? std::nullopt : std::optional<std::string>(outcome.error()));
            });
        } else {
            snapshotFailure = parts ? std::string("no helper client") : parts.error();
        }
    }

    FileShredder job(collection, algorithm, options);
    const auto result = JobCommandSupport::runJob(line, job);
    // The helper may never answer (a polkit question nobody sees): the result does not wait forever.
    if (snapshots.valid()) {
        if (snapshots.wait_for(std::chrono::minutes(5)) != std::future_status::ready)
            snapshotFailure = "the privileged helper did not answer";
        else
            snapshotFailure = snapshots.get();
    }
    // Snapshots the user asked to delete and that stay are a failure of the job.
    if (snapshotFailure) {
        printError("the snapshots were not removed: " + *snapshotFailure);
        result->addFailure(ShredItem::Kind::Step, "snapshots", "Snapshots could not be deleted",
                           *snapshotFailure);
    }
    return JobCommandSupport::finish(line, *result);
}

} // namespace cv::cli
