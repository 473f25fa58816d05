#pragma once

#include "reports/SavedReportsModel.h"

#include <QItemSelectionModel>
#include <QObject>

namespace cv {

class ReportKeeper;

// What the Reports tab decides, without widgets: the saved reports (SavedReportsModel, reloaded
// when the report keeper says a report was generated or the report folder changed), which of them are
// selected, which buttons that allows, how a report opens, and deleting the selected ones.
class ReportListModel : public QObject
{
    Q_OBJECT

public:
    // The buttons for the selection: none selected hides and disables both; one shows both and
    // makes view the default (Return opens it); two or more enable delete only.
    struct ButtonStates
    {
        bool deleteVisible = false;
        bool deleteEnabled = false;
        bool viewVisible = false;
        bool viewEnabled = false;
        bool viewIsDefault = false;
        bool operator==(const ButtonStates&) const = default;
    };

    // How a report opens.
    enum class OpenAction
    {
        Missing,  // no file at the path any more: the user is told
        External, // a PDF: the desktop's default application
        Review,   // any other file: the review window
    };

    explicit ReportListModel(ReportKeeper& keeper, QObject* parent = nullptr);

    SavedReportsModel* reports() { return &m_reports; }
    QItemSelectionModel* selection() { return &m_selection; }

    void loadFiles() { m_reports.loadFiles(); }
    static ButtonStates buttonStates(qsizetype selectedCount);
    ButtonStates buttonStates() const;
    bool isEmpty() const { return m_reports.files().isEmpty(); }
    // The full paths of the selected reports, in display order.
    QStringList selectedPaths() const;
    static OpenAction openAction(const QString& path);
    // Removes the selected reports (a plain removal) and reloads.
    void deleteSelected();

signals:
    // The list or the selection changed: the buttons and the empty message follow.
    void changed();

private:
    QList<int> selectedRows() const;

    SavedReportsModel m_reports;
    QItemSelectionModel m_selection;
};

} // namespace cv
