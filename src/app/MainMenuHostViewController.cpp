#include "app/MainMenuHostViewController.h"

#include "app/controls/MenuButton.h"
#include "app/controls/ScreenFit.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace cv {

MainMenuHostViewController::MainMenuHostViewController(const std::array<QWidget*, kTabCount>& pages,
                                                       const std::array<QString, kTabCount>& titles,
                                                       QWidget* parent)
    : QWidget(parent), m_menuBar(new QWidget(this)), m_tabController(new QStackedWidget(this))
{
    auto* menuLayout = new QHBoxLayout(m_menuBar);
    menuLayout->setContentsMargins(0, 0, 0, 0);
    menuLayout->setSpacing(1);
    for (std::size_t i = 0; i < kTabCount; ++i) {
        m_tabs[i] = new MenuButton(titles[i], m_menuBar);
        m_tabs[i]->setFixedHeight(44);
        // As narrow as the title allows when the window is made small, never cutting it.
        m_tabs[i]->setMinimumWidth(std::max(96, m_tabs[i]->fontMetrics().horizontalAdvance(titles[i]) + 16));
        menuLayout->addWidget(m_tabs[i]);
        connect(m_tabs[i], &MenuButton::clicked, this, [this, i] { changeTab(m_tabs[i]); });
        // On a small display (or at a large scale) the window may be smaller than a screen's layout.
        m_tabController->addWidget(ScreenFit::scrollable(pages[i]));
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabController);

    changeTab(m_tabs[kShredTab]);
}

void MainMenuHostViewController::changeTab(MenuButton* button)
{
    for (auto* tab : m_tabs)
        tab->setActive(false);
    for (std::size_t i = 0; i < kTabCount; ++i) {
        if (m_tabs[i] == button) {
            m_tabController->setCurrentIndex(static_cast<int>(i));
            button->setActive(true);
        }
    }
    for (auto* tab : m_tabs)
        tab->update();
}

void MainMenuHostViewController::changeTabToIndex(std::size_t index)
{
    if (index < kTabCount)
        changeTab(m_tabs[index]);
}

} // namespace cv
