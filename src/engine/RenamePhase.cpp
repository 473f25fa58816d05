#include "engine/RenamePhase.h"

#include "common/KernelFileSystem.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "common/PathText.h"
#include "common/SecureRandom.h"
#include "common/UniqueFd.h"
#include "engine/EntryRename.h"
#include "engine/HelperCalls.h"
#include "engine/OwnEntryAccess.h"
#include "engine/ShredContext.h"
#include "engine/TargetWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cv {

namespace {

constexpr std::size_t kMaxNameLength = 255;
// Random names drawn per rename round before a clash counts as a failed round.
constexpr int kNameAttempts = 8;
// How often the renaming walk tells which entry it is at.
constexpr std::chrono::milliseconds kReportInterval{20};

// The length of a name in characters: UTF-8 continuation bytes do not count, other bytes do.
std::size_t characterCount(const std::string& name)
{
    std::size_t count = 0;
    for (const unsigned char c : name) {
        if ((c & 0xC0) != 0x80)
            ++count;
    }
    return std::clamp<std::size_t>(count, 1, kMaxNameLength);
}

} // namespace

RenamePhase::RenamePhase(ShredContext& context, HelperCalls& helper) : m_context(context), m_helper(helper) {}

std::string RenamePhase::renameAtPath(const std::string& target, const PreparedExcludes& excludes)
{
    std::string now = renameTarget(std::string(withoutTrailingSlashes(target)), excludes);
    m_context.targetsNow.push_back(now);
    return now;
}

std::string RenamePhase::renameTarget(const std::string& path, const PreparedExcludes& excludes)
{
    // After a cancel a target keeps its name: renamed but never deleted, it would be lost to the user.
    struct stat info;
    bool mountRoot = false;
    if (m_context.isCancelled() || FolderWalker::examine(AT_FDCWD, path.c_str(), info, mountRoot) != 0)
        return path;
    // A target on a file system of the kernel's keeps every name (the overwrite walk listed it).
    if (KernelFileSystem::atPath(path))
        return path;
    const PreparedExcludes::Position position = excludes.at(path);
    bool stays = m_context.record.staysAsItIs(AT_FDCWD, path.c_str(), info, mountRoot, position);
    // A folder's contents are renamed even when the folder itself keeps its name because it holds
    // something that stays.
    if (S_ISDIR(info.st_mode)) {
        if (!position.covered())
            stays = renameInFolder(path, excludes) || stays;
        stays = stays || m_context.filesOnly;
    }
    // A cancel while the target's contents were renamed: the target keeps its name too.
    if (stays || m_context.isCancelled())
        return path;

    const SplitPath split = splitPath(path);
    UniqueFd parentFd(::open(split.parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd) {
        logMessage("Cannot rename ", path, ": ", std::strerror(errno));
        m_context.record.keepsItsName(info);
        return path;
    }
    const auto newName =
        renameEntryAt(parentFd.get(), split.name, parentFd.get(), characterCount(split.name), path, 1);
    if (!newName) {
        m_context.record.keepsItsName(info);
        return path;
    }
    syncFolder(parentFd.get());
    return joinPath(split.parent, *newName);
}

bool RenamePhase::renameInFolder(const std::string& folder, const PreparedExcludes& excludes)
{
    if (m_context.isCancelled())
        return true;
    // A folder the process may not write keeps the names of its entries: the helper opens
    // regular files only, so it is not asked.
    UniqueFd folderFd(FolderWalker::openFolder(folder));
    if (!folderFd) {
        logMessage("Cannot rename in ", folder, ": ", std::strerror(errno));
        return true;
    }
    // The walk stays in the folders that keep their names: those that hold something that stays
    // (known from the overwrite walk, or found now). Every other folder is renamed where it is and
    // then emptied into the folder the walk is in (see flatten()).
    TargetWalk walk(excludes, folder, m_context.reader);
    const int rootError = walk.walker().walk(
        folderFd.get(), folder,
        [&](const FolderWalker::Entry& entry) {
            if (m_context.isCancelled() || walk.enter(entry).covered())
                return false;
            return S_ISDIR(entry.info.st_mode) && keepsItsPlace(walk, entry);
        },
        [&](const FolderWalker::Entry& entry) { renameWalked(walk, entry); });
    // The renames must reach the device before the entries are deleted; one file-system sync covers
    // every folder of the walk.
    if (::syncfs(folderFd.get()) != 0)
        logMessage("Syncing the renames in ", folder, " failed: ", std::strerror(errno));
    return walk.rootHoldsWhatStays() || rootError != 0;
}

bool RenamePhase::keepsItsPlace(const TargetWalk& walk, const FolderWalker::Entry& entry) const
{
    return m_context.filesOnly || walk.position(entry).keeps() ||
           m_context.record.keepsFolder(ShredRecord::idOf(entry.info));
}

void RenamePhase::renameWalked(TargetWalk& walk, const FolderWalker::Entry& entry)
{
    const bool isFolder = S_ISDIR(entry.info.st_mode);
    // Files not overwritten, mount points, excluded items and the folders that hold any of them keep
    // their names: they stay where the user can find them.
    if (m_context.isCancelled() ||
        m_context.record.staysAsItIs(entry.dirFd, entry.name.data(), entry.info, entry.mountRoot,
                                     walk.position(entry), &entry.birth) ||
        (isFolder && (keepsItsPlace(walk, entry) || walk.holdsWhatStays(entry) || entry.error != 0))) {
        walk.markStaying(entry);
        return;
    }
    // Links inside a target keep their names: they are removed, never followed.
    if (S_ISLNK(entry.info.st_mode))
        return;
    if (m_context.delegate && reportDue())
        m_context.delegate->fileshredRenamingPath(localized("Renaming File") + " - " +
                                                  std::string(entry.path));
    const std::string name(entry.name);
    const auto renamed = renameEntryAt(entry.dirFd, name, entry.dirFd, characterCount(name), entry.path,
                                       m_context.algorithm->cycles());
    if (!renamed)
        m_context.record.keepsItsName(entry.info);
    const std::string_view holder = entry.path.substr(0, entry.path.size() - entry.name.size() - 1);
    if (isFolder && flatten(entry.dirFd, holder, renamed.value_or(name), entry.info, characterCount(name))) {
        // Something in the folder stays (or the job was cancelled while it was emptied): it takes
        // back the name it had, so that the user finds what stays where it was.
        if (const int error = renamed ? renameNoReplace(entry.dirFd, *renamed, entry.dirFd, name) : 0)
            logMessage("The folder ", entry.path, " stays under a new name: ", std::strerror(error));
        walk.markStaying(entry);
    }
}

std::optional<std::string> RenamePhase::renameEntryAt(int dirFd, const std::string& name, int toFd,
                                                      std::size_t length, std::string_view path,
                                                      std::uint64_t rounds)
{
    std::string current = name;
    int currentFd = dirFd;
    bool renamed = false;
    int lastError = 0;
    for (std::uint64_t round = 0; round < rounds; ++round) {
        const int error = renameOnce(currentFd, current, toFd, length);
        if (error == 0)
            renamed = true;
        else
            lastError = error; // this round keeps the old name
        // In a folder the process may not write, each round is a call of the helper and may be a
        // question to the user: the entry loses its name once, not once per pass.
        if (error == 0 && m_renamedByHelper)
            break;
    }
    if (lastError != 0)
        logMessage("Renaming ", path, " failed in some rounds: ", std::strerror(lastError));
    if (!renamed)
        return std::nullopt;
    return current;
}

int RenamePhase::renameOnce(int& currentFd, std::string& current, int toFd, std::size_t length)
{
    // A name that is taken is no failure of the file system: another name is drawn, a few times, so
    // that short names in full folders still lose their old name.
    int error = EEXIST;
    m_renamedByHelper = false;
    for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
        const std::string candidate = SecureRandom::alphanumeric(length);
        error = renameNoReplace(currentFd, current, toFd, candidate);
        // A folder of the job's own that its mode keeps closed is opened for the moment of the
        // rename by the job itself: the helper is for other users' folders.
        error = OwnEntryAccess::inOwnFolders(
            currentFd, toFd, error, [&] { return renameNoReplace(currentFd, current, toFd, candidate); });
        // In a folder the process may not write, the helper renames the entry in place, so that
        // the name goes with the content; once it refused, names stay for the rest of the job
        // rather than asking the user again and again.
        if ((error == EACCES || error == EPERM) && currentFd == toFd && !m_helperRenameRefused) {
            error = m_helper.renameInFolder(currentFd, current, candidate);
            m_helperRenameRefused = error != 0;
            m_renamedByHelper = error == 0;
        }
        if (error == 0) {
            current = candidate;
            currentFd = toFd;
        }
    }
    return error;
}

bool RenamePhase::flatten(int holderFd, std::string_view holderPath, const std::string& name,
                          const struct stat& info, std::size_t relativeLength)
{
    // Renaming an entry costs the system the depth of the entry (it checks the whole way up to the
    // root), so a deep tree renamed where it stands costs the square of its depth. Its folders hold
    // nothing that stays, so their contents may move: each entry is moved up into the holder (its
    // first rename round) and renamed there, and each moved folder is emptied in turn. Every move
    // is from a folder directly inside the holder, so each costs the same at any depth of the
    // tree. A moved entry's name is as long as its path below the holder was.
    std::deque<Pending> pending{Pending{name, info, relativeLength}};
    FolderWalker::DirectoryReader systemReader;
    FolderWalker::DirectoryReader& reader = m_context.reader ? *m_context.reader : systemReader;
    bool leftovers = false;
    std::string names;
    while (!pending.empty()) {
        if (m_context.isCancelled())
            return true;
        const Pending folder = std::move(pending.front());
        pending.pop_front();
        UniqueFd fd(FolderWalker::openExamined(holderFd, folder.path.c_str(), folder.info));
        names.clear();
        const int error = fd ? FolderWalker::readNames(fd.get(), names, reader) : errno;
        if (error != 0) {
            logMessage("Cannot rename in ", holderPath, "/", folder.path, ": ",
                       FolderWalker::describeError(error));
            leftovers = true;
        }
        for (std::size_t offset = 0; offset < names.size();) {
            const std::string entryName(names.data() + offset);
            offset += entryName.size() + 1;
            if (flattenEntry(holderFd, holderPath, folder, fd.get(), entryName, pending))
                leftovers = true;
        }
    }
    return leftovers;
}

bool RenamePhase::flattenEntry(int holderFd, std::string_view holderPath, const Pending& folder, int fd,
                               const std::string& entryName, std::deque<Pending>& pending)
{
    struct stat entryInfo;
    bool mountRoot = false;
    FolderWalker::BirthTime birth;
    if (FolderWalker::examine(fd, entryName.c_str(), entryInfo, mountRoot, &birth) != 0)
        return errno != ENOENT;
    // Links keep their names (they go with the folder's contents); what appeared since the
    // overwrite walk and stays keeps its name and makes the folder stay.
    if (S_ISLNK(entryInfo.st_mode))
        return false;
    if (mountRoot || entryInfo.st_dev != folder.info.st_dev ||
        m_context.record.staysAsItIs(fd, entryName.c_str(), entryInfo, false, PreparedExcludes::Position(),
                                     &birth))
        return true;
    const std::size_t length = folder.relativeLength + 1 + characterCount(entryName);
    if (m_context.delegate && reportDue())
        m_context.delegate->fileshredRenamingPath(localized("Renaming File") + " - " +
                                                  std::string(holderPath) + "/" + folder.path + "/" +
                                                  entryName);
    const std::uint64_t rounds = m_context.algorithm->cycles();
    if (auto moved =
            renameEntryAt(fd, entryName, holderFd, std::min(length, kMaxNameLength), entryName, rounds)) {
        if (S_ISDIR(entryInfo.st_mode))
            pending.push_back(Pending{std::move(*moved), entryInfo, length});
        return false;
    }
    // It cannot move (a folder the process may not write, for one): renamed where it is.
    const auto renamed = renameEntryAt(fd, entryName, fd, characterCount(entryName), entryName, rounds);
    if (S_ISDIR(entryInfo.st_mode))
        pending.push_back(Pending{folder.path + "/" + renamed.value_or(entryName), entryInfo, length});
    // An entry that can neither move nor be renamed will most likely not go either: the folders
    // above keep their names, so that the user finds it where it was.
    if (renamed)
        return false;
    m_context.record.keepsItsName(entryInfo);
    return true;
}

bool RenamePhase::reportDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastReport < kReportInterval)
        return false;
    m_lastReport = now;
    return true;
}

} // namespace cv
