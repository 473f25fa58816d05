#include "engine/HelperCalls.h"

#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "engine/HelperWait.h"
#include "engine/ShredContext.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cv {

HelperCalls::HelperCalls(HelperToolClient* helperTool, ShredContext& context)
    : m_helperTool(helperTool), m_context(context)
{}

void HelperCalls::allowEntries(const std::vector<std::pair<std::string, struct stat>>& listed)
{
    if (!m_helperTool || listed.empty() || m_context.isCancelled())
        return;
    std::vector<ExaminedEntry> entries;
    std::vector<const std::string*> paths;
    entries.reserve(listed.size());
    for (const auto& [path, info] : listed) {
        if (auto entry = examinedEntry(path, info)) {
            entries.push_back(std::move(*entry));
            paths.push_back(&path);
        }
    }
    if (entries.empty())
        return;
    logMessage("Asking the helper once for ", entries.size(), " protected entries of the job");
    HelperWait wait;
    m_helperTool->allowEntries(entries, wait.listReply(), wait.askingUser());
    if (const auto answered = await(wait, *paths.front()); !answered) {
        // The user said no: asking again for each entry would only repeat the question.
        if (answered.error().find(HelperToolProtocol::errorAccessDenied) != std::string::npos)
            m_refusal = answered.error();
        return;
    }
    m_allowedEntries = true;
    const std::vector<std::string>& reasons = wait.reasons();
    for (std::size_t i = 0; i < reasons.size() && i < paths.size(); ++i) {
        if (!reasons[i].empty())
            logMessage("Helper tool refused ", *paths[i], ": ", reasons[i]);
    }
}

Expected<UniqueFd, std::string> HelperCalls::openForWriting(const std::string& path, const struct stat& info)
{
    UniqueFd file;
    if (auto opened = call(path, info, Verb::Open, std::string(), &file); !opened)
        return Unexpected(std::move(opened).error());
    return file;
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

void HelperCalls::endJob()
{
    if (!m_helperTool || !std::exchange(m_allowedEntries, false))
        return;
    // Asks nobody and needs no answer: should it not arrive, the helper forgets them when this
    // program leaves the bus.
    m_helperTool->forgetAllowedEntries();
}

Expected<ExaminedEntry, std::string> HelperCalls::examinedEntry(const std::string& path,
                                                                const struct stat& info)
{
    SplitPath split = splitPath(path);
    if (split.parent.empty() || split.parent.front() != '/') {
        // The helper takes absolute folders only.
        std::string cwd(4096, '\0');
        if (!::getcwd(cwd.data(), cwd.size()))
            return Unexpected(std::string("the working folder cannot be named"));
        split.parent = split.parent == "." ? std::string(cwd.c_str()) : joinPath(cwd.c_str(), split.parent);
    }
    return ExaminedEntry{split.parent, split.name, static_cast<std::uint64_t>(info.st_dev),
                         static_cast<std::uint64_t>(info.st_ino)};
}

Expected<void, std::string> HelperCalls::call(const std::string& path, const struct stat& info, Verb verb,
                                              const std::string& newName, UniqueFd* file)
{
    if (!m_helperTool)
        return Unexpected(std::string());
    if (m_context.isCancelled())
        return Unexpected(std::string("the job was cancelled"));
    if (m_refusal)
        return Unexpected(*m_refusal);
    const auto entry = examinedEntry(path, info);
    if (!entry)
        return Unexpected(entry.error());
    HelperWait wait;
    switch (verb) {
    case Verb::Open:
        m_helperTool->openFileForWriting(*entry, wait.fileReply(), wait.askingUser());
        break;
    case Verb::Delete:
        m_helperTool->deleteFileAtPath(*entry, wait.reply(), wait.askingUser());
        break;
    case Verb::Rename:
        m_helperTool->renameEntryAt(*entry, newName, wait.reply(), wait.askingUser());
        break;
    }
    if (auto answered = await(wait, path, &*entry); !answered)
        return answered;
    if (file)
        *file = wait.takeFile();
    return {};
}

Expected<void, std::string> HelperCalls::await(HelperWait& wait, const std::string& path,
                                               const ExaminedEntry* entry)
{
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
        if (entry)
            m_helperTool->withdrawCallsOn(*entry);
        else
            m_helperTool->withdrawCalls();
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
