#include "app/reports/ReportModulListViewController.h"

#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/EventHandlingCollectionView.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/dialogs/WarningAlert.h"
#include "app/reports/ReportCol.h"
#include "app/reports/ReportListModel.h"
#include "common/Log.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportModulListViewController::ReportModulListViewController(ReportKeeper& keeper, QWidget* parent)
    : QWidget(parent), m_model(new ReportListModel(keeper, this))
{
    setObjectName(u"ReportModulListViewController"_s);
    setOpener({});
    ColorGradientView* base = ColorGradientView::fill(this);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(30, 24, 30, 16);
    layout->setSpacing(12);
    auto* heading = styledLabel(base, 22, Palette::text(), {}, QFont::Light);
    heading->setObjectName(u"reportsHeading"_s);
    heading->setText(tr("Deletion reports"));
    layout->addWidget(heading);

    m_collectionView = new EventHandlingCollectionView(base);
    m_collectionView->setObjectName(u"collectionView"_s);
    m_collectionView->setViewMode(QListView::IconMode);
    m_collectionView->setFlow(QListView::LeftToRight);
    m_collectionView->setWrapping(true);
    m_collectionView->setResizeMode(QListView::Adjust);
    m_collectionView->setMovement(QListView::Static);
    m_collectionView->setUniformItemSizes(true);
    m_collectionView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_collectionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_collectionView->setFrameShape(QFrame::NoFrame);
    m_collectionView->viewport()->setAutoFillBackground(false);
    m_collectionView->setAttribute(Qt::WA_TranslucentBackground);
    m_collectionView->setStyleSheet(u"QListView { background: transparent; }"_s);
    m_cards = new ReportCol(m_collectionView);
    m_collectionView->setItemDelegate(m_cards);
    m_collectionView->setModel(m_model->reports());
    m_collectionView->setSelectionModel(m_model->selection());
    // At most six columns of the widest cards: the grid grows no wider than that.
    m_collectionView->setMaximumWidth(ReportCol::kMaxColumns * ReportCol::kMaxWidth + scrollBarExtent());
    m_collectionView->installEventFilter(this);
    layout->addWidget(m_collectionView, 1);

    m_emptyMessage = styledLabel(base, 16, Palette::faintText(), Qt::AlignCenter);
    m_emptyMessage->setObjectName(u"emptyMessage"_s);
    m_emptyMessage->setText(tr("No reports saved yet"));
    m_emptyMessage->setWordWrap(true);
    layout->addWidget(m_emptyMessage, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(14);
    buttons->addStretch(1);
    m_deleteButton = new PillButton(tr("Delete"), PillButton::Style::Outlined, base);
    m_deleteButton->setObjectName(u"deleteButton"_s);
    m_viewButton = new PillButton(tr("View"), PillButton::Style::Filled, base);
    m_viewButton->setObjectName(u"viewButton"_s);
    for (PillButton* button : {m_deleteButton, m_viewButton}) {
        button->setFixedHeight(34);
        button->setMinimumWidth(130);
        // The buttons come and go with the selection; the row keeps its height.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(m_deleteButton, &PillButton::clicked, this, &ReportModulListViewController::deleteClicked);
    connect(m_viewButton, &PillButton::clicked, this, &ReportModulListViewController::viewClicked);
    connect(m_collectionView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        logLine("double click!");
        openReportForPath(m_model->reports()->pathAt(index.row()));
    });
    // Return opens the report when View is the default button (one report selected).
    connect(m_collectionView, &EventHandlingCollectionView::defaultKeyPressed, this, [this] {
        if (m_viewButton->isDefault() && m_viewButton->isEnabled())
            viewClicked();
    });
    connect(m_model, &ReportListModel::changed, this, &ReportModulListViewController::changeButtonStates);
    m_model->loadFiles();
}

void ReportModulListViewController::setOpener(std::function<bool(const QString& path)> opener)
{
    m_opener = opener ? std::move(opener) : [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
}

void ReportModulListViewController::changeButtonStates()
{
    const ReportListModel::ButtonStates states = m_model->buttonStates();
    m_deleteButton->setVisible(states.deleteVisible);
    m_deleteButton->setEnabled(states.deleteEnabled);
    m_viewButton->setVisible(states.viewVisible);
    m_viewButton->setEnabled(states.viewEnabled);
    m_viewButton->setDefault(states.viewIsDefault);
    m_emptyMessage->setVisible(m_model->isEmpty());
    m_collectionView->setVisible(!m_model->isEmpty());
}

bool ReportModulListViewController::eventFilter(QObject* watched, QEvent* event)
{
    // The cards share the width of the grid, which changes with the window.
    if (watched == m_collectionView && event->type() == QEvent::Resize)
        layOutCards();
    return QWidget::eventFilter(watched, event);
}

void ReportModulListViewController::showEvent(QShowEvent* event)
{
    m_model->reports()->refreshSignatures();
    QWidget::showEvent(event);
}

int ReportModulListViewController::scrollBarExtent() const
{
    // The view reserves the scroll bar's extent and, in some styles, a frame around it.
    const QStyle* style = m_collectionView->style();
    return style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_collectionView->verticalScrollBar()) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_collectionView);
}

void ReportModulListViewController::layOutCards()
{
    // The grid keeps room for its scroll bar whether or not it shows (as the view lays out).
    const int cardWidth = ReportCol::cardWidthFor(m_collectionView->width() - scrollBarExtent());
    m_cards->setCardWidth(cardWidth);
    m_collectionView->setGridSize(QSize(cardWidth, ReportCol::kHeight));
}

void ReportModulListViewController::viewClicked()
{
    for (const QString& path : m_model->selectedPaths())
        openReportForPath(path);
}

void ReportModulListViewController::openReportForPath(const QString& path)
{
    switch (ReportListModel::openAction(path)) {
    case ReportListModel::OpenAction::Missing:
        (new WarningAlert(tr("Error"), tr("File with path %1 does not exists").arg(path), {tr("Ok")}, this))
            ->open();
        return;
    case ReportListModel::OpenAction::External:
        if (!m_opener(path)) {
            logMessage("No viewer could open ", QFile::encodeName(path).toStdString());
            (new WarningAlert(tr("No application could open the report."), path, {tr("Ok")}, this))->open();
        }
        return;
    case ReportListModel::OpenAction::Review:
        emit reviewRequested(QUrl::fromLocalFile(path));
        return;
    }
}

void ReportModulListViewController::deleteClicked()
{
    auto* question =
        new ConfirmDeletionDialog(this, tr("The selected reports are removed from the report folder."));
    connect(question, &ConfirmDeletionDialog::cancelled, this, [] { logLine("Delete was cancelled!"); });
    connect(question, &ConfirmDeletionDialog::confirmed, m_model, &ReportListModel::deleteSelected);
    question->open();
}

} // namespace cv
