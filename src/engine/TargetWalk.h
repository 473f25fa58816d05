#pragma once

#include "engine/ItemPath.h"
#include "targets/FolderWalker.h"
#include "targets/PreparedExcludes.h"

#include <memory>
#include <string>
#include <vector>

namespace cv {

// One walk of a target by a phase of the shred job: its walker, and per depth what the phase keeps
// while it walks: the folder's exclude position and whether something in the folder stays (so
// that the folder keeps its name and place).
class TargetWalk
{
public:
    TargetWalk(const PreparedExcludes& excludes, const std::string& root,
               FolderWalker::DirectoryReader* reader);

    // The position of an entry met before anything below it; a folder starts with nothing staying.
    const PreparedExcludes::Position& enter(const FolderWalker::Entry& entry);
    // After enter(): the entry's path, sharing its folder's with the other entries there.
    ItemPath itemPath(const FolderWalker::Entry& entry) const
    {
        return {m_folders[entry.depth - 1], entry.name};
    }
    // After enter(): the entry's own position, and whether something in it (a folder) stays.
    const PreparedExcludes::Position& position(const FolderWalker::Entry& entry) const
    {
        return m_positions[entry.depth];
    }
    bool holdsWhatStays(const FolderWalker::Entry& entry) const { return m_stays[entry.depth] != 0; }
    // The entry stays, and with it the folder that holds it.
    void markStaying(const FolderWalker::Entry& entry) { markStayingAt(entry.depth); }
    // The same for an entry met at depth, told after the walk went on (while its folder is walked).
    void markStayingAt(std::size_t depth) { m_stays[depth - 1] = 1; }
    bool rootHoldsWhatStays() const { return m_stays.front() != 0; }

    FolderWalker& walker() { return m_walker; }

private:
    const PreparedExcludes& m_excludes;
    FolderWalker m_walker;
    std::vector<PreparedExcludes::Position> m_positions;
    std::vector<char> m_stays;
    std::vector<std::shared_ptr<const ItemPath::Folder>> m_folders;
};

} // namespace cv
