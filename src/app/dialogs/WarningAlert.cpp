#include "app/dialogs/WarningAlert.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

WarningAlert::WarningAlert(const QString& message, const QString& informative, const QStringList& buttons,
                           QWidget* parent)
    : QMessageBox(QMessageBox::Warning, message, informative, QMessageBox::NoButton, parent)
{
    setObjectName(u"alert"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setText(message);
    setInformativeText(informative);
    // One role for all buttons keeps them in the order given on every desktop.
    for (const QString& title : buttons)
        addButton(title, QMessageBox::ActionRole);
    setDefaultButton(qobject_cast<QPushButton*>(this->buttons().constFirst()));
    setEscapeButton(this->buttons().constLast());
}

} // namespace cv
