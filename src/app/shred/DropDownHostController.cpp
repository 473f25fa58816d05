#include "app/shred/DropDownHostController.h"

#include "app/shred/DropFilesViewController.h"

using namespace Qt::StringLiterals;

namespace cv {

DropDownHostController::DropDownHostController(QWidget* parent) : ReplaceViewController(parent)
{
    setObjectName(u"DropDownHostController"_s);
    replace(new DropFilesViewController());
}

void DropDownHostController::prepareReplacement(QWidget* destination, const QString& identifier)
{
    auto* screen = qobject_cast<DropFilesViewController*>(destination);
    if (!screen)
        return;
    if (identifier == u"freespace"_s)
        screen->setSelectedOption(u"freespace"_s);
    else if (identifier == u"deletion"_s)
        screen->setSelectedOption(u"delete"_s);
}

} // namespace cv
