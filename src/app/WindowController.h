#pragma once

#include "app/JobRequest.h"
#include "job/VolumeOption.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace cv {

class DropFilesViewController;
class FreeSpaceViewController;
class TempDataViewController;
class MainMenuHostViewController;
class ProgressViewController;
class ReplaceViewController;
class SettingsManager;
class SettingsWindowController;

// The main window: the blue title bar with the logo and the main menu's tab buttons, the screens
// of the five tabs, and the white bottom bar; 840 by 590 at first where that fits the screen with
// its frame (else the screen's available area), centred; it may be made smaller, down to what the
// title bar needs, and its screens then scroll. It owns the navigation: the screens only say what the user
// asked for (a job, a look into the selection, the way back from a finished job) and the window decides what
// comes next. Closing it while a deletion runs asks first; when the user says stop, the job is cancelled
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

    // Make the screens of the free-space and the temporary-data tab.
    using FreeSpaceScreenFactory = std::function<FreeSpaceViewController*()>;
    using TempDataScreenFactory = std::function<TempDataViewController*()>;

    // makeShredScreen: by default screens on the desktop's file intake and the mount table.
    explicit WindowController(SettingsManager& settings, ShredScreenFactory makeShredScreen = {},
                              QWidget* parent = nullptr);

    MainMenuHostViewController* host() const { return m_host; }
    // The shred tab, whose screens follow each other: shred screen, progress screen, shred screen.
    ReplaceViewController* shredTab() const { return m_shredTab; }
    // The free-space and temporary-data tabs: a screen, its job's progress screen, a fresh screen.
    ReplaceViewController* freeSpaceTab() const { return m_freeSpaceTab; }
    ReplaceViewController* tempDataTab() const { return m_tempDataTab; }
    QWidget* titleView() const { return m_titleView; }
    QWidget* bottomView() const { return m_bottomView; }

    void bringToFront();
    // Opens the settings window, or brings the open one to the front (one at a time).
    void showSettings();
    SettingsWindowController* settingsWindow() const;
    // Brings the window to the front on the shred tab (files arrived from the desktop).
    void showShredScreen();
    // Brings the window to the front on a fresh temporary-data screen with only the Trash chosen
    // (the desktop's "Shred the Trash"); a job running there is left as it is.
    void showTrashScreen();
    // Puts a fresh shred screen into the shred tab, opened with preset.
    void showFreshShredScreen(VolumeOption preset);
    // Makes the screens of the free-space and temporary-data tabs with these from now on (tests
    // give screens over volumes and folders of their own), and puts fresh ones in both tabs.
    void setScreenFactories(FreeSpaceScreenFactory makeFreeSpaceScreen,
                            TempDataScreenFactory makeTempDataScreen);
    void showFreshFreeSpaceScreen();
    void showFreshTempDataScreen();
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
    // The Reports tab: the saved reports; the HTML ones open in the review window.
    QWidget* makeReportsTab();
    void windowDidLoad(SettingsManager& settings);

    QWidget* m_titleView;
    QWidget* m_bottomView;
    ShredScreenFactory m_makeShredScreen;
    MainMenuHostViewController* m_host = nullptr;
    ReplaceViewController* m_shredTab = nullptr;
    FreeSpaceScreenFactory m_makeFreeSpaceScreen;
    TempDataScreenFactory m_makeTempDataScreen;
    ReplaceViewController* m_freeSpaceTab = nullptr;
    ReplaceViewController* m_tempDataTab = nullptr;
    QPointer<QMessageBox> m_quitQuestion;
    SettingsManager& m_settings;
    QPointer<SettingsWindowController> m_settingsWindow;
    bool m_closingAfterJob = false; // stop-and-quit was chosen; the job is winding down
};

} // namespace cv
