#include "app/shred/OpenPanel.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QTreeView>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

OpenPanel::OpenPanel(QWidget* parent) : QFileDialog(parent)
{
    setObjectName(u"OpenPanel"_s);
    setWindowModality(Qt::WindowModal);
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setLabelText(QFileDialog::Accept, tr("Select"));
    setWindowTitle(tr("Select files and folders"));
    for (auto* view : findChildren<QAbstractItemView*>())
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
