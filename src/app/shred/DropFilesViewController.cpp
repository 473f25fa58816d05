#include "app/shred/DropFilesViewController.h"

#include "app/CopyOnWriteText.h"
#include "app/Palette.h"
#include "app/QuestionText.h"
#include "app/controls/ActionRow.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/ElidedLabel.h"
#include "app/controls/MethodPicker.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/dialogs/WarningAlert.h"
#include "app/intake/SystemService.h"
#include "app/shred/DragAndDropBGView.h"
#include "app/shred/DragDropFilesView.h"
#include "app/shred/DropPrompt.h"
#include "app/shred/OpenPanel.h"
#include "app/shred/SelectionTexts.h"
#include "app/shred/VolumeOptionViewController.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// Where the info board rests below the drop zone's top; a drop moves it 30 points further down.
constexpr int kInfoBoardTop = 40;

void fadeIn(QWidget* widget)
{
    auto* effect = new QGraphicsOpacityEffect(widget);
    widget->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", widget);
    animation->setDuration(200);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    QObject::connect(animation, &QPropertyAnimation::finished, widget,
                     [widget] { widget->setGraphicsEffect(nullptr); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

DropFilesViewController::DropFilesViewController(VolumeOption preset, SystemService* intake,
                                                 VolumeProbe volumeProbe, QWidget* parent)
    : QWidget(parent), m_systemService(intake ? *intake : SystemService::sharedInstance()),
      m_selection(new ShredSelection(std::move(volumeProbe), preset, this))
{
    setObjectName(u"DropFilesViewController"_s);
    setupUi();
    connect(m_selection, &ShredSelection::scanFinished, this, [this] {
        setViewState();
        emit scanFinished();
    });
    setViewState();
    // The file intake hands queued files over once the screen sits in its host, so that a sheet
    // it may open has a window to sit on.
    QTimer::singleShot(0, this, &DropFilesViewController::viewDidLoad);
}

DropFilesViewController::~DropFilesViewController()
{
    if (m_systemService.delegate() == this) {
        m_systemService.setDelegate(nullptr);
        m_systemService.setReadyToReceiveFiles(false);
    }
}

void DropFilesViewController::viewDidLoad()
{
    m_systemService.setDelegate(this);
    m_systemService.readyToRun();
}

void DropFilesViewController::setupUi()
{
    // Start and the method summary stay at the bottom; the drop zone and the method list above
    // them scroll when the window is too small for them.
    m_startShredButton = new PillButton(tr("Start"), PillButton::Style::Filled);
    m_startShredButton->setObjectName(u"startShred"_s);
    m_startShredButton->setFixedHeight(40);
    m_startShredButton->setMinimumWidth(180);
    connect(m_startShredButton, &PillButton::clicked, this, &DropFilesViewController::startShred);
    m_actionRow = new ActionRow(m_startShredButton);
    QWidget* base = ActionRow::frame(this, m_actionRow);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(20, 18, 20, 0);
    layout->setSpacing(0);

    // The drop zone: its dashed background, the empty and the chosen state, and the spinner lie
    // on top of each other.
    auto* dropZone = new DragDropFilesView(base);
    dropZone->setObjectName(u"dropZone"_s);
    dropZone->setMinimumHeight(300);
    dropZone->setDelegate(this);
    auto* zone = new QGridLayout(dropZone);
    zone->setContentsMargins(0, 0, 0, 0);
    m_dndBackground = new DragAndDropBGView(dropZone);
    m_dndBackground->setObjectName(u"dndBackground"_s);
    zone->setSpacing(0);
    // The copy-on-write notice takes a row of its own at the zone's top, above the summary or the
    // volume, so that a longer (translated) warning pushes them down rather than running into them;
    // hidden, its row takes no room.
    zone->addWidget(m_dndBackground, 0, 0, 2, 1);
    zone->addWidget(makeCopyOnWriteNotice(dropZone), 0, 0);
    m_dropPrompt = new DropPrompt(dropZone);
    connect(m_dropPrompt, &DropPrompt::browseRequested, this, &DropFilesViewController::selectFiles);
    zone->addWidget(m_dropPrompt, 1, 0);
    zone->addWidget(makeFilesGroup(), 1, 0);
    zone->setRowStretch(1, 1);
    m_dropSpinner = new BusyIndicator(dropZone);
    m_dropSpinner->setObjectName(u"dropSpinner"_s);
    zone->addWidget(m_dropSpinner, 0, 0, 2, 1, Qt::AlignCenter);
    layout->addWidget(dropZone, 1);
    layout->addSpacing(18);

    // The method block: the list on the left, the chosen method's description on the right.
    m_methodPicker = new MethodPicker(MethodPicker::Role::Screen, SettingsManager::sharedManager(), base);
    connect(m_methodPicker, &MethodPicker::methodChanged, this, &DropFilesViewController::setViewState);
    layout->addWidget(m_methodPicker);
}

QWidget* DropFilesViewController::makeFilesGroup()
{
    // Chosen state: the summary board, or a volume's icon and option; the remove button.
    m_groupFilesOn = new QWidget;
    m_groupFilesOn->setObjectName(u"groupFilesOn"_s);
    m_filesLayout = new QVBoxLayout(m_groupFilesOn);
    m_filesLayout->setContentsMargins(16, kInfoBoardTop, 16, 16);
    m_filesLayout->setSpacing(0);

    m_groupInfoBoard = new QWidget(m_groupFilesOn);
    auto* board = new QVBoxLayout(m_groupInfoBoard);
    board->setContentsMargins(0, 0, 0, 0);
    board->setSpacing(10);
    m_dropResultLabel = styledLabel(m_groupInfoBoard, 24, Palette::amount(), Qt::AlignCenter);
    m_dropResultLabel->setObjectName(u"dropResultLabel"_s);
    m_dropResultLabel->setTextFormat(Qt::RichText);
    m_dropResultLabel->setMinimumHeight(126);
    board->addWidget(m_dropResultLabel);
    m_detailsButton = new PillButton(tr("Show details"), PillButton::Style::Outlined, m_groupInfoBoard);
    m_detailsButton->setObjectName(u"detailsButton"_s);
    m_detailsButton->setFixedHeight(32);
    m_detailsButton->setMinimumWidth(160);
    connect(m_detailsButton, &PillButton::clicked, this, &DropFilesViewController::showExplorer);
    board->addWidget(m_detailsButton, 0, Qt::AlignHCenter);
    m_filesLayout->addWidget(m_groupInfoBoard);

    m_volumeImage = new QLabel(m_groupFilesOn);
    m_volumeImage->setObjectName(u"volumeImage"_s);
    m_volumeImage->setFixedSize(112, 112);
    m_volumeImage->setAlignment(Qt::AlignCenter);
    m_filesLayout->addWidget(m_volumeImage, 0, Qt::AlignHCenter);
    m_filesLayout->addSpacing(14);
    m_volumeOption = styledLabel(m_groupFilesOn, 18, Palette::text(), Qt::AlignCenter);
    m_volumeOption->setObjectName(u"volumeOption"_s);
    m_volumeOption->setMinimumHeight(30);
    m_filesLayout->addWidget(m_volumeOption);
    // Which volume it is: what a complete erase or the deletion of its files destroys is named.
    m_volumeTitle = new ElidedLabel(m_groupFilesOn);
    styleLabel(m_volumeTitle, 14, Palette::text(), Qt::AlignCenter);
    m_volumeTitle->setObjectName(u"volumeTitle"_s);
    m_filesLayout->addWidget(m_volumeTitle);
    m_volumeDetails = styledLabel(m_groupFilesOn, 12, Palette::secondaryText(), Qt::AlignCenter);
    m_volumeDetails->setObjectName(u"volumeDetails"_s);
    m_volumeDetails->setWordWrap(true);
    m_filesLayout->addWidget(m_volumeDetails);
    m_filesLayout->addStretch(1);

    // More can be added to a selection through the open panel, as to an empty screen.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    m_addMore = new PillButton(tr("Add..."), PillButton::Style::Outlined, m_groupFilesOn);
    m_addMore->setObjectName(u"addMore"_s);
    m_addMore->setFixedHeight(32);
    m_addMore->setMinimumWidth(120);
    connect(m_addMore, &PillButton::clicked, this, &DropFilesViewController::selectFiles);
    buttons->addWidget(m_addMore);
    m_dropRemove = new PillButton(tr("Remove all"), PillButton::Style::Outlined, m_groupFilesOn);
    m_dropRemove->setObjectName(u"dropRemove"_s);
    m_dropRemove->setFixedHeight(32);
    m_dropRemove->setMinimumWidth(120);
    connect(m_dropRemove, &PillButton::clicked, this, &DropFilesViewController::removeDroppedFiles);
    buttons->addWidget(m_dropRemove);
    m_filesLayout->addLayout(buttons);
    return m_groupFilesOn;
}

QWidget* DropFilesViewController::makeCopyOnWriteNotice(QWidget* parent)
{
    // Shown only for targets on a copy-on-write volume: the warning, and the choice that finishes
    // the job there.
    m_copyOnWriteNotice = new QWidget(parent);
    m_copyOnWriteNotice->setObjectName(u"copyOnWriteNotice"_s);
    auto* layout = new QVBoxLayout(m_copyOnWriteNotice);
    layout->setContentsMargins(18, 10, 18, 6);
    layout->setSpacing(4);
    m_copyOnWriteWarning =
        styledLabel(m_copyOnWriteNotice, 12, Palette::failure(), Qt::AlignLeft | Qt::AlignTop);
    m_copyOnWriteWarning->setObjectName(u"copyOnWriteWarning"_s);
    m_copyOnWriteWarning->setWordWrap(true);
    layout->addWidget(m_copyOnWriteWarning);
    m_thenWipeFree =
        new QCheckBox(tr("Wipe the free space after the deletion (finishes the job)"), m_copyOnWriteNotice);
    m_thenWipeFree->setObjectName(u"thenWipeFree"_s);
    connect(m_thenWipeFree, &QCheckBox::toggled, this,
            [this](bool checked) { m_selection->setThenWipeFree(checked); });
    layout->addWidget(m_thenWipeFree);
    return m_copyOnWriteNotice;
}

std::shared_ptr<Algorithm> DropFilesViewController::selectedMethod() const
{
    return m_methodPicker->selected();
}

void DropFilesViewController::showSummary()
{
    const std::shared_ptr<PathCollection>& collection = m_selection->pathCollection();
    m_detailsButton->setEnabled(collection != nullptr);
    if (!collection) {
        m_dropResultLabel->clear();
        return;
    }
    m_dropResultLabel->setText(SelectionTexts::summaryHtml(*collection));
}

void DropFilesViewController::setViewState()
{
    const ShredSelection& selection = *m_selection;
    const bool scanning = selection.isScanning();
    const bool listed = selection.hasLocations() && !scanning;
    m_dropPrompt->setVisible(!selection.hasLocations());
    m_groupFilesOn->setVisible(listed);
    m_dropRemove->setVisible(listed);
    m_addMore->setVisible(listed);
    m_dropSpinner->setAnimating(scanning);

    const bool volume = selection.hasVolume();
    m_groupInfoBoard->setVisible(listed && !volume);
    m_dropResultLabel->setVisible(listed && !volume);
    m_detailsButton->setVisible(listed && !volume);
    m_volumeImage->setVisible(listed && volume);
    m_volumeOption->setVisible(listed && volume);
    m_volumeTitle->setVisible(listed && volume);
    m_volumeDetails->setVisible(listed && volume);
    if (listed && !volume)
        showSummary();
    else
        m_dropResultLabel->clear();
    if (volume) {
        // Without an option (yet) the text stays.
        if (const QString option = SelectionTexts::optionTitle(selection.option()); !option.isEmpty())
            m_volumeOption->setText(option);
        const VolumeFacts facts = selection.volumeFacts();
        m_volumeTitle->setFullText(SelectionTexts::volumeTitle(facts));
        m_volumeDetails->setText(SelectionTexts::volumeDetails(facts));
        // A mount point is a folder to the file icon provider; the desktop's drive icon says volume.
        const QIcon icon = QIcon::fromTheme(u"drive-harddisk"_s, QIcon(u":/images/hdd.svg"_s));
        m_volumeImage->setPixmap(icon.pixmap(QSize(96, 96)));
    }

    const bool copyOnWrite = listed && selection.offersThenWipeFree();
    m_copyOnWriteNotice->setVisible(copyOnWrite);
    m_copyOnWriteWarning->setText(
        copyOnWrite ? CopyOnWriteText::forVolumes(selection.copyOnWriteVolumes(), true) : QString());
    m_copyOnWriteWarning->setToolTip(copyOnWrite ? CopyOnWriteText::forVolumes(selection.copyOnWriteVolumes())
                                                 : QString());
    {
        const QSignalBlocker blocker(m_thenWipeFree);
        m_thenWipeFree->setChecked(selection.thenWipeFree());
    }

    m_startShredButton->setEnabled(selection.canStart(selectedMethod().get()));
    m_actionRow->setSummary(m_methodPicker->summary());
}

void DropFilesViewController::droppedLocations(const std::vector<std::string>& paths)
{
    // Queued ahead of the scan's result, so that it always finds the scan running.
    QTimer::singleShot(0, this, &DropFilesViewController::droppedLocationViewState);
    const ShredSelection::Drop drop = m_selection->drop(paths);
    switch (drop) {
    case ShredSelection::Drop::Nothing:
        stopDragging();
        return;
    case ShredSelection::Drop::OneVolumeOnly:
        showAlert(tr("Error"), tr("Only 1 volume is supported at a time"), {tr("Ok"), tr("Cancel")});
        break;
    case ShredSelection::Drop::StartupVolume:
        showAlert(tr("Error"), tr("cannot_delete_hdd"), {tr("Ok")});
        break;
    case ShredSelection::Drop::KernelFiles: {
        const auto& [path, fileSystem] = m_selection->kernelRefusal();
        showAlert(
            tr("Error"),
            tr("%1 lies on the kernel's %2 file system: its files are settings of the kernel, not data, "
               "and are never shredded.")
                .arg(QString::fromStdString(path), QString::fromStdString(fileSystem)),
            {tr("Ok")});
        break;
    }
    case ShredSelection::Drop::AddedVolume:
    case ShredSelection::Drop::AddedSystemVolume:
        showVolumeOptions(drop == ShredSelection::Drop::AddedSystemVolume);
        break;
    case ShredSelection::Drop::Added:
        break;
    }
    setViewState();
}

void DropFilesViewController::droppedLocationViewState()
{
    // Queued behind the drop: when its alert is already answered or its files already removed,
    // there is nothing left to wait for.
    if (!m_selection->isScanning() && !m_alertOpen)
        return;
    m_dropPrompt->stopAnimation();
    animateInfoBoardBy(-30);
    m_dndBackground->setHighlight(false);
}

void DropFilesViewController::startDragging()
{
    m_dropPrompt->startAnimation();
    m_dndBackground->setHighlight(true);
}

void DropFilesViewController::stopDragging()
{
    m_dropPrompt->stopAnimation();
    m_dndBackground->setHighlight(false);
}

void DropFilesViewController::animateInfoBoardBy(int points)
{
    // Points count upward, as on the layer: -30 moves the board 30 points down. The board sits in
    // a layout, so the layout's top margin moves rather than the board itself.
    auto* move = new QVariantAnimation(m_groupFilesOn);
    move->setDuration(200);
    move->setStartValue(m_filesLayout->contentsMargins().top());
    move->setEndValue(kInfoBoardTop - points);
    move->setEasingCurve(QEasingCurve::InOutQuad);
    connect(move, &QVariantAnimation::valueChanged, m_groupFilesOn,
            [layout = m_filesLayout](const QVariant& top) {
                QMargins margins = layout->contentsMargins();
                margins.setTop(top.toInt());
                layout->setContentsMargins(margins);
            });
    move->start(QAbstractAnimation::DeleteWhenStopped);
    fadeIn(m_volumeImage);
    fadeIn(m_volumeOption);
}

void DropFilesViewController::removeDroppedFiles()
{
    m_selection->clear();
    setViewState();
    animateInfoBoardBy(0);
}

void DropFilesViewController::showAlert(const QString& message, const QString& informative,
                                        const QStringList& buttons)
{
    auto* alert = new WarningAlert(message, informative, buttons, this);
    connect(alert, &QMessageBox::finished, this, [this] {
        m_alertOpen = false;
        setViewState();
    });
    m_alertOpen = true;
    alert->open();
}

void DropFilesViewController::showVolumeOptions(bool freeSpaceOnly)
{
    auto* sheet = new VolumeOptionViewController(this);
    sheet->setFreeSpaceOnly(freeSpaceOnly);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &VolumeOptionViewController::optionChosen, this, [this](VolumeOption option) {
        if (m_selection->chooseOption(option))
            setViewState();
    });
    // Cancelling the sheet removes every location, not only the volume.
    connect(sheet, &VolumeOptionViewController::cancelled, this,
            &DropFilesViewController::removeDroppedFiles);
    sheet->open();
}

void DropFilesViewController::selectFiles()
{
    auto* panel = new OpenPanel(this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &OpenPanel::finished, this, [this, panel](int result) {
        if (result == QDialog::Accepted && !panel->selectedPaths().empty())
            droppedLocations(panel->selectedPaths());
    });
    panel->open();
}

void DropFilesViewController::showExplorer()
{
    if (!m_selection->pathCollection() || m_explorerOpen)
        return;
    m_explorerOpen = true;
    // Files sent meanwhile would replace the collection the user is unticking entries of, and
    // the unticking would be lost: they wait until the explorer is closed.
    if (m_systemService.delegate() == this)
        m_systemService.setReadyToReceiveFiles(false);
    emit detailsRequested(m_selection->pathCollection());
}

void DropFilesViewController::explorerDismissedWith(const std::shared_ptr<PathCollection>& collection)
{
    m_explorerOpen = false;
    // A drop while the explorer was open replaced the collection; the explorer's one is stale.
    if (m_selection->recount(collection))
        setViewState();
    // Files that came while the explorer was open are added now, keeping out what was unticked.
    if (m_systemService.delegate() == this)
        m_systemService.readyToRun();
}

void DropFilesViewController::startShred()
{
    if (!m_selection->canStart(selectedMethod().get()))
        return;
    // The answer holds for the selection it was asked for: files the file manager sends meanwhile
    // make a new one, which must be confirmed on its own.
    ConfirmDeletionDialog::confirmThenStart(
        this,
        [this, asked = m_selection->pathCollection()] { return m_selection->pathCollection() == asked; },
        "The selection changed while the confirmation was open; nothing started", "Delete was cancelled!",
        [this] { requestJob(); }, question(),
        m_selection->option() == VolumeOption::FreeSpace ? QuestionText::freeSpaceConsequence() : QString());
}

QString DropFilesViewController::question() const
{
    // What goes, named: the volume and what happens to it, or the files by name, count and size.
    if (m_selection->hasVolume())
        return SelectionTexts::volumeQuestion(m_selection->option(), m_selection->volumeFacts());
    return SelectionTexts::filesQuestion(*m_selection->pathCollection());
}

void DropFilesViewController::requestJob()
{
    const std::shared_ptr<Algorithm> method = selectedMethod();
    if (!m_selection->canStart(method.get())) {
        if (m_selection->hasSystemVolume())
            logLine("A volume the system runs from is only wiped of its free space; nothing started");
        return;
    }
    // Files opened with the application during the job wait for the next shred screen.
    m_systemService.setReadyToReceiveFiles(false);
    emit jobRequested({m_selection->pathCollection(), method,
                       std::make_shared<ShredOptions>(m_selection->shredOptions()),
                       JobRequest::ReturnTo::ShredScreen});
}

} // namespace cv
