#pragma once

#include <QMessageBox>

namespace cv {

// The question every screen asks before it starts a destructive job: "Are you sure?", with
// "DELETE" first and "Cancel" second. Return and Escape both mean Cancel, so that no key press
// alone starts a job. A window-modal sheet that deletes itself when closed; the caller hears the
// answer through confirmed() or cancelled() and decides what follows (and what to log).
class ConfirmDeletionDialog : public QMessageBox
{
    Q_OBJECT

public:
    explicit ConfirmDeletionDialog(QWidget* parent);

signals:
    void confirmed();
    void cancelled();

private:
    QAbstractButton* m_deleteButton;
};

} // namespace cv
