#pragma once

#include "app/JobRequest.h"
#include "app/freespace/FreeSpaceSelection.h"
#include "engine/Algorithm.h"

#include <QWidget>

#include <memory>

class QLabel;
class QSocketNotifier;
class QTableWidget;

namespace cv {

class ActionRow;
class BusyIndicator;
class MethodPicker;
class PillButton;
class VolumeMonitor;

// The free-space screen: the mounted volumes with their sizes, kept current while volumes come
// and go; the user selects one, picks an overwrite method and confirms, and the window runs a job
// that wipes that volume's free space only. A view over its FreeSpaceSelection, which makes the
// decisions; the job it asks of the window with jobRequested().
class FreeSpaceViewController : public QWidget
{
    Q_OBJECT

public:
    // selection: by default one over the mount table; watchVolumes: refresh on mount changes.
    explicit FreeSpaceViewController(FreeSpaceSelection* selection = nullptr, bool watchVolumes = true,
                                     QWidget* parent = nullptr);
    ~FreeSpaceViewController() override;

    const FreeSpaceSelection& selection() const { return *m_selection; }

    // The mount table changed: list the volumes anew.
    void volumesChanged();
    void startShred();

signals:
    // A selected volume's collection is stored and shown.
    void scanFinished();
    // The volume list was shown anew.
    void volumesShown();
    void jobRequested(const JobRequest& request);

private:
    void setupUi();
    void fillTable();
    void selectionChanged();
    void updateView();
    void requestJob();
    // What the confirmation names: the selected volume, its mount point and size.
    QString volumeQuestion() const;
    std::shared_ptr<Algorithm> selectedMethod() const;

    FreeSpaceSelection* m_selection;
    std::unique_ptr<VolumeMonitor> m_monitor;
    QSocketNotifier* m_monitorNotifier = nullptr;
    bool m_filling = false; // the table is being refilled: its selection signals are ours

    QTableWidget* m_tableView = nullptr;
    MethodPicker* m_methodPicker = nullptr;
    QLabel* m_volumeNote = nullptr;
    // Why a confirmed job did not start, shown in the note until the user selects again.
    QString m_notice;
    BusyIndicator* m_readingSpinner = nullptr; // while the selected volume is read
    QLabel* m_readingLabel = nullptr;
    PillButton* m_startShredButton = nullptr;
    ActionRow* m_actionRow = nullptr;
};

} // namespace cv
