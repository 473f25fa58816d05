#pragma once

#include "common/ConfirmedVolume.h"
#include "engine/Algorithm.h"
#include "engine/FileShredCoordinator.h"
#include "engine/ShredItem.h"
#include "engine/ShredOptions.h"
#include "engine/ShredResult.h"
#include "engine/ShredWriter.h"
#include "freespace/FreeSpaceCoordinator.h"
#include "freespace/FreeSpaceWriter.h"
#include "job/JobEnvironment.h"
#include "job/JobProgress.h"
#include "job/PhaseListener.h"
#include "targets/PathCollection.h"
#include "targets/PreparedExcludes.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace cv {

// What the phases of one shred job share: its targets, method and options, the program's
// environment, the result it builds, its progress, and the writers and coordinators that do the work.
class JobContext
{
public:
    JobContext(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
               std::shared_ptr<ShredOptions> options);

    bool isCancelled() const { return canceled.load(std::memory_order_relaxed); }
    bool isVolume(const std::string& path) const;
    // Whether the folders of a target stay (a files-only job), or the target goes whole.
    void keepFoldersOf(const std::string& target);
    // A folder, volume or step that failed, listed with its reason and counted apart from files.
    void addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                    std::string detail = {});
    bool hasFailureAt(const std::string& path) const;

    std::shared_ptr<PathCollection> pathCollection;
    std::shared_ptr<Algorithm> algorithm;
    std::shared_ptr<ShredOptions> options;
    std::shared_ptr<ShredResult> result;
    JobEnvironment environment;
    JobProgress progress;
    std::atomic<bool> canceled{false};
    PhaseListener listener{*this}; // outlives the coordinators that report to it

    std::unique_ptr<ShredWriter> writer;
    std::unique_ptr<FreeSpaceWriter> freespaceWriter;
    std::unique_ptr<FreeSpaceCoordinator> freespaceCoordinator;
    std::unique_ptr<FileShredCoordinator> fileshredCoordinator;
    PreparedExcludes preparedExcludes;
    std::vector<std::string> targetsBeforeRenaming; // the collection's paths as the job began
    // The volumes of a complete erase as the job found them when it began, the ones the user
    // confirmed: the helper reformats each only while it is still that volume.
    std::map<std::string, ConfirmedVolume> confirmedVolumes;
    std::unordered_set<std::string> wholeTargets; // targets that go whole in a files-only job
};

} // namespace cv
