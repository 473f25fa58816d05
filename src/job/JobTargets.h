#pragma once

#include "targets/PathCollection.h"
#include "targets/PreparedExcludes.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace cv {

class JobSettings;

// The job's targets as they change while it runs: the collection, whose paths the renaming turns
// into the new names; what stays of them (the excludes, the folders above them, the volumes' mount
// points); and the targets that go whole in a files-only job. The preparation sets them up, the
// renaming renames them, every other phase only reads them.
class JobTargets
{
public:
    explicit JobTargets(std::shared_ptr<PathCollection> collection) : m_collection(std::move(collection)) {}

    // Before the phases: a volume's targets become its contents (unless only its free space is
    // wiped), and the volumes' mount points and an ext file system's lost+found stay.
    void prepare(const JobSettings& settings);

    const std::shared_ptr<PathCollection>& collection() const { return m_collection; }
    const std::vector<std::string>& paths() const { return m_collection->paths(); }
    // What per-file shredding leaves in place: the excludes, the folders above them, volume mount points.
    const PreparedExcludes& excludes() const { return m_excludes; }
    // Whether target goes whole (its folders too) in a files-only job.
    bool goesWhole(const std::string& target) const { return m_wholeTargets.contains(target); }

    // The renaming's outcome: each target's new name, in the order of paths().
    void setRenamed(std::vector<std::string> newPaths);
    // The names the targets had before the renaming (empty before it ran).
    const std::vector<std::string>& namesBeforeRenaming() const { return m_namesBeforeRenaming; }

private:
    std::shared_ptr<PathCollection> m_collection;
    PreparedExcludes m_excludes;
    std::unordered_set<std::string> m_wholeTargets;
    std::vector<std::string> m_namesBeforeRenaming;
};

} // namespace cv
