#pragma once

#include <QMessageBox>

namespace cv {

// The question when the window is closed while a job runs: stop the job and quit, or keep it
// running (the default, also for Return and Escape). A window-modal sheet that deletes itself
// when closed; stopChosen() says the user chose to stop.
class QuitDuringJobDialog : public QMessageBox
{
    Q_OBJECT

public:
    explicit QuitDuringJobDialog(QWidget* parent);

signals:
    void stopChosen();
};

} // namespace cv
