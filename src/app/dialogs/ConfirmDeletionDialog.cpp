#include "app/dialogs/ConfirmDeletionDialog.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

ConfirmDeletionDialog::ConfirmDeletionDialog(QWidget* parent)
    : QMessageBox(QMessageBox::Warning, tr("Are you sure?"), {}, QMessageBox::NoButton, parent)
{
    setObjectName(u"confirmation"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setText(tr("Are you sure?"));
    setInformativeText(
        tr("Data cannot be recovered once you start the secure deletion process. Do you want to continue?"));
    // One role for both keeps DELETE first and Cancel second on every desktop.
    m_deleteButton = addButton(tr("DELETE"), QMessageBox::ActionRole);
    QPushButton* cancelButton = addButton(tr("Cancel"), QMessageBox::ActionRole);
    setDefaultButton(cancelButton);
    setEscapeButton(cancelButton);
    connect(this, &QMessageBox::finished, this, [this] {
        if (clickedButton() == m_deleteButton)
            emit confirmed();
        else
            emit cancelled();
    });
}

} // namespace cv
