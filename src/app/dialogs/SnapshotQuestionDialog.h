#pragma once

#include <QMessageBox>

namespace cv {

// The question before temporary data is cleaned: should the local snapshots of the startup volume
// go as well? "DELETE" first and "Remain" second; either answer starts the job, so Return and
// Escape both mean "Remain", the answer that destroys nothing more. A window-modal sheet that
// deletes itself when closed; the caller hears the answer through answered().
class SnapshotQuestionDialog : public QMessageBox
{
    Q_OBJECT

public:
    explicit SnapshotQuestionDialog(QWidget* parent);

signals:
    void answered(bool deleteSnapshots);

private:
    QAbstractButton* m_deleteButton;
};

} // namespace cv
