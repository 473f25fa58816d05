#include "app/dialogs/QuitDuringJobDialog.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

QuitDuringJobDialog::QuitDuringJobDialog(QWidget* parent)
    : QMessageBox(QMessageBox::Warning, parent ? parent->windowTitle() : QString(),
                  tr("A deletion is running. Stop it and quit?"), QMessageBox::NoButton, parent)
{
    setObjectName(u"QuitQuestion"_s);
    setInformativeText(tr("The file being overwritten now is left as it is, partly overwritten."));
    QPushButton* stop = addButton(tr("Stop and Quit"), QMessageBox::DestructiveRole);
    QPushButton* keep = addButton(tr("Keep Running"), QMessageBox::RejectRole);
    setDefaultButton(keep);
    setEscapeButton(keep);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    connect(this, &QMessageBox::finished, this, [this, stop] {
        if (clickedButton() == stop)
            emit stopChosen();
    });
}

} // namespace cv
