#pragma once

#include "app/explorer/ExplorerViewControllerDelegate.h"
#include "app/intake/DropProtocol.h"
#include "app/shred/VolumeOptionViewController.h"
#include "engine/AlgorithmCollection.h"
#include "engine/ShredOptions.h"
#include "targets/PathCollection.h"
#include "targets/VolumeProbe.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace cv {

class BusyIndicator;
class ColorGradientView;
class DecorImage;
class DragAndDropBGView;
class DragDropFilesView;
class PillButton;
class SystemService;

// The shred screen: the user drops (or picks) files, folders or one volume, sees what they add
// up to, may look into them with the file explorer, picks an overwrite method, confirms, and the
// progress screen takes over. Selections are scanned on a worker thread; the screen changes only
// on the GUI thread.
class DropFilesViewController : public QWidget,
                                public DropProtocol,
                                public VolumeOptionDelegate,
                                public ExplorerViewControllerDelegate
{
    Q_OBJECT

public:
    // selectedOption: the volume option preset by the host or the previous progress screen
    // ("freespace", "delete", "complete", or empty for none).
    explicit DropFilesViewController(const QString& selectedOption = {}, QWidget* parent = nullptr,
                                     SystemService* systermService = nullptr,
                                     VolumeProbe volumeProbe = VolumeProbe::system());
    ~DropFilesViewController() override;

    const std::vector<std::string>& locations() const { return m_locations; }
    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    const std::shared_ptr<ShredOptions>& shredOptions() const { return m_shredOptions; }
    const AlgorithmCollection& algos() const { return m_algos; }
    QString selectedOption() const { return m_selectedOption; }
    void setSelectedOption(const QString& option);
    // The catalogue index chosen in the method list.
    int selectedMethodIndex() const;
    void selectMethodIndex(int index);

    // DropProtocol
    void droppedLocations(const std::vector<std::string>& paths) override;
    void startDragging() override;
    void stopDragging() override;
    // VolumeOptionDelegate
    void finishedVolumeWithOption(const QString& option) override;
    void canceledVolumeOptions() override;
    // ExplorerViewControllerDelegate
    void explorerDismissedWith(std::shared_ptr<PathCollection> collection) override;

    // User actions.
    void selectFiles();
    void methodChanged();
    void startShred();
    void removeDropedFiles();
    void showExplorer();

    void setViewState();
    bool hasLocations() const { return !m_locations.empty(); }
    bool hasAlgoSelected() const;
    bool hasVolume() const;
    // True while a scan runs whose result the screen waits for.
    bool isScanning() const { return m_scanning; }

    // The old locations followed by the dropped ones, each path once (first occurrence wins).
    static std::vector<std::string> mergeLocations(const std::vector<std::string>& locations,
                                                   const std::vector<std::string>& dropped);
    // The summary for a collection, as plain text ("Selected:\n12 MB, 3 file(s)").
    static QString summaryText(const PathCollection& collection);

    // Elements the state update drives (for the window's tests and screenshots).
    QWidget* groupStart() const { return m_groupStart; }
    QWidget* groupFilesOn() const { return m_groupFilesOn; }
    QLabel* dropResultLabel() const { return m_dropResultLabel; }
    PillButton* detailsButton() const { return m_detailsButton; }
    PillButton* dropRemove() const { return m_dropRemove; }
    BusyIndicator* dropSpinner() const { return m_dropSpinner; }
    QLabel* volumeOption() const { return m_volumeOption; }
    QLabel* volumeImage() const { return m_volumeImage; }
    QComboBox* methodSelection() const { return m_methodSelection; }
    QLabel* methodDescription() const { return m_methodDescription; }
    PillButton* startShredButton() const { return m_startShredButton; }
    DragDropFilesView* dropZone() const { return m_dropZone; }
    DragAndDropBGView* dndBackground() const { return m_dndBackground; }

signals:
    // A scan's result was stored and shown.
    void scanFinished();
    // The progress screen took over (the job starts).
    void progressShown(QWidget* progressScreen);

private:
    void setupUi();
    void initAlgorithms();
    void viewDidLoad();
    void setDropSubLabel();
    void droppedLocationViewState();
    void startReload();
    void onlyOneVolumeSupported();
    void hddWarning();
    void animateInfoBoardBy(int points);
    void startDNDAnimation();
    void stopDNDAnimation();
    // The sheet for a dropped volume; for a volume the system runs from it offers only the
    // free-space wipe.
    void showVolumeOptions(bool freeSpaceOnly);
    bool isSystemVolume(const std::string& path) const;
    // A volume the system runs from is among the locations: its files are never deleted.
    bool hasSystemVolume() const;
    void showProgress();
    void showAlert(const QString& message, const QString& informative, const QStringList& buttons);
    void alertClosed();
    // Runs work (which fills or refills a collection) on a worker; the result is shown unless a
    // newer scan started meanwhile.
    void scan(std::function<std::shared_ptr<PathCollection>()> work);

    SystemService& m_systermService;
    VolumeProbe m_volumeProbe;
    AlgorithmCollection m_algos;
    std::vector<std::string> m_locations;
    std::vector<std::string> m_volumes; // the volumes among the locations (one at most)
    std::shared_ptr<PathCollection> m_pathCollection;
    // What the user unticked in the explorer: every later scan of the selection keeps it out.
    std::vector<std::string> m_excludes;
    std::shared_ptr<ShredOptions> m_shredOptions;
    QString m_selectedOption;
    bool m_loaded = false;
    bool m_scanning = false;
    bool m_alertOpen = false;
    std::uint64_t m_scanGeneration = 0;
    int m_infoBoardBaseY = 0;
    QPointer<QWidget> m_explorer;

    ColorGradientView* m_gradientView = nullptr;
    DragDropFilesView* m_dropZone = nullptr;
    DragAndDropBGView* m_dndBackground = nullptr;
    QWidget* m_groupStart = nullptr;
    QWidget* m_groupFilesOn = nullptr;
    QWidget* m_groupInfoBoard = nullptr;
    QLabel* m_dropPrompt = nullptr;
    QLabel* m_dropPromptSub = nullptr;
    QLabel* m_dropResultLabel = nullptr;
    PillButton* m_detailsButton = nullptr;
    PillButton* m_dropRemove = nullptr;
    BusyIndicator* m_dropSpinner = nullptr;
    QLabel* m_volumeImage = nullptr;
    QLabel* m_volumeOption = nullptr;
    QLabel* m_methodHeadLine = nullptr;
    QComboBox* m_methodSelection = nullptr;
    QLabel* m_methodDescription = nullptr;
    PillButton* m_startShredButton = nullptr;
    DecorImage* m_imageUsb = nullptr;
    DecorImage* m_imageHd = nullptr;
    DecorImage* m_imageFile = nullptr;
    DecorImage* m_imageUpload = nullptr;
    QList<QPointer<QObject>> m_dndAnimations;
};

} // namespace cv
