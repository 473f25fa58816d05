#pragma once

#include "app/explorer/ExplorerFileListController.h"

#include <QWidget>

#include <memory>

class QLabel;

namespace cv {

// The file explorer screen: the shred screen's selection as an indented list with a checkbox per
// row, a summary of what stays selected, and a back control that hands the changed collection
// back (dismissed(); the shred screen rescans it so that its totals leave the unticked entries out).
// Touches the file system only to reveal or preview a file at the user's request.
class ExplorerViewController : public QWidget, public ExplorerFileListControllerDelegate
{
    Q_OBJECT

public:
    explicit ExplorerViewController(std::shared_ptr<PathCollection> collection, QWidget* parent = nullptr);

    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    ExplorerFileListController* fileListController() const { return m_fileListController; }

    void updateSummary();
    // The back control: dismissed() hands the collection back, and the screen fades out.
    void dismiss();

    // ExplorerFileListControllerDelegate
    void pathCollectionChanged(const std::shared_ptr<PathCollection>& collection) override;

signals:
    void dismissed(std::shared_ptr<PathCollection> collection);

private:
    std::shared_ptr<PathCollection> m_pathCollection;
    ExplorerFileListController* m_fileListController;
    QLabel* m_backLabel;
    QLabel* m_summaryLabel;
    bool m_dismissed = false;
};

} // namespace cv
