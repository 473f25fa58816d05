#include "app/shred/OpenPanel.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
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
    replaceAcceptButton();
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
    if (auto* name = findChild<QLineEdit*>(u"fileNameEdit"_s))
        connect(name, &QLineEdit::textChanged, this, &OpenPanel::updateSelectButton);
    connect(this, &QFileDialog::directoryEntered, this, &OpenPanel::updateSelectButton);
    updateSelectButton();
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
