#pragma once

#include "app/explorer/ExplorerFileListController.h"
#include "app/explorer/ExplorerViewControllerDelegate.h"

#include <QWidget>

#include <memory>

class QLabel;

namespace cv {

// The file explorer screen: the shred screen's selection as an indented list with a checkbox per
// row, a summary of what stays selected, and a back control that hands the changed collection
// back to the shred screen (which rescans it so that its totals leave the unticked entries out).
// Touches the file system only to reveal or preview a file at the user's request.
class ExplorerViewController : public QWidget, public ExplorerFileListControllerDelegate
{
    Q_OBJECT

public:
    explicit ExplorerViewController(std::shared_ptr<PathCollection> collection, QWidget* parent = nullptr);

    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    ExplorerViewControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(ExplorerViewControllerDelegate* delegate) { m_delegate = delegate; }
    ExplorerFileListController* fileListController() const { return m_fileListController; }
    QLabel* summaryLabel() const { return m_summaryLabel; }

    void updateSummary();
    // The back control: the delegate gets the collection, and the screen fades out.
    void dismiss();

    // ExplorerFileListControllerDelegate
    void pathCollectionChanged(const std::shared_ptr<PathCollection>& collection) override;

private:
    std::shared_ptr<PathCollection> m_pathCollection;
    ExplorerViewControllerDelegate* m_delegate = nullptr;
    ExplorerFileListController* m_fileListController;
    QLabel* m_backLabel;
    QLabel* m_summaryLabel;
    bool m_dismissed = false;
};

} // namespace cv
