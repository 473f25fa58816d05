#pragma once

#include "app/JobRequest.h"
#include "app/intake/DropProtocol.h"
#include "app/shred/ShredSelection.h"
#include "engine/Algorithm.h"
#include "job/VolumeOption.h"
#include "targets/VolumeProbe.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QLabel;

namespace cv {

class ActionRow;
class BusyIndicator;
class ElidedLabel;
class DragAndDropBGView;
class DropPrompt;
class MethodPicker;
class PillButton;
class SystemService;

// The shred screen: the user drops (or picks) files, folders or one volume, sees what they add
// up to, may look into them with the file explorer, picks an overwrite method and confirms. It is
// a view over its ShredSelection, which makes the decisions; what comes next (the explorer, the
// job) it asks of the window with detailsRequested() and jobRequested().
class DropFilesViewController : public QWidget, public DropProtocol
{
    Q_OBJECT

public:
    // preset: the volume option the window opens the screen with (the previous job's).
    explicit DropFilesViewController(VolumeOption preset = VolumeOption::None,
                                     SystemService* intake = nullptr,
                                     VolumeProbe volumeProbe = VolumeProbe::system(),
                                     QWidget* parent = nullptr);
    ~DropFilesViewController() override;

    const ShredSelection& selection() const { return *m_selection; }

    // DropProtocol: from the drop zone and the file intake.
    void droppedLocations(const std::vector<std::string>& paths) override;
    void startDragging() override;
    void stopDragging() override;

    // The explorer the window opened for detailsRequested() closed with this collection.
    void explorerDismissedWith(const std::shared_ptr<PathCollection>& collection);

    // User actions.
    void selectFiles();
    void showExplorer();
    void startShred();
    void removeDroppedFiles();

signals:
    // A scan's result was stored and shown.
    void scanFinished();
    // The user wants to look into (and untick parts of) the collection.
    void detailsRequested(std::shared_ptr<PathCollection> collection);
    // The user confirmed a job.
    void jobRequested(const JobRequest& request);

private:
    void setupUi();
    QWidget* makeFilesGroup();
    QWidget* makeCopyOnWriteNotice(QWidget* parent);
    void viewDidLoad();
    void setViewState();
    void showSummary();
    void droppedLocationViewState();
    void animateInfoBoardBy(int points);
    void showVolumeOptions(bool freeSpaceOnly);
    void showAlert(const QString& message, const QString& informative, const QStringList& buttons);
    void requestJob();
    // What the confirmation names as destroyed.
    QString question() const;
    // The method chosen in the list; null for the placeholder.
    std::shared_ptr<Algorithm> selectedMethod() const;

    SystemService& m_systemService;
    ShredSelection* m_selection;
    bool m_alertOpen = false;
    bool m_explorerOpen = false;

    DragAndDropBGView* m_dndBackground = nullptr;
    DropPrompt* m_dropPrompt = nullptr;
    QWidget* m_groupFilesOn = nullptr;
    QBoxLayout* m_filesLayout = nullptr; // its top margin moves the info board
    QWidget* m_groupInfoBoard = nullptr;
    QLabel* m_dropResultLabel = nullptr;
    PillButton* m_detailsButton = nullptr;
    PillButton* m_dropRemove = nullptr;
    PillButton* m_addMore = nullptr; // the open panel, for more beside a selection
    BusyIndicator* m_dropSpinner = nullptr;
    QLabel* m_volumeImage = nullptr;
    QLabel* m_volumeOption = nullptr;
    ElidedLabel* m_volumeTitle = nullptr;
    QLabel* m_volumeDetails = nullptr;
    MethodPicker* m_methodPicker = nullptr;
    PillButton* m_startShredButton = nullptr;
    ActionRow* m_actionRow = nullptr;
    QWidget* m_copyOnWriteNotice = nullptr;
    QLabel* m_copyOnWriteWarning = nullptr;
    QCheckBox* m_thenWipeFree = nullptr;
};

} // namespace cv
