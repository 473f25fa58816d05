#pragma once

namespace cv {

class JobContext;

// The job's last step: settles every file's state, counts the errors from them, and fills the
// result with what was really done.
class JobResultBuilder
{
public:
    explicit JobResultBuilder(JobContext& context) : m_context(context) {}

    void finishUpResult();

private:
    // Gives every file its final state and counts the errors from them.
    void settleHistory();

    JobContext& m_context;
};

} // namespace cv
