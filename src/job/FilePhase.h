#pragma once

namespace cv {

class JobContext;

// The job's files: overwrites the targets, renames them, deletes them, then the records of the
// targets that are gone, and ends what the helper was allowed for the job.
class FilePhase
{
public:
    explicit FilePhase(JobContext& context) : m_context(context) {}

    void shred();
    void renameFilesAndFolders();
    void saveDelete();
    // After the deletion: the records of the targets that are gone (a trashed item's .trashinfo).
    void shredRecords();
    // The entries the helper was allowed for the job are allowed no more.
    void endHelperWork();

private:
    JobContext& m_context;
};

} // namespace cv
