#include "engine/HelperCalls.h"

#include "common/Log.h"
#include "common/PathText.h"
#include "engine/HelperWait.h"
#include "engine/ShredContext.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

HelperCalls::HelperCalls(HelperToolClient* helperTool, ShredContext& context)
    : m_helperTool(helperTool), m_context(context)
{}

Expected<void, std::string> HelperCalls::openUp(const std::string& path, const struct stat& info)
{
    return call(path, info, Verb::OpenUp);
}

Expected<void, std::string> HelperCalls::remove(const std::string& path, const struct stat& info)
{
    return call(path, info, Verb::Delete);
}

int HelperCalls::renameInFolder(int dirFd, const std::string& from, const std::string& to)
{
    struct stat info;
    if (::fstatat(dirFd, from.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    // The folder's path as the system knows it now; the helper opens it again, link-free, and
    // acts only when the name still holds this very entry.
    std::string folder(4096, '\0');
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(dirFd)).c_str(), folder.data(), folder.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= folder.size() || folder.front() != '/')
        return EACCES;
    folder.resize(static_cast<std::size_t>(length));
    return call(joinPath(folder, from), info, Verb::Rename, to) ? 0 : EACCES;
}

void HelperCalls::restoreGivenFiles()
{
    if (!m_helperTool || !m_gaveFiles)
        return;
    m_gaveFiles = false;
    HelperWait wait;
    m_helperTool->restorePermissions(wait.reply());
    // Asks nobody: the helper gives back what it did for this caller, at once. Should it not
    // answer, it does the same when this program leaves the bus. A cancelled job gives its files
    // back too, so the cancel does not end this wait.
    switch (wait.wait(m_timeout, [] { return false; })) {
    case HelperWait::End::Answered:
        if (!wait.outcome())
            logMessage("Helper tool could not give opened-up files back: ", wait.outcome().error());
        break;
    case HelperWait::End::TimedOut:
    case HelperWait::End::Cancelled:
        logLine("Helper tool did not answer in time when giving opened-up files back");
        break;
    }
}

Expected<void, std::string> HelperCalls::call(const std::string& path, const struct stat& info, Verb verb,
                                              const std::string& newName)
{
    if (!m_helperTool)
        return Unexpected(std::string());
    if (m_context.isCancelled())
        return Unexpected(std::string("the job was cancelled"));
    SplitPath split = splitPath(path);
    if (split.parent.empty() || split.parent.front() != '/') {
        // The helper takes absolute folders only.
        std::string cwd(4096, '\0');
        if (!::getcwd(cwd.data(), cwd.size()))
            return Unexpected(std::string("the working folder cannot be named"));
        split.parent = split.parent == "." ? std::string(cwd.c_str()) : joinPath(cwd.c_str(), split.parent);
    }
    const ExaminedEntry entry{split.parent, split.name, static_cast<std::uint64_t>(info.st_dev),
                              static_cast<std::uint64_t>(info.st_ino)};
    HelperWait wait;
    switch (verb) {
    case Verb::OpenUp:
        m_helperTool->allowWriteOperationsOnPath(entry, wait.reply(), wait.askingUser());
        break;
    case Verb::Delete:
        m_helperTool->deleteFileAtPath(entry, wait.reply(), wait.askingUser());
        break;
    case Verb::Rename:
        m_helperTool->renameEntryAt(entry, newName, wait.reply(), wait.askingUser());
        break;
    }

    std::function<void(bool)> waitingForUser;
    if (FileShredCoordinatorDelegate* delegate = m_context.delegate)
        waitingForUser = [delegate](bool waiting) { delegate->fileshredWaitingForAuthorization(waiting); };
    const HelperWait::End end = wait.wait(
        m_timeout, [this] { return m_context.isCancelled(); }, waitingForUser);
    switch (end) {
    case HelperWait::End::Answered:
        break;
    case HelperWait::End::Cancelled:
        m_helperTool->withdrawCalls();
        logMessage("Helper tool call withdrawn after the cancel: ", path);
        return Unexpected(std::string("the job was cancelled"));
    case HelperWait::End::TimedOut:
        // Only this call: a question about other work of this program (the snapshots of the same
        // clean-up, whose password the user may be typing) stays.
        m_helperTool->withdrawCallsOn(entry);
        logMessage("Helper tool did not answer in time for ", path);
        return Unexpected(std::string("the privileged helper did not answer"));
    }
    if (!wait.outcome()) {
        logMessage("Helper tool refused ", path, ": ", wait.outcome().error());
        return Unexpected(wait.outcome().error());
    }
    return {};
}

} // namespace cv
