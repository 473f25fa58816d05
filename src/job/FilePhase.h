#pragma once

#include <string>

namespace cv {

class FileShredCoordinator;
class JobSettings;
class JobTargets;

// The job's files: overwrites the targets, renames them, deletes them, then the records of the
// targets that are gone, and ends what the helper was allowed for the job. The renaming gives the
// targets their new names; nothing else here changes them.
class FilePhase
{
public:
    FilePhase(const JobSettings& settings, JobTargets& targets, FileShredCoordinator& coordinator)
        : m_settings(settings), m_targets(targets), m_coordinator(coordinator)
    {}

    void shred();
    void renameFilesAndFolders();
    void saveDelete();
    // After the deletion: the records of the targets that are gone (a trashed item's .trashinfo).
    void shredRecords();
    // The entries the helper was allowed for the job are allowed no more.
    void endHelperWork();

private:
    // Whether the folders of a target stay (a files-only job), or the target goes whole.
    void keepFoldersOf(const std::string& target);

    const JobSettings& m_settings;
    JobTargets& m_targets;
    FileShredCoordinator& m_coordinator;
};

} // namespace cv
