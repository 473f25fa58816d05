#pragma once

#include "app/JobRequest.h"
#include "app/shred/VolumeOption.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace cv {

class DropFilesViewController;
class MainMenuHostViewController;
class ProgressViewController;
class ReplaceViewController;
class SettingsManager;

// The main window: the blue title bar with the logo and the main menu's tab buttons, the screens
// of the five tabs, and the white bottom bar; 840 by 590 at first (it may grow), centred on the
// screen. It owns the navigation: the screens only say what the user asked for (a job, a look
// into the selection, the way back from a finished job) and the window decides what comes next.
// Closing it while a deletion runs asks first; when the user says stop, the job is cancelled
// cleanly (no file is left cut off in the middle of a write) and the window closes once the job
// has ended.
class WindowController : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 840;
    static constexpr int kHeight = 590;
    static constexpr int kTitleHeight = 44;
    static constexpr int kBottomHeight = 39;

    // Makes a shred screen opened with a volume option (the previous job's).
    using ShredScreenFactory = std::function<DropFilesViewController*(VolumeOption preset)>;

    // makeShredScreen: by default screens on the desktop's file intake and the mount table.
    explicit WindowController(SettingsManager& settings, ShredScreenFactory makeShredScreen = {},
                              QWidget* parent = nullptr);

    MainMenuHostViewController* host() const { return m_host; }
    // The shred tab, whose screens follow each other: shred screen, progress screen, shred screen.
    ReplaceViewController* shredTab() const { return m_shredTab; }
    QWidget* titleView() const { return m_titleView; }
    QWidget* bottomView() const { return m_bottomView; }

    void bringToFront();
    // Brings the window to the front on the shred tab (files arrived from the desktop).
    void showShredScreen();
    // Puts a fresh shred screen into the shred tab, opened with preset.
    void showFreshShredScreen(VolumeOption preset);
    // A job a screen of tab asked for: a progress screen takes the screen's place and runs it.
    void startJob(ReplaceViewController* tab, const JobRequest& request);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The progress screen whose job is running, or null.
    ProgressViewController* runningJob() const;
    // The user chose to stop the job and quit: cancel it, close once it has ended.
    void stopJobAndClose(ProgressViewController* job);

    // The user left the finished job of request: the screen it came from comes back, fresh.
    void leaveJob(const JobRequest& request);

    void setupLogos();
    void windowDidLoad(SettingsManager& settings);

    QWidget* m_titleView;
    QWidget* m_bottomView;
    ShredScreenFactory m_makeShredScreen;
    MainMenuHostViewController* m_host = nullptr;
    ReplaceViewController* m_shredTab = nullptr;
    QPointer<QMessageBox> m_quitQuestion;
    bool m_closingAfterJob = false; // stop-and-quit was chosen; the job is winding down
};

} // namespace cv
