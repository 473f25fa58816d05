#pragma once

#include "app/dashboard/DashboardFacts.h"

#include <QWidget>

namespace cv {

// The overview tab: the picture of the machine (laptop or desktop), its model, name, serial number
// and system, and the startup volume with its capacity and a bar of how full it is. It shows the
// facts it was made with and offers no actions.
class DashboardViewController : public QWidget
{
    Q_OBJECT

public:
    explicit DashboardViewController(const DashboardFacts& facts = DashboardFacts::read(),
                                     QWidget* parent = nullptr);

    const DashboardFacts& facts() const { return m_facts; }

private:
    DashboardFacts m_facts;
};

} // namespace cv
