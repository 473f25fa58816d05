#include "cli/CliLog.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/QtParts.h"
#include "cli/TerminalText.h"
#include "common/ByteCountFormatter.h"
#include "common/Localization.h"
#include "common/PathText.h"
#include "targets/PathCollectionFactory.h"
#include "tempdata/SystemState.h"
#include "tempdata/TempCategories.h"
#include "tempdata/TempSearcher.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <sys/stat.h>

namespace cv::cli {

namespace {

// The categories asked for (when none is: every one for root, and for anyone else the user's own
// ones, the user caches and the Trash; the Trash alone for empty-trash), each scanned as the
// window's temporary-data screen scans it and merged into one collection. What the system's cache folders
// hold as state is left out and named in kept; folders a category left alone are said on standard
// error.
std::shared_ptr<PathCollection> categoryCollection(const CommandLine& line, bool trashOnly,
                                                   JobCommandSupport::KeptPaths& kept)
{
    const auto categories = TempCategories::rows();
    const bool any = std::ranges::any_of(
        categories, [&](const TempCategories::Row& row) { return line.flag(std::string(row.flag)); });
    const bool administrator = TempSearcher::runsAsAdministrator();
    const auto asked = [&](const TempCategories::Row& row) {
        if (trashOnly)
            return row.type == TempCategories::Trash;
        return any ? line.flag(std::string(row.flag))
                   : TempSearcher::chosenByDefault(row.type, administrator);
    };
    std::vector<std::shared_ptr<PathCollection>> parts;
    for (const TempCategories::Row& row : categories) {
        if (!asked(row))
            continue;
        TempCategories::Found found = TempCategories::foldersOf(row);
        for (const std::string& why : found.refused)
            std::fprintf(stderr, "%s left alone: %s\n", row.title, forStream(stderr, why).c_str());
        std::vector<std::string> folders;
        for (std::string folder : found.folders) {
            folder = normalizedPath(folder);
            // A category folder that is not there (no X server logs, say) has nothing to clean;
            // one that is a link is not followed out to wherever it points.
            struct stat info;
            if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                folders.push_back(folder);
        }
        for (const SystemState::Kept& entry : TempCategories::keptIn(row, folders))
            kept.emplace_back(entry.path, localized(entry.reason));
        parts.push_back(TempCategories::collect(row, folders));
    }
    std::vector<const PathCollection*> chosen;
    for (const auto& part : parts)
        chosen.push_back(part.get());
    return PathCollectionFactory::mergePathCollections(chosen);
}

// The options that name the categories, in the table's order.
std::vector<std::string> categoryFlags()
{
    std::vector<std::string> flags;
    for (const TempCategories::Row& row : TempCategories::rows())
        flags.emplace_back(row.flag);
    return flags;
}

// The job of clean-temp; with trashOnly the Trash alone, whatever the categories say.
int cleanTemp(const CommandLine& line, bool trashOnly);

} // namespace

// Shreds the files of the log and cache folders, as the window's temporary-data tab does: every
// folder stays in place, since services expect them; and the Trash, whose trashed items go whole
// with their records. With --snapshots the privileged helper deletes the local snapshots beside
// the job; a failure there is a failure of the job.
int runCleanTempCommand(const std::vector<std::string>& args)
{
    auto flags = JobCommandSupport::flagOptions();
    const std::vector<std::string> categories = categoryFlags();
    flags.insert(flags.end(), categories.begin(), categories.end());
    flags.push_back("--snapshots");
    return cleanTemp(CommandLine(args, JobCommandSupport::valueOptions(), flags), false);
}

// The Trash alone: clean-temp --trash.
int runEmptyTrashCommand(const std::vector<std::string>& args)
{
    return cleanTemp(CommandLine(args, JobCommandSupport::valueOptions(), JobCommandSupport::flagOptions()),
                     true);
}

namespace {

int cleanTemp(const CommandLine& line, bool trashOnly)
{
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (!line.operands().empty()) {
        std::string flags;
        for (const std::string& flag : categoryFlags())
            flags += (flags.empty() ? "" : ", ") + flag;
        printError(trashOnly ? "empty-trash takes no paths"
                             : "clean-temp takes no paths: name the categories with " + flags);
        return kExitUsage;
    }
    const auto method = JobCommandSupport::chooseMethod(line);
    const auto verification = JobCommandSupport::chooseVerification(line);
    if (printIfError(method) || printIfError(verification) ||
        printIfError(JobCommandSupport::checkReportOptions(line)))
        return kExitUsage;
    const std::shared_ptr<Algorithm>& algorithm = *method;

    // The system's state under its cache folders stays, left out of the totals and the job; trashed
    // items go whole, folders and all, and their records after them.
    JobCommandSupport::KeptPaths kept;
    const std::shared_ptr<PathCollection> collection = categoryCollection(line, trashOnly, kept);
    auto options = std::make_shared<ShredOptions>();
    options->optionKey = "delete";
    options->filesOnly = true;
    options->verification = *verification;
    options->removeSnapshots = line.flag("--snapshots");

    std::string question = "Shred " + std::to_string(collection->fileCount()) + " temporary files (" +
                           formatByteCount(collection->totalSize()) + ") with" + algorithm->selectDesc();
    if (options->removeSnapshots)
        question += " and delete the local snapshots";
    if (!JobCommandSupport::confirm(line, question + "?"))
        return kExitUsage;

    // The snapshots go beside the job, through the helper, as on the progress screen. Log lines
    // go where --verbose says from here on, the helper's too.
    CliLog::setUp(line.flag("--verbose"));
    HelperAccess helper(line, options->removeSnapshots);
    std::future<std::optional<std::string>> snapshots;
    std::optional<std::string> snapshotFailure;
    if (options->removeSnapshots) {
        if (helper.client()) {
            auto promise = std::make_shared<std::promise<std::optional<std::string>>>();
            snapshots = promise->get_future();
            helper.client()->deleteSnapshots(
                [promise](Expected<void, std::string> outcome) {
                    promise->set_value(outcome ? std::nullopt : std::optional<std::string>(outcome.error()));
                },
                // The user is asked for a password: said on the terminal, as for every helper call.
                [] {
                    std::fprintf(stderr, "Removing snapshots: %s\n",
                                 localized("Waiting for authorization...").c_str());
                });
        } else {
            snapshotFailure = helper.unavailable();
        }
    }

    FileShredder job(collection, algorithm, options);
    const auto result = JobCommandSupport::runJob(line, job, &helper);
    // The helper may never answer (a polkit question nobody sees): the result does not wait forever.
    if (snapshots.valid()) {
        if (snapshots.wait_for(std::chrono::minutes(5)) != std::future_status::ready)
            snapshotFailure = "the privileged helper did not answer";
        else
            snapshotFailure = snapshots.get();
    }
    // Snapshots the user asked to delete and that stay are a failure of the job, said on standard
    // error with the other failures.
    if (snapshotFailure) {
        result->addFailure(ShredItem::Kind::Step, "snapshots", "Snapshots could not be deleted",
                           *snapshotFailure);
    }
    return JobCommandSupport::finish(line, *result, kept);
}

} // namespace

} // namespace cv::cli
