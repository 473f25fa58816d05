#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;

namespace cv {

class EventHandlingCollectionView;
class PillButton;
class ReportCol;
class ReportKeeper;
class ReportListModel;

// The Reports tab: the saved reports of the report folder as a grid of cards (ReportCol), with
// Delete and View for the selected ones. A PDF opens in the desktop's default application; any
// other report is asked for in the review window (reviewRequested: the window opens it).
class ReportModulListViewController : public QWidget
{
    Q_OBJECT

public:
    // The list follows keeper: it reloads when a report was generated or the folder changed.
    explicit ReportModulListViewController(ReportKeeper& keeper, QWidget* parent = nullptr);

    ReportListModel* model() const { return m_model; }
    // What opens a PDF (false: nothing could); empty: the desktop's default application.
    void setOpener(std::function<bool(const QString& path)> opener);

    void deleteClicked();
    void viewClicked();
    void openReportForPath(const QString& path);

signals:
    void reviewRequested(const QUrl& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Each time the tab is shown the signature states are asked for again (the user's key may
    // have been replaced in the settings); files that did not change keep their cached state.
    void showEvent(QShowEvent* event) override;

private:
    void changeButtonStates();
    void layOutCards();
    int scrollBarExtent() const;

    ReportListModel* m_model;
    std::function<bool(const QString& path)> m_opener;
    EventHandlingCollectionView* m_collectionView;
    ReportCol* m_cards;
    PillButton* m_deleteButton;
    PillButton* m_viewButton;
    QLabel* m_emptyMessage;
};

} // namespace cv
