#include "app/dialogs/ResetSettingsDialog.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

ResetSettingsDialog::ResetSettingsDialog(QWidget* parent)
    : QMessageBox(QMessageBox::Warning, tr("Reset all settings?"), {}, QMessageBox::NoButton, parent)
{
    setObjectName(u"resetQuestion"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setText(tr("Reset all settings?"));
    setInformativeText(
        tr("Every setting returns to its default and the PIN is removed. This cannot be undone."));
    m_resetButton = addButton(tr("Reset"), QMessageBox::ActionRole);
    m_resetButton->setObjectName(u"resetConfirm"_s);
    QPushButton* cancelButton = addButton(tr("Cancel"), QMessageBox::ActionRole);
    setDefaultButton(cancelButton);
    setEscapeButton(cancelButton);
    connect(this, &QMessageBox::finished, this, [this] {
        if (clickedButton() == m_resetButton)
            emit confirmed();
        else
            emit cancelled();
    });
}

} // namespace cv
