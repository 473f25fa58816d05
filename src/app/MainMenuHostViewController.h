#pragma once

#include <QStackedWidget>
#include <QWidget>

#include <array>

namespace cv {

class MenuButton;

// The main menu: five tab buttons and the container that shows the screen of the chosen tab. The
// window owns it and switches tabs through it.
class MainMenuHostViewController : public QWidget
{
    Q_OBJECT

public:
    static constexpr std::size_t kTabCount = 5;
    // The tabs, in order; the window opens on the shred screen.
    static constexpr std::size_t kOverviewTab = 0;
    static constexpr std::size_t kShredTab = 1;
    static constexpr std::size_t kFreeSpaceTab = 2;
    static constexpr std::size_t kTemporaryDataTab = 3;
    static constexpr std::size_t kReportsTab = 4;

    // pages: the five screens, in tab order; titles: their button titles. The host owns the pages.
    MainMenuHostViewController(const std::array<QWidget*, kTabCount>& pages,
                               const std::array<QString, kTabCount>& titles, QWidget* parent = nullptr);

    // The row of tab buttons; the window places it into its title bar, which then owns it.
    QWidget* menuBar() const { return m_menuBar; }
    MenuButton* tab(std::size_t index) const { return m_tabs.at(index); }
    QStackedWidget* tabController() const { return m_tabController; }
    // The index of the tab shown now.
    int currentIndex() const { return m_tabController->currentIndex(); }

    // Shows the tab of button (one of the five); any other button selects nothing.
    void changeTab(MenuButton* button);
    // Shows tab 0 to 4; a larger index changes nothing.
    void changeTabToIndex(std::size_t index);

private:
    QWidget* m_menuBar;
    std::array<MenuButton*, kTabCount> m_tabs{};
    QStackedWidget* m_tabController;
};

} // namespace cv
