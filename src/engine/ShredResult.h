#pragma once

#include "engine/Algorithm.h"
#include "engine/ShredItem.h"
#include "engine/ShredOptions.h"
#include "engine/ShredState.h"
#include "engine/ShredVolume.h"
#include "targets/PathCollection.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cv {

// The whole outcome of one job. Made when the job starts running (which sets `start`), filled by the
// job on its worker thread, and read by screens, reports and notifications only after the job said
// it finished. Byte totals here are one-pass figures.
struct ShredResult
{
    using Clock = std::chrono::system_clock;

    Clock::time_point start = Clock::now();
    Clock::time_point end{};
    std::shared_ptr<Algorithm> algorithm;
    std::shared_ptr<ShredState> lastState;
    std::shared_ptr<PathCollection> paths; // the job's own collection, renamed targets included
    std::vector<std::string> targets;      // the targets as the user chose them, before any renaming
    std::shared_ptr<ShredOptions> options;
    std::vector<ShredItem> history;   // every file examined and every other failure, in processing order
    std::vector<ShredVolume> volumes; // the volumes the targets lie on, with what was done there
    bool canceled = false;
    std::uint64_t fileCountTotal = 0;
    std::uint64_t fileCountFinished = 0; // files overwritten completely, plus the files that failed
    std::uint64_t errorCount = 0;        // files that did not end as meant (not overwritten, or still there)
    std::uint64_t otherErrorCount = 0;   // folders, mount points, volumes and steps that failed
    std::int64_t bytesCountTotal = 0;
    std::int64_t bytesCountFinished = 0; // really written: files overwritten completely, free space
    std::uint64_t fileCountRemoved = 0;  // files overwritten completely and then deleted
    std::int64_t bytesCountRemoved = 0;

    enum class Status
    {
        Success,
        Errors,
        Cancelled,
    };
    // What the job came to: the one outcome that titles, exit statuses and notices all show.
    Status status() const
    {
        if (canceled)
            return Status::Cancelled;
        return errorCount + otherErrorCount > 0 ? Status::Errors : Status::Success;
    }
    // The files a cancel left overwritten in part, in processing order.
    std::vector<const ShredItem*> overwrittenInPart() const
    {
        std::vector<const ShredItem*> files;
        for (const ShredItem& item : history) {
            if (item.state == ShredItem::State::OverwrittenInPart)
                files.push_back(&item);
        }
        return files;
    }
    // The job's volume that holds path: the one whose mount point is the longest that contains it.
    const ShredVolume* volumeOf(const std::string& path) const
    {
        const ShredVolume* found = nullptr;
        for (const ShredVolume& volume : volumes) {
            const std::string& mount = volume.volume.mountPoint;
            const bool holds =
                mount == "/" || path == mount ||
                (path.starts_with(mount) && path.size() > mount.size() && path[mount.size()] == '/');
            if (holds && !mount.empty() && (!found || mount.size() > found->volume.mountPoint.size()))
                found = &volume;
        }
        return found;
    }
    // A file the job overwrote on a copy-on-write volume whose free space was not wiped after the
    // deletion: the file system wrote the passes to new blocks, so the old content may remain in
    // blocks it counts as free until that free space is wiped. The volume, or nothing.
    const ShredVolume* oldContentMayRemain(const ShredItem& item) const
    {
        if (item.kind != ShredItem::Kind::File || item.state == ShredItem::State::NotOverwritten)
            return nullptr;
        const ShredVolume* volume = volumeOf(item.path.str());
        if (!volume || !volume->volume.copyOnWrite || (volume->freeSpaceWiped && volume->wipedAfterDeletion))
            return nullptr;
        return volume;
    }
    // The mount points of the volumes where the old content of overwritten files may remain, in the
    // order of the volumes.
    std::vector<std::string> volumesWithOldContent() const
    {
        std::vector<std::string> mounts;
        for (const ShredVolume& volume : volumes) {
            if (std::any_of(history.begin(), history.end(),
                            [&](const ShredItem& item) { return oldContentMayRemain(item) == &volume; }))
                mounts.push_back(volume.volume.mountPoint);
        }
        return mounts;
    }
    // A failed folder, mount point, volume or step, listed under its path with the reason (a key of
    // the program's texts) and the system's words.
    void addFailure(ShredItem::Kind kind, ItemPath path, const char* reasonKey, std::string detail = {})
    {
        ShredItem item;
        item.path = std::move(path);
        item.kind = kind;
        item.because(reasonKey, std::move(detail));
        history.push_back(std::move(item));
        ++otherErrorCount;
    }
};

} // namespace cv
