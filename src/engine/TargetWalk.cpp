#include "engine/TargetWalk.h"

#include <sys/stat.h>

namespace cv {

TargetWalk::TargetWalk(const PreparedExcludes& excludes, const std::string& root,
                       FolderWalker::DirectoryReader* reader)
    : m_excludes(excludes), m_positions{excludes.at(root)}, m_stays{0}, m_folders{ItemPath::Folder::top(root)}
{
    m_walker.setDirectoryReader(reader);
}

const PreparedExcludes::Position& TargetWalk::enter(const FolderWalker::Entry& entry)
{
    if (m_positions.size() <= entry.depth) {
        m_positions.resize(entry.depth + 1);
        m_stays.resize(entry.depth + 1);
        m_folders.resize(entry.depth + 1);
    }
    m_positions[entry.depth] = m_excludes.child(m_positions[entry.depth - 1], entry.name);
    m_stays[entry.depth] = 0;
    if (S_ISDIR(entry.info.st_mode))
        m_folders[entry.depth] = ItemPath::Folder::below(m_folders[entry.depth - 1], entry.name);
    return m_positions[entry.depth];
}

} // namespace cv
