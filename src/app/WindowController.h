#pragma once

#include <QWidget>

namespace cv {

class MainMenuHostViewController;
class SettingsManager;

// The main window: the blue title bar with the logo and the main menu's tab buttons, the screens
// of the five tabs, and the white bottom bar; 840 by 590, centred on the screen.
class WindowController : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 840;
    static constexpr int kHeight = 590;
    static constexpr int kTitleHeight = 44;
    static constexpr int kBottomHeight = 39;

    explicit WindowController(SettingsManager& settings, QWidget* parent = nullptr);

    MainMenuHostViewController* host() const { return m_host; }
    QWidget* titleView() const { return m_titleView; }
    QWidget* bottomView() const { return m_bottomView; }

    void bringToFront();
    // Brings the window to the front on the shred tab (files arrived from the desktop).
    void showShredScreen();

private:
    void setupLogos();
    void windowDidLoad(SettingsManager& settings);

    QWidget* m_titleView;
    QWidget* m_bottomView;
    MainMenuHostViewController* m_host = nullptr;
};

} // namespace cv
