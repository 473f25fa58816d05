#pragma once

#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cv {

class HelperCalls;
class ShredContext;
class TargetWalk;

// The second phase of a shred job: renames what the overwrite walk left to go, files and folders,
// to random names, each entry once per pass of the method, so that the old names do not stay in
// the folders on the device. Files not overwritten, mount points, excluded items and the folders
// that hold any of them keep their names and places, so that the user finds them where they were.
// A rename never replaces an existing entry; in a folder the process may not write, the helper
// renames the entry in place.
class RenamePhase
{
public:
    RenamePhase(ShredContext& context, HelperCalls& helper);

    // Renames path (and, for a folder, everything in it); returns the new path, or path unchanged.
    std::string renameAtPath(const std::string& path, const PreparedExcludes& excludes);
    // Renames everything under folder; true when something in it stays.
    bool renameInFolder(const std::string& folder, const PreparedExcludes& excludes);

private:
    // A folder whose contents flatten() moves up into the holder.
    struct Pending
    {
        std::string path; // within the holder; one name unless a folder could not be moved
        struct stat info;
        std::size_t relativeLength;
    };

    // renameAtPath() of a target without trailing slashes.
    std::string renameTarget(const std::string& path, const PreparedExcludes& excludes);
    bool keepsItsPlace(const TargetWalk& walk, const FolderWalker::Entry& entry) const;
    // After everything below the entry: renames it unless it stays, and flattens a folder.
    void renameWalked(TargetWalk& walk, const FolderWalker::Entry& entry);
    // Renames name in dirFd `rounds` times to random names of `length` characters, the first
    // round moving it into toFd (dirFd itself, or a folder above it); the name it ends with, or
    // nothing when no round succeeded.
    std::optional<std::string> renameEntryAt(int dirFd, const std::string& name, int toFd, std::size_t length,
                                             std::string_view path, std::uint64_t rounds);
    // One round: a few random names are tried while they clash; 0 or the errno of the failure.
    int renameOnce(int& currentFd, std::string& current, int toFd, std::size_t length);
    // Renames everything in the folder `name` of holderFd (itself renamed already) by moving it up
    // into the holder; true when something in it stays.
    bool flatten(int holderFd, std::string_view holderPath, const std::string& name, const struct stat& info,
                 std::size_t relativeLength);
    // Moves one entry of the pending folder (open as fd) up into the holder, or renames it where
    // it is; true when it stays.
    bool flattenEntry(int holderFd, std::string_view holderPath, const Pending& folder, int fd,
                      const std::string& entryName, std::deque<Pending>& pending);
    // Whether a progress text is due: texts that cost the length of a path go out a few times a
    // second, not once per entry.
    bool reportDue();

    ShredContext& m_context;
    HelperCalls& m_helper;
    bool m_helperRenameRefused = false; // the helper would not rename an entry for this job
    bool m_renamedByHelper = false;     // the last renameOnce went through the helper
    std::chrono::steady_clock::time_point m_lastReport{};
};

} // namespace cv
