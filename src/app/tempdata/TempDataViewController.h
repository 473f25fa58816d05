#pragma once

#include "app/JobRequest.h"
#include "app/tempdata/TempDataSelection.h"
#include "engine/Algorithm.h"
#include "tempdata/SystemState.h"
#include "tempdata/TempCategories.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QFrame;
class QLabel;

namespace cv {

class ActionRow;
class BusyIndicator;
class MethodPicker;
class PillButton;

// The temporary-data screen: searches the folders of every category once (one box per row of the
// categories' table: logs, system caches, user caches, the Trash), shows each category's size as it
// arrives (the user's own ones chosen at once, the system's ones for root only, saying so to anyone
// else; the user may change either), the total of the chosen ones, and after the search the method
// list. Shred asks for confirmation (when prompts are on), then whether the local snapshots should
// go too, and asks the window for a job that removes the files and keeps every folder. A view over
// its TempDataSelection.
class TempDataViewController : public QWidget
{
    Q_OBJECT

public:
    explicit TempDataViewController(TempDataSelection* selection = nullptr, QWidget* parent = nullptr);
    ~TempDataViewController() override;

    TempDataSelection& selection() { return *m_selection; }

    // Whether the snapshot question can lead anywhere (SnapshotProbe by default); without
    // snapshots that can be removed it is not asked and the job keeps them.
    void setSnapshotProbe(std::function<bool()> probe) { m_snapshotsRemovable = std::move(probe); }

    // The toggle of category type was used.
    void toggle(int type);
    void startShred();

signals:
    // A category's result is shown.
    void categoryShown(int type);
    // The search is complete and the results are shown.
    void resultsShown();
    void jobRequested(const JobRequest& request);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Category
    {
        QFrame* box = nullptr;
        QLabel* title = nullptr;
        BusyIndicator* progress = nullptr;
        QLabel* size = nullptr;
        QLabel* needsAdministrator = nullptr; // said for the system's categories to a user
        QLabel* kept = nullptr;               // what the category leaves out as the system's state
        PillButton* toggle = nullptr;
    };

    void setupUi();
    QFrame* makeBox(const TempCategories::Row& row);
    void found(int type);
    void showNotes(Category& category, const TempResult* result);
    void finishedAll();
    void restyle(int type);
    void updateResult();
    // What the confirmation names as destroyed.
    QString question() const;
    void askSnapshots();
    void requestJob(bool removeSnapshots);
    std::shared_ptr<Algorithm> selectedMethod() const;

    TempDataSelection* m_selection;
    std::vector<Category> m_categories; // per category, indexed by its type
    QLabel* m_header = nullptr;
    QWidget* m_resultGroup = nullptr;
    QLabel* m_resultTotal = nullptr;
    MethodPicker* m_methodPicker = nullptr;
    PillButton* m_shredButton = nullptr;
    std::function<bool()> m_snapshotsRemovable;
    ActionRow* m_actionRow = nullptr;
};

} // namespace cv
