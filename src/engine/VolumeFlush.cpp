#include "engine/VolumeFlush.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/SecureRandom.h"
#include "common/UniqueFd.h"
#include "engine/EntryRename.h"
#include "engine/ShredContext.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr const char* kFlushFileName = "Flush.dat";
constexpr std::size_t kFlushNameLength = 15;
constexpr int kFlushFailuresTolerated = 10;
// The flush commits the file system every this many renames. Each commit writes the root folder to
// the file system's journal again, so that the journal's older copies of folders, which hold the
// names of deleted files, are overwritten: 5,000 commits of a few blocks each wrap a journal of
// 8 MiB (ext4's on volumes up to a few GB). Without commits the renames meet in one transaction
// and the journal keeps the names.
constexpr std::uint64_t kFlushRoundsPerCommit = 2;

} // namespace

VolumeFlush::VolumeFlush(ShredContext& context) : m_context(context) {}

Expected<void, std::string> VolumeFlush::flushLog(const std::string& volumePath, std::uint64_t count)
{
    if (m_context.isCancelled())
        return {};
    if (m_context.delegate)
        m_context.delegate->fileshredFlushPath(localized("Renaming Files"));

    UniqueFd rootFd(::open(volumePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // O_EXCL: a "Flush.dat" that is already there may be somebody's file; it is left alone.
    UniqueFd flushFd(rootFd ? ::openat(rootFd.get(), kFlushFileName,
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                            : -1);
    if (!flushFd) {
        const int error = errno;
        logMessage("Cannot create the flush file on ", volumePath, ": ", std::strerror(error));
        return Unexpected(std::string(std::strerror(error)));
    }
    flushFd.reset();

    std::string current = kFlushFileName;
    int failures = 0;
    int lastError = 0;
    for (std::uint64_t round = 0; round < count; ++round) {
        const std::string candidate = SecureRandom::alphanumeric(kFlushNameLength);
        const int error = renameNoReplace(rootFd.get(), current, rootFd.get(), candidate);
        if (error == 0) {
            current = candidate;
        } else {
            logMessage("oops: ", std::strerror(error));
            lastError = error;
            if (++failures > kFlushFailuresTolerated)
                break;
        }
        if (m_context.isCancelled())
            break;
        if ((round + 1) % kFlushRoundsPerCommit == 0)
            ::syncfs(rootFd.get());
    }
    if (::unlinkat(rootFd.get(), current.c_str(), 0) != 0) {
        lastError = errno;
        failures = kFlushFailuresTolerated + 1;
        logMessage("Cannot remove the flush file ", joinPath(volumePath, current), ": ",
                   std::strerror(lastError));
    }
    syncFolder(rootFd.get());
    if (failures > kFlushFailuresTolerated)
        return Unexpected(std::string(std::strerror(lastError)));
    return {};
}

} // namespace cv
