#include "engine/ShredRecord.h"

#include <cstring>

namespace cv {

std::size_t ShredRecord::FileIdHash::operator()(const FileId& id) const
{
    return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.inode) * 0x9E3779B97F4A7C15ULL ^
                                      static_cast<std::uint64_t>(id.device));
}

void ShredRecord::overwritten(FileId id, std::int64_t size, const FileIdentity& identity)
{
    const auto [found, fresh] = m_overwritten.try_emplace(id);
    if (fresh) {
        found->second.size = size;
        found->second.identity = identity;
    }
    ++found->second.names;
    ++m_totals.filesOverwritten;
    m_totals.bytesOverwritten += size;
}

void ShredRecord::overwrittenName(FileId id)
{
    ++m_overwritten[id].names;
    ++m_totals.filesOverwritten;
}

bool ShredRecord::staysAsItIs(const struct stat& info, bool mountRoot,
                              const PreparedExcludes::Position& position) const
{
    if (position.keeps() || mountRoot)
        return true;
    // A regular file goes only when this job overwrote that very file completely.
    return S_ISREG(info.st_mode) && !isOverwritten(idOf(info));
}

bool ShredRecord::staysAsItIs(int dirFd, const char* name, const struct stat& info, bool mountRoot,
                              const PreparedExcludes::Position& position,
                              const FileIdentity::Birth* birth) const
{
    if (staysAsItIs(info, mountRoot, position))
        return true;
    return S_ISREG(info.st_mode) && overwrittenAt(dirFd, name, info, birth) != Match::Overwritten;
}

ShredRecord::Match ShredRecord::overwrittenAt(int dirFd, const char* name, const struct stat& info,
                                              const FileIdentity::Birth* birth) const
{
    const auto found = m_overwritten.find(idOf(info));
    if (found == m_overwritten.end())
        return Match::NotOverwritten;
    // Device and inode match; the generation and birth time tell whether it is still that file.
    const FileIdentity& identity = found->second.identity;
    const FileIdentity now = S_ISREG(info.st_mode) && birth
                                 ? FileIdentity::examined(dirFd, name, identity, *birth)
                                 : FileIdentity::at(dirFd, name, identity);
    if (!identity.couldBe(now))
        return Match::Replaced;
    return info.st_size > found->second.size ? Match::Grew : Match::Overwritten;
}

void ShredRecord::unreadFolder(FileId id, ItemPath path, int error)
{
    m_unreadFolders.try_emplace(id, UnreadFolder{std::move(path), error});
}

const ShredRecord::UnreadFolder* ShredRecord::findUnreadFolder(FileId id) const
{
    const auto found = m_unreadFolders.find(id);
    return found == m_unreadFolders.end() ? nullptr : &found->second;
}

std::vector<ShredRecord::UnreadFolder> ShredRecord::takeUnreadFolders()
{
    std::vector<UnreadFolder> folders;
    folders.reserve(m_unreadFolders.size());
    for (auto& [id, folder] : m_unreadFolders)
        folders.push_back(std::move(folder));
    m_unreadFolders.clear();
    return folders;
}

void ShredRecord::keepsItsName(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        m_fates[idOf(info)].nameKept = true;
}

void ShredRecord::nameRemoved(FileId id)
{
    ++m_fates[id].namesRemoved;
    Overwritten& file = m_overwritten[id];
    // A name that came after the overwrite walk (a hard link made meanwhile) goes too, since its
    // content is overwritten, but it was never counted among the files overwritten.
    if (file.namesRemoved < file.names) {
        ++file.namesRemoved;
        ++m_totals.filesRemoved;
    }
    if (!file.bytesBooked) {
        file.bytesBooked = true;
        m_totals.bytesRemoved += file.size;
    }
}

void ShredRecord::settle(std::vector<ShredItem>& history, bool cancelled) const
{
    // The names of each overwritten file that the job met, to tell whether all of them went.
    std::unordered_map<FileId, std::uint64_t, FileIdHash> names;
    for (const ShredItem& item : history) {
        if (item.kind == ShredItem::Kind::File && item.success)
            ++names[idOf(item)];
    }
    for (ShredItem& item : history) {
        if (item.kind != ShredItem::Kind::File)
            continue;
        if (!item.success) {
            // A cancel in the middle of its passes left it overwritten in part, as the overwrite
            // walk found; anything else that failed was not overwritten.
            if (item.state != ShredItem::State::OverwrittenInPart)
                item.state = ShredItem::State::NotOverwritten;
            continue;
        }
        const FileId id = idOf(item);
        const auto fate = m_fates.find(id);
        if (fate != m_fates.end() && fate->second.namesRemoved >= names[id]) {
            item.state = fate->second.nameKept ? ShredItem::State::NameKept : ShredItem::State::Deleted;
            if (fate->second.nameKept)
                item.because("Deleted, but its name could not be removed first");
            continue;
        }
        item.state = ShredItem::State::Overwritten;
        if (fate != m_fates.end() && fate->second.grewSince) {
            item.because("Overwritten, but it grew since: left in place");
        } else if (fate != m_fates.end() && fate->second.removeError != 0) {
            item.because("Overwritten, but could not be deleted", std::strerror(fate->second.removeError));
        } else if (cancelled) {
            item.because("Overwritten, not deleted: the job was cancelled");
            item.cancelled = true;
        } else {
            item.because("Overwritten, but could not be deleted");
        }
    }
}

} // namespace cv
