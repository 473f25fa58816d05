#include "app/explorer/ExplorerFileListController.h"

#include "app/Palette.h"
#include "app/dialogs/WarningAlert.h"
#include "app/intake/FileUri.h"
#include "common/Log.h"
#include "targets/PathCollection.h"
#include "targets/TreeItem.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

// The rows of the list, read from the controller's source; the controller tells it about changes.
class ExplorerFileListModel : public QAbstractListModel
{
public:
    explicit ExplorerFileListModel(const std::vector<TreeItem*>& source, QObject* parent)
        : QAbstractListModel(parent), m_source(source)
    {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_source.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_source.size())
            return {};
        const TreeItem* item = m_source[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole: // the row elides a long name; the tip has the whole path
            return QFile::decodeName(QByteArray::fromStdString(item->path()));
        case Qt::CheckStateRole:
            return ExplorerFileCell::checkState(*item);
        default:
            return {};
        }
    }

    using QAbstractListModel::beginInsertRows;
    using QAbstractListModel::beginRemoveRows;
    using QAbstractListModel::beginResetModel;
    using QAbstractListModel::endInsertRows;
    using QAbstractListModel::endRemoveRows;
    using QAbstractListModel::endResetModel;

    void refresh()
    {
        if (!m_source.empty())
            emit dataChanged(index(0), index(static_cast<int>(m_source.size()) - 1));
    }

private:
    const std::vector<TreeItem*>& m_source;
};

namespace {

// Items in the order a file manager lists them: by name, numbers by their value, case aside.
template <typename Items> std::vector<TreeItem*> sortedByName(const Items& items)
{
    std::vector<std::pair<QString, TreeItem*>> named;
    for (const auto& item : items) {
        const std::string& path = item->path();
        const std::string name = path.substr(path.rfind('/') + 1);
        named.emplace_back(QFile::decodeName(QByteArray::fromStdString(name)), item.get());
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(named.begin(), named.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    std::vector<TreeItem*> sorted;
    for (const auto& entry : named)
        sorted.push_back(entry.second);
    return sorted;
}

} // namespace

ExplorerFileListController::ExplorerFileListController(QWidget* parent)
    : QWidget(parent), m_model(new ExplorerFileListModel(m_source, this)), m_tableView(new QListView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tableView);
    m_tableView->setModel(m_model);
    m_tableView->setItemDelegate(new ExplorerFileCell(this, m_tableView));
    m_tableView->setUniformItemSizes(true);
    // Rows are as wide as the view: long names are elided, never scrolled to.
    m_tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setMouseTracking(true);
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->installEventFilter(this);
    m_tableView->setStyleSheet(u"QListView { background: %1; border: 1px solid %2; }"_s.arg(
        Palette::css(Palette::base()), Palette::css(Palette::separator())));
    setOpener(nullptr);
}

void ExplorerFileListController::setOpener(std::function<bool(const QUrl& url)> opener)
{
    m_opener = opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

ExplorerFileListController::~ExplorerFileListController() = default;

TreeItem* ExplorerFileListController::itemAtRow(std::int64_t row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_source.size()
               ? m_source[static_cast<std::size_t>(row)]
               : nullptr;
}

void ExplorerFileListController::setPathCollection(std::shared_ptr<PathCollection> collection)
{
    m_model->beginResetModel();
    m_pathCollection = std::move(collection);
    m_source.clear();
    if (m_pathCollection) {
        m_source = sortedByName(m_pathCollection->trees());
        if (m_pathCollection->trees().size() == 1) {
            TreeItem* root = m_pathCollection->trees().front().get();
            root->setVisibleState(true);
            const std::vector<TreeItem*> children = sortedByName(root->children());
            m_source.insert(m_source.end(), children.begin(), children.end());
        }
    }
    m_model->endResetModel();
}

void ExplorerFileListController::reloadDataAndKeepSelection()
{
    const QModelIndex selected = m_tableView->currentIndex();
    m_model->refresh();
    if (selected.isValid() && selected.row() < m_model->rowCount())
        m_tableView->setCurrentIndex(m_model->index(selected.row()));
    m_tableView->viewport()->update();
}

void ExplorerFileListController::fileCellFolderButtonToggle(std::int64_t row, bool open)
{
    TreeItem* item = itemAtRow(row);
    if (!item || item->openFolder() == open)
        return;
    const auto at = static_cast<std::size_t>(row) + 1;
    if (open) {
        const auto& children = item->children();
        if (!children.empty()) {
            m_model->beginInsertRows({}, static_cast<int>(at), static_cast<int>(at + children.size() - 1));
            const std::vector<TreeItem*> inserted = sortedByName(children);
            m_source.insert(m_source.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(),
                            inserted.end());
            item->setVisibleState(true);
            m_model->endInsertRows();
        } else {
            item->setVisibleState(true);
        }
    } else {
        // Everything shown below the folder goes, open subfolders' rows included.
        const auto count = static_cast<std::size_t>(item->visibleDescendantsCount());
        const std::size_t last = std::min(m_source.size(), at + count);
        if (last > at) {
            m_model->beginRemoveRows({}, static_cast<int>(at), static_cast<int>(last - 1));
            m_source.erase(m_source.begin() + static_cast<std::ptrdiff_t>(at),
                           m_source.begin() + static_cast<std::ptrdiff_t>(last));
            item->setVisibleState(false);
            m_model->endRemoveRows();
        } else {
            item->setVisibleState(false);
        }
    }
    reloadDataAndKeepSelection();
}

void ExplorerFileListController::fileCellSelectToggle(std::int64_t row, bool state)
{
    TreeItem* item = itemAtRow(row);
    if (!item || !m_pathCollection)
        return;
    item->setSelectionState(state);
    std::vector<std::string> excludes;
    for (const auto& tree : m_pathCollection->trees())
        tree->appendDeactivatedPaths(excludes);
    m_pathCollection->setExcludes(std::move(excludes));
    reloadDataAndKeepSelection();
    if (m_delegate)
        m_delegate->pathCollectionChanged(m_pathCollection);
}

void ExplorerFileListController::fileCellShowInFinder(std::int64_t row)
{
    const TreeItem* item = itemAtRow(row);
    if (!item)
        return;
    // The file manager shows the item selected in its folder; without one, the folder opens.
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{FileUri::fromPath(item->path())} << QString();
    const std::string path = item->path();
    const auto openFolder = [this, path] {
        logMessage("File manager not reachable; opening the folder of ", path);
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        if (m_opener(QUrl::fromEncoded(FileUri::fromPath(folder).toLatin1())))
            return;
        logMessage("No file manager could open the folder of ", path);
        // Said as the Reports tab says it: a click that does nothing leaves the user guessing.
        (new WarningAlert(tr("No file manager could show the file."),
                          QFile::decodeName(QByteArray::fromStdString(path)), {tr("Ok")}, this))
            ->open();
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder();
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, openFolder] {
        if (watcher->isError())
            openFolder();
        watcher->deleteLater();
    });
}

void ExplorerFileListController::fileCellShowPreview(std::int64_t row)
{
    const TreeItem* item = itemAtRow(row);
    if (!item || !item->isPreviewPossible())
        return;
    // The desktop's default viewer stands in for a preview application.
    if (m_opener(QUrl::fromEncoded(FileUri::fromPath(item->path()).toLatin1())))
        return;
    logMessage("No viewer could open ", item->path());
    (new WarningAlert(tr("No application could open the file."),
                      QFile::decodeName(QByteArray::fromStdString(item->path())), {tr("Ok")}, this))
        ->open();
}

bool ExplorerFileListController::eventFilter(QObject* watched, QEvent* event)
{
    // Keys for the current row: space ticks or unticks it, right and left open and close folders.
    if (watched == m_tableView && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = m_tableView->currentIndex().row();
        const TreeItem* item = itemAtRow(row);
        if (item && key->key() == Qt::Key_Space) {
            fileCellSelectToggle(row, ExplorerFileCell::checkState(*item) != Qt::Checked);
            return true;
        }
        if (item && ExplorerFileCell::hasFolderButton(*item) &&
            (key->key() == Qt::Key_Right || key->key() == Qt::Key_Left)) {
            fileCellFolderButtonToggle(row, key->key() == Qt::Key_Right);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cv
