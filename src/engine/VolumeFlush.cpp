#include "engine/VolumeFlush.h"

#include "common/KernelFileSystem.h"
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
#include <optional>
#include <unistd.h>

namespace cv {

namespace {

constexpr const char* kFlushFileName = "Flush.dat";
// How many names the flush tries past files of the flush file's name that are not its own.
constexpr int kMaxNameTries = 1000;
constexpr std::size_t kFlushNameLength = 15;
constexpr int kFlushFailuresTolerated = 10;
// The flush commits the file system every this many renames. Each commit writes the root folder to
// the file system's journal again, so that the journal's older copies of folders, which hold the
// names of deleted files, are overwritten: 5,000 commits of a few blocks each wrap a journal of
// 8 MiB (ext4's on volumes up to a few GB). Without commits the renames meet in one transaction
// and the journal keeps the names.
constexpr std::uint64_t kFlushRoundsPerCommit = 2;

// "Flush.dat", else "Flush_1.dat", "Flush_2.dat", ...: the first name that is free.
std::string flushFileName(int number)
{
    return number == 0 ? std::string(kFlushFileName) : "Flush_" + std::to_string(number) + ".dat";
}

// Creates the flush file in the open folder under the first free name (O_EXCL: a file that is
// already there may be somebody's, and is never opened); its name, or nothing with errno set.
std::optional<std::string> createFlushFile(int folderFd, const std::string& volumePath)
{
    for (int number = 0; number < kMaxNameTries; ++number) {
        std::string name = flushFileName(number);
        const UniqueFd file(
            ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file)
            return name;
        if (errno != EEXIST)
            return std::nullopt;
        logMessage("A file of the flush file's name is not this job's; the next name is taken: ",
                   joinPath(volumePath, name));
    }
    errno = EEXIST;
    return std::nullopt;
}

} // namespace

VolumeFlush::VolumeFlush(ShredContext& context) : m_context(context) {}

Expected<void, std::string> VolumeFlush::flushLog(const std::string& volumePath, std::uint64_t count)
{
    if (m_context.isCancelled())
        return {};
    if (m_context.delegate)
        m_context.delegate->fileshredFlushPath(localized("Renaming Files"));

    UniqueFd rootFd(::open(volumePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (const auto kernel = rootFd ? KernelFileSystem::of(rootFd.get()) : std::nullopt) {
        logMessage("Not flushing ", volumePath, ": ", kernel->refusal(volumePath, true));
        return Unexpected(kernel->describe() + ", not data");
    }
    const std::optional<std::string> created =
        rootFd ? createFlushFile(rootFd.get(), volumePath) : std::nullopt;
    if (!created) {
        const int error = errno;
        logMessage("Cannot create the flush file on ", volumePath, ": ", std::strerror(error));
        return Unexpected(std::string(std::strerror(error)));
    }

    std::string current = *created;
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
