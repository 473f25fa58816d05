#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace cv {

class MainMenuHostViewController;
class ProgressViewController;
class SettingsManager;

// The main window: the blue title bar with the logo and the main menu's tab buttons, the screens
// of the five tabs, and the white bottom bar; 840 by 590, centred on the screen. Closing it while
// a deletion runs asks first; when the user says stop, the job is cancelled cleanly (no file is
// left cut off in the middle of a write) and the window closes once the job has ended.
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The progress screen whose job is running, or null.
    ProgressViewController* runningJob() const;
    // The user chose to stop the job and quit: cancel it, close once it has ended.
    void stopJobAndClose(ProgressViewController* job);

    void setupLogos();
    void windowDidLoad(SettingsManager& settings);

    QWidget* m_titleView;
    QWidget* m_bottomView;
    MainMenuHostViewController* m_host = nullptr;
    QPointer<QMessageBox> m_quitQuestion;
    bool m_closingAfterJob = false; // stop-and-quit was chosen; the job is winding down
};

} // namespace cv
