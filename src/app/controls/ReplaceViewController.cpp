#include "app/controls/ReplaceViewController.h"

#include <QVBoxLayout>

namespace cv {

ReplaceViewController::ReplaceViewController(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void ReplaceViewController::replace(QWidget* destination)
{
    if (m_current) {
        // Out of the layout and hidden at once; deleted once the event that asked for the change
        // (often a click inside the old screen) has returned.
        layout()->removeWidget(m_current);
        m_current->hide();
        m_current->deleteLater();
        m_current->setParent(nullptr);
    }
    m_current = destination;
    destination->setParent(container());
    layout()->addWidget(destination);
    destination->show();
    emit replaced(destination);
}

} // namespace cv
