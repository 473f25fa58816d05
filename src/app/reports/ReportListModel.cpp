#include "app/reports/ReportListModel.h"

#include "app/ReportKeeper.h"

#include <QFileInfo>

#include <algorithm>

namespace cv {

ReportListModel::ReportListModel(ReportKeeper& keeper, QObject* parent)
    : QObject(parent), m_reports([&keeper] { return keeper.reportFolder(); }), m_selection(&m_reports)
{
    connect(&keeper, &ReportKeeper::reportGenerated, &m_reports, &SavedReportsModel::loadFiles);
    connect(&keeper, &ReportKeeper::reportFolderChanged, &m_reports, &SavedReportsModel::followReportFolder);
    // A reload clears the selection (the model is reset), and the buttons follow either way.
    connect(&m_reports, &QAbstractItemModel::modelReset, this, &ReportListModel::changed);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &ReportListModel::changed);
}

ReportListModel::ButtonStates ReportListModel::buttonStates(qsizetype selectedCount)
{
    ButtonStates states;
    states.deleteVisible = states.viewVisible = selectedCount > 0;
    states.deleteEnabled = selectedCount > 0;
    states.viewEnabled = states.viewIsDefault = selectedCount == 1;
    return states;
}

ReportListModel::ButtonStates ReportListModel::buttonStates() const
{
    return buttonStates(m_selection.selectedIndexes().size());
}

QList<int> ReportListModel::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_selection.selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList ReportListModel::selectedPaths() const
{
    QStringList paths;
    for (const int row : selectedRows())
        paths.append(m_reports.pathAt(row));
    return paths;
}

ReportListModel::OpenAction ReportListModel::openAction(const QString& path)
{
    if (!QFileInfo::exists(path))
        return OpenAction::Missing;
    return SavedReportsModel::opensExternally(path) ? OpenAction::External : OpenAction::Review;
}

void ReportListModel::deleteSelected()
{
    m_reports.removeReports(selectedRows());
}

} // namespace cv
