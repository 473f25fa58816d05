#pragma once

#include <QString>
#include <QTemporaryDir>

namespace cv {

// The folder where a report is staged for the renderer (its HTML, which lists every shredded path,
// and the PDF made from it): a new folder, the user's alone (0700), in the user's runtime folder
// ($XDG_RUNTIME_DIR, else the temporary folder), named after this process. It goes with the
// object, and also when the process is ended by SIGTERM, SIGINT, SIGHUP or SIGQUIT; what a crash
// leaves behind, removeLeftovers takes at the next start.
class ReportStage
{
public:
    ReportStage();
    ~ReportStage();
    ReportStage(const ReportStage&) = delete;
    ReportStage& operator=(const ReportStage&) = delete;

    bool isValid() const { return m_folder.isValid(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    QString path() const { return m_folder.path(); }

    // Removes the stage folders of this user's processes that no longer run (a crash, SIGKILL).
    static void removeLeftovers();

private:
    QTemporaryDir m_folder;
    int m_slot = -1; // in the table the signal handler empties
};

} // namespace cv
