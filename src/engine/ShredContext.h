#pragma once

#include "engine/Algorithm.h"
#include "engine/FileShredCoordinatorDelegate.h"
#include "engine/ShredRecord.h"
#include "engine/ShredWriter.h"
#include "targets/FolderWalker.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv {

// What the phases of one shred job share: the method and the writer, the delegate told of each
// step, the job's settings and cancel flag, and the record of what was done. The phases run on the
// job's worker one after another; only the cancel flag is touched from other threads.
class ShredContext
{
public:
    ShredContext(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer);

    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    // What every pass of the method together writes (and reads back) over size bytes.
    std::int64_t allPasses(std::int64_t size) const;
    // Lists an entry that failed: a file (whose full amount is booked as done), or a folder, mount
    // point or volume, which is an error of its own kind.
    void reportFailure(ItemPath path, std::int64_t size, const char* reasonKey, std::string detail,
                       ShredItem::Kind kind, std::optional<ShredRecord::FileId> id = std::nullopt);

    std::shared_ptr<Algorithm> algorithm;
    ShredWriter& writer;
    FileShredCoordinatorDelegate* delegate = nullptr;
    // Where the walks read folders from; tests make listings fail here.
    FolderWalker::DirectoryReader* reader = nullptr;
    // Folders are kept in place: only files are renamed and deleted.
    bool filesOnly = false;
    // A sleep after each file of a folder walk, when one is asked for; without it the walk goes
    // straight on to the next file.
    std::chrono::microseconds filePause{0};
    ShredRecord record;
    // The targets as the renaming left them, where the rows of files that stay are looked for.
    std::vector<std::string> targetsNow;

private:
    std::atomic<bool> m_cancel{false};
};

} // namespace cv
