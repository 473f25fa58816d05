#pragma once

#include "app/explorer/ExplorerFileCell.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QListView;
class QUrl;

namespace cv {

class PathCollection;
class ExplorerFileListModel;

// Told that the user changed the selection of the collection the list shows.
class ExplorerFileListControllerDelegate
{
public:
    virtual ~ExplorerFileListControllerDelegate() = default;
    virtual void pathCollectionChanged(const std::shared_ptr<PathCollection>& collection) = 0;
};

// The file explorer's list: one row per visible tree item, folders opened and closed in place,
// a tri-state checkbox per row that takes the row and everything below it in or out of the
// selection, and the collection's excludes kept in step with the checkboxes.
class ExplorerFileListController : public QWidget, public ExplorerFileCellDelegate
{
    Q_OBJECT

public:
    explicit ExplorerFileListController(QWidget* parent = nullptr);
    ~ExplorerFileListController() override;

    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    // Shows the collection's trees; a single tree is opened at once.
    void setPathCollection(std::shared_ptr<PathCollection> collection);
    ExplorerFileListControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(ExplorerFileListControllerDelegate* delegate) { m_delegate = delegate; }

    // The items shown, one per row, in row order.
    const std::vector<TreeItem*>& source() const { return m_source; }
    QListView* tableView() const { return m_tableView; }
    void reloadDataAndKeepSelection();
    // What opens a file or folder URL in the desktop's application for it (the viewer that stands
    // in for Preview, the file manager); false when none could. QDesktopServices::openUrl unless
    // set (null restores it).
    void setOpener(std::function<bool(const QUrl& url)> opener);

    // ExplorerFileCellDelegate
    void fileCellFolderButtonToggle(std::int64_t row, bool open) override;
    void fileCellSelectToggle(std::int64_t row, bool state) override;
    void fileCellShowInFinder(std::int64_t row) override;
    void fileCellShowPreview(std::int64_t row) override;
    TreeItem* itemAtRow(std::int64_t row) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<PathCollection> m_pathCollection;
    ExplorerFileListControllerDelegate* m_delegate = nullptr;
    std::vector<TreeItem*> m_source;
    ExplorerFileListModel* m_model;
    QListView* m_tableView;
    std::function<bool(const QUrl& url)> m_opener;
};

} // namespace cv
