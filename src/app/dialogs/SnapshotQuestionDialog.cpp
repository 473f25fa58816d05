#include "app/dialogs/SnapshotQuestionDialog.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

SnapshotQuestionDialog::SnapshotQuestionDialog(QWidget* parent)
    : QMessageBox(QMessageBox::Warning, tr("Delete snapshots?"), {}, QMessageBox::NoButton, parent)
{
    setObjectName(u"snapshotQuestion"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setText(tr("Delete snapshots?"));
    setInformativeText(tr("Snapshots take can take a lot of additional space."));
    m_deleteButton = addButton(tr("DELETE"), QMessageBox::ActionRole);
    QPushButton* remainButton = addButton(tr("Remain"), QMessageBox::ActionRole);
    setDefaultButton(remainButton);
    setEscapeButton(remainButton);
    connect(this, &QMessageBox::finished, this, [this] { emit answered(clickedButton() == m_deleteButton); });
}

} // namespace cv
