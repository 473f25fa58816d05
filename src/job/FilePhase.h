#pragma once

namespace cv {

class JobContext;

// The job's files: overwrites the targets, renames them, deletes them, then the records of the
// targets that are gone, and gives back what the helper opened up and the job left in place.
class FilePhase
{
public:
    explicit FilePhase(JobContext& context) : m_context(context) {}

    void shred();
    void renameFilesAndFolders();
    void saveDelete();
    // After the deletion: the records of the targets that are gone (a trashed item's .trashinfo).
    void shredRecords();
    // What the helper opened up and the job did not overwrite and delete is the owner's again.
    void restoreGivenFiles();

private:
    JobContext& m_context;
};

} // namespace cv
