#include "app/shred/OpenPanel.h"

#include "app/AmountText.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The panel's list over the file-system model, with the sizes of its "Size" column and the dates
// of its "Date Modified" column as the rest of the window writes them, in its language (the model
// itself writes them in the system's, and sizes in binary units).
class WindowLanguageColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        constexpr int kSizeColumn = 1;
        constexpr int kDateColumn = 3;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kSizeColumn)
            return files->isDir(source) ? QString() : AmountText::bytes(files->size(source));
        if (index.column() == kDateColumn)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

OpenPanel::OpenPanel(QWidget* parent) : QFileDialog(parent)
{
    setObjectName(u"OpenPanel"_s);
    setWindowModality(Qt::WindowModal);
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setLabelText(QFileDialog::Accept, tr("Select"));
    setWindowTitle(tr("Select files and folders"));
    // Before the views are set up below: the proxy brings views and selection models of its own.
    setProxyModel(new WindowLanguageColumns(this));
    for (auto* view : findChildren<QAbstractItemView*>())
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    replaceAcceptButton();
    resize(kStartSize.expandedTo(sizeHint()));
    widenColumns();
    // The types are known once a folder is read.
    if (auto* files = findChild<QFileSystemModel*>())
        connect(files, &QFileSystemModel::directoryLoaded, this, &OpenPanel::widenColumns);
}

void OpenPanel::widenColumns()
{
    // Qt's panel makes its places as wide as the first of them ("Computer"): a longer name (the
    // home folder's) was cut off at its end, with a scroll bar under it.
    if (auto* places = findChild<QListView*>(u"sidebar"_s); places && places->model()) {
        places->setTextElideMode(Qt::ElideMiddle);
        places->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        int widest = 0;
        for (int row = 0; row < places->model()->rowCount(); ++row)
            widest = std::max(widest, places->sizeHintForIndex(places->model()->index(row, 0)).width());
        const int scrollBar = places->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, places);
        const int width = widest + 2 * places->frameWidth() + scrollBar;
        places->setMinimumWidth(std::min(width, kWidestPlaces));
        if (auto* splitter = findChild<QSplitter*>(u"splitter"_s); splitter && splitter->count() == 2) {
            QList<int> sizes = splitter->sizes();
            const int total = sizes.value(0) + sizes.value(1);
            if (sizes.value(0) < places->minimumWidth() && total > 0)
                splitter->setSizes({places->minimumWidth(), total - places->minimumWidth()});
        }
    }
    // The type column, which Qt leaves at a fixed width ("Ver…nis" for a German "Verzeichnis"):
    // as wide as the types shown, up to a limit that leaves the names their room.
    if (auto* details = findChild<QTreeView*>(u"treeView"_s)) {
        constexpr int kTypeColumn = 2;
        const int wanted =
            std::max(static_cast<const QAbstractItemView*>(details)->sizeHintForColumn(kTypeColumn),
                     details->header()->sectionSizeHint(kTypeColumn));
        const int width = std::min(wanted, kWidestType);
        if (width > details->columnWidth(kTypeColumn))
            details->setColumnWidth(kTypeColumn, width);
    }
}

void OpenPanel::replaceAcceptButton()
{
    auto* box = findChild<QDialogButtonBox*>(u"buttonBox"_s);
    if (!box)
        return; // Qt's layout changed: its own button stays, with its own behaviour
    // Without its button, Qt's dialog has nothing to rename; its list still enters a folder on a
    // double click (or Return in the list).
    if (QPushButton* qtButton = box->button(QDialogButtonBox::Open)) {
        box->removeButton(qtButton);
        qtButton->deleteLater();
    }
    m_selectButton = box->addButton(tr("Select"), QDialogButtonBox::AcceptRole);
    m_selectButton->setObjectName(u"selectButton"_s);
    m_selectButton->setDefault(true);
    // The box's accepted() reaches the dialog's accept() already.
    for (auto* view : findChildren<QAbstractItemView*>()) {
        if (view->selectionModel())
            connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                    &OpenPanel::updateSelectButton);
    }
    if (auto* name = findChild<QLineEdit*>(u"fileNameEdit"_s)) {
        connect(name, &QLineEdit::textChanged, this, &OpenPanel::updateSelectButton);
        name->installEventFilter(this);
    }
    connect(this, &QFileDialog::directoryEntered, this, &OpenPanel::updateSelectButton);
    updateSelectButton();
}

bool OpenPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->objectName() == u"fileNameEdit"_s) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            enterTypedFolder(static_cast<QLineEdit*>(watched)))
            return true;
    }
    return QFileDialog::eventFilter(watched, event);
}

bool OpenPanel::enterTypedFolder(QLineEdit* name)
{
    // A folder typed into the name field and confirmed with Return is entered, as in every file
    // dialog; the list's completion may have selected it, but only Select adds.
    const QString typed = name->text().trimmed();
    if (typed.isEmpty())
        return false;
    const QString path = QDir(directory()).absoluteFilePath(typed);
    if (!QFileInfo(path).isDir())
        return false;
    setDirectory(QDir::cleanPath(path));
    name->clear();
    for (auto* view : findChildren<QAbstractItemView*>()) {
        if (view->selectionModel())
            view->selectionModel()->clearSelection();
    }
    updateSelectButton();
    return true;
}

void OpenPanel::updateSelectButton()
{
    bool any = false;
    for (const auto* view : findChildren<QAbstractItemView*>()) {
        if (view->selectionModel() && view->selectionModel()->hasSelection())
            any = true;
    }
    if (const auto* name = findChild<QLineEdit*>(u"fileNameEdit"_s))
        any = any || !name->text().trimmed().isEmpty();
    m_selectButton->setEnabled(any);
}

void OpenPanel::accept()
{
    m_selectedPaths.clear();
    const auto* model = findChild<QFileSystemModel*>();
    const auto* list = findChild<QListView*>(u"listView"_s);
    const auto* tree = findChild<QTreeView*>(u"treeView"_s);
    const QAbstractItemView* view =
        (tree && tree->isVisible()) ? static_cast<const QAbstractItemView*>(tree) : list;
    if (model && view && view->selectionModel()) {
        QModelIndexList rows = view->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        for (const QModelIndex& row : rows) {
            // The view may show a sorting proxy of the model; map through it when there is one.
            QModelIndex index = row;
            if (index.model() != model) {
                if (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model()))
                    index = proxy->mapToSource(index);
            }
            const QString path = model->filePath(index);
            if (!path.isEmpty())
                m_selectedPaths.push_back(QFile::encodeName(path).toStdString());
        }
    }
    if (m_selectedPaths.empty()) {
        // A name typed into the panel: the dialog's own handling (it enters a typed folder and
        // closes for a typed file, telling finished() at once, so the paths are set before).
        for (const QString& file : selectedFiles())
            m_selectedPaths.push_back(QFile::encodeName(file).toStdString());
        QFileDialog::accept();
        return;
    }
    QDialog::accept();
}

} // namespace cv
