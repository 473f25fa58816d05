#include "app/freespace/FreeSpaceViewController.h"

#include "app/AmountText.h"
#include "app/Palette.h"
#include "app/QuestionText.h"
#include "app/controls/ActionRow.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/MethodPicker.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"
#include "targets/VolumeMonitor.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSocketNotifier>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

enum Column
{
    MainColumn,
    SizeColumn,
    FreeColumn,
};

QIcon volumeIcon(const Volume& volume)
{
    // Removable media are mounted below /media and /run/media; everything else is a disk.
    const bool removable = volume.path().starts_with("/media/") || volume.path().starts_with("/run/media/");
    return removable ? QIcon::fromTheme(u"drive-removable-media"_s, QIcon(u":/images/usb.svg"_s))
                     : QIcon::fromTheme(u"drive-harddisk"_s, QIcon(u":/images/hdd.svg"_s));
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

FreeSpaceViewController::FreeSpaceViewController(FreeSpaceSelection* selection, bool watchVolumes,
                                                 QWidget* parent)
    : QWidget(parent), m_selection(selection ? selection : new FreeSpaceSelection)
{
    m_selection->setParent(this);
    setObjectName(u"FreeSpaceViewController"_s);
    setupUi();
    connect(m_selection, &FreeSpaceSelection::scanFinished, this, [this] {
        updateView();
        emit scanFinished();
    });
    if (watchVolumes) {
        m_monitor = std::make_unique<VolumeMonitor>();
        if (m_monitor->valid()) {
            m_monitorNotifier = new QSocketNotifier(m_monitor->fd(), QSocketNotifier::Exception, this);
            connect(m_monitorNotifier, &QSocketNotifier::activated, this,
                    &FreeSpaceViewController::volumesChanged);
        }
    }
    volumesChanged();
}

FreeSpaceViewController::~FreeSpaceViewController() = default;

void FreeSpaceViewController::setupUi()
{
    // Start and the method summary stay at the bottom; the content above them scrolls.
    m_startShredButton = new PillButton(tr("Start"), PillButton::Style::Filled);
    m_startShredButton->setObjectName(u"startShred"_s);
    m_startShredButton->setFixedHeight(40);
    m_startShredButton->setMinimumWidth(180);
    connect(m_startShredButton, &PillButton::clicked, this, &FreeSpaceViewController::startShred);
    m_actionRow = new ActionRow(m_startShredButton);
    QWidget* base = ActionRow::frame(this, m_actionRow);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(20, 18, 20, 0);
    layout->setSpacing(0);

    m_tableView = new QTableWidget(0, 3, base);
    m_tableView->setObjectName(u"tableView"_s);
    m_tableView->setHorizontalHeaderLabels({tr("Volume"), tr("Size"), tr("Free")});
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setShowGrid(false);
    m_tableView->setAlternatingRowColors(true);
    m_tableView->setIconSize(QSize(28, 28));
    m_tableView->verticalHeader()->hide();
    m_tableView->verticalHeader()->setDefaultSectionSize(44);
    m_tableView->horizontalHeader()->setSectionResizeMode(MainColumn, QHeaderView::Stretch);
    for (int column : {SizeColumn, FreeColumn}) {
        m_tableView->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
        m_tableView->setColumnWidth(column, 130);
    }
    m_tableView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tableView->setStyleSheet(
        u"QTableWidget { background: %1; alternate-background-color: %2; border: 1px solid %3; }"
        "QTableWidget::item:selected { background: %4; color: %5; }"_s.arg(
            Palette::css(Palette::base()), Palette::css(Palette::alternateBase()),
            Palette::css(Palette::separator()), Palette::css(Palette::accentFill()),
            Palette::css(Palette::onAccent())));
    m_tableView->setMinimumHeight(200);
    connect(m_tableView, &QTableWidget::itemSelectionChanged, this,
            &FreeSpaceViewController::selectionChanged);
    layout->addWidget(m_tableView, 1);
    layout->addSpacing(6);

    // While the selected volume is read (which may take a while on a full one), a busy sign says
    // why Start is not yet on; then why the volume cannot be wiped, before any job is started.
    auto* noteRow = new QHBoxLayout;
    noteRow->setSpacing(8);
    m_readingSpinner = new BusyIndicator(base);
    m_readingSpinner->setObjectName(u"readingSpinner"_s);
    m_readingSpinner->setFixedSize(18, 18);
    noteRow->addWidget(m_readingSpinner);
    m_readingLabel = styledLabel(base, 12, Palette::secondaryText());
    m_readingLabel->setObjectName(u"readingLabel"_s);
    m_readingLabel->setText(tr("Reading the volume..."));
    noteRow->addWidget(m_readingLabel);
    m_volumeNote = styledLabel(base, 12, Palette::failure());
    m_volumeNote->setObjectName(u"volumeNote"_s);
    m_volumeNote->setWordWrap(true);
    m_volumeNote->setMinimumHeight(18);
    noteRow->addWidget(m_volumeNote, 1);
    layout->addLayout(noteRow);
    layout->addSpacing(10);

    m_methodPicker = new MethodPicker(MethodPicker::Role::Screen, SettingsManager::sharedManager(), base);
    connect(m_methodPicker, &MethodPicker::methodChanged, this, &FreeSpaceViewController::updateView);
    layout->addWidget(m_methodPicker);
}

std::shared_ptr<Algorithm> FreeSpaceViewController::selectedMethod() const
{
    return m_methodPicker->selected();
}

void FreeSpaceViewController::volumesChanged()
{
    logLine("volume Change detected");
    m_selection->refresh();
    fillTable();
    updateView();
    emit volumesShown();
}

void FreeSpaceViewController::fillTable()
{
    m_filling = true;
    m_tableView->clearSelection();
    const auto& volumes = m_selection->volumes();
    m_tableView->setRowCount(static_cast<int>(volumes.size()));
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const Volume& volume = volumes[i];
        const int row = static_cast<int>(i);
        // The name, and below it the whole mount point: two volumes may share a name or a last
        // path component.
        const QString title = QFile::decodeName(QByteArray::fromStdString(volume.displayName()));
        const QString mountPoint = QFile::decodeName(QByteArray::fromStdString(volume.path()));
        auto* name =
            cell(title == mountPoint ? title : title + u'\n' + mountPoint, Qt::AlignLeft | Qt::AlignVCenter);
        name->setIcon(volumeIcon(volume));
        name->setToolTip(QFile::decodeName(QByteArray::fromStdString(volume.path())));
        m_tableView->setItem(row, MainColumn, name);
        m_tableView->setItem(row, SizeColumn,
                             cell(AmountText::bytes(volume.size()), Qt::AlignLeft | Qt::AlignVCenter));
        m_tableView->setItem(row, FreeColumn,
                             cell(AmountText::bytes(volume.freeSpace()), Qt::AlignLeft | Qt::AlignVCenter));
    }
    // The selection stays with its volume while that is listed.
    if (const int row = m_selection->selectedRow(); row >= 0)
        m_tableView->selectRow(row);
    m_filling = false;
}

void FreeSpaceViewController::selectionChanged()
{
    if (m_filling)
        return;
    const QList<QTableWidgetItem*> items = m_tableView->selectedItems();
    m_notice.clear();
    m_selection->select(items.isEmpty() ? -1 : items.front()->row());
    updateView();
}

void FreeSpaceViewController::updateView()
{
    const Volume* volume = m_selection->selectedVolume();
    m_volumeNote->setText(!m_notice.isEmpty() ? m_notice
                          : volume && !m_selection->isWritable()
                              ? tr("You cannot write to this volume, so its free space cannot be wiped.")
                              : QString());
    const bool reading = m_selection->isScanning();
    m_readingLabel->setVisible(reading);
    m_readingSpinner->setAnimating(reading);
    m_startShredButton->setEnabled(m_selection->canStart(selectedMethod().get()));
    m_actionRow->setSummary(m_methodPicker->summary());
}

void FreeSpaceViewController::startShred()
{
    if (!m_selection->canStart(selectedMethod().get()))
        return;
    m_notice.clear();
    updateView();
    // The answer holds for the volume it was asked for (the same mount of the same file system),
    // whatever else was mounted or unmounted meanwhile.
    ConfirmDeletionDialog::confirmThenStart(
        this,
        [this, asked = *m_selection->selectedVolume()] {
            const Volume* now = m_selection->selectedVolume();
            return now && now->isSameMountAs(asked) && m_selection->canStart(selectedMethod().get());
        },
        "The volume changed while the confirmation was open; nothing started", "Freespace was cancelled!",
        [this] { requestJob(); }, volumeQuestion(), QuestionText::freeSpaceConsequence(),
        [this] {
            m_notice = tr("The volume changed while you confirmed; nothing was started");
            updateView();
        });
}

QString FreeSpaceViewController::volumeQuestion() const
{
    const Volume* volume = m_selection->selectedVolume();
    if (!volume)
        return {};
    // The files stay; still the user sees which volume the wipe fills to the last block.
    const QString mountPoint = QFile::decodeName(QByteArray::fromStdString(volume->path()));
    const QString size = AmountText::bytes(static_cast<std::int64_t>(volume->size()));
    if (volume->name().empty() || volume->name() == volume->path())
        return tr("This wipes the free space of the volume mounted at %1 (%2).").arg(mountPoint, size);
    return tr("This wipes the free space of the volume “%1”, mounted at %2 (%3).")
        .arg(QString::fromStdString(volume->name()), mountPoint, size);
}

void FreeSpaceViewController::requestJob()
{
    const std::shared_ptr<Algorithm> method = selectedMethod();
    if (!m_selection->canStart(method.get()))
        return;
    emit jobRequested({m_selection->pathCollection(), method,
                       std::make_shared<ShredOptions>(FreeSpaceSelection::shredOptions()),
                       JobRequest::ReturnTo::FreeSpaceScreen});
}

} // namespace cv
