#include "app/shred/DropDownHostController.h"

#include "app/PlaceholderPage.h"

namespace cv {

DropDownHostController::DropDownHostController(QWidget* parent) : ReplaceViewController(parent)
{
    replace(new PlaceholderPage(tr("Shred Files")));
}

void DropDownHostController::prepareReplacement(QWidget*, const QString&) {}

} // namespace cv
