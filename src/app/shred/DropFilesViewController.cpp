#include "app/shred/DropFilesViewController.h"

#include "app/controls/BusyIndicator.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/DecorImage.h"
#include "app/controls/PillButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/TransitionAnimator.h"
#include "app/explorer/ExplorerViewController.h"
#include "app/intake/SystemService.h"
#include "app/progress/ProgressViewController.h"
#include "app/shred/DragAndDropBGView.h"
#include "app/shred/DragDropFilesView.h"
#include "app/shred/OpenPanel.h"
#include "common/ByteCountFormatter.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"
#include "targets/PathCollectionFactory.h"
#include "targets/PathOperand.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSequentialAnimationGroup>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <unordered_set>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

constexpr int kInfoBoardY = 40;

QLabel* makeLabel(QWidget* parent, int pixelSize, const QColor& color, Qt::Alignment alignment,
                  QFont::Weight weight = QFont::Normal)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setStyleSheet(u"color: %1;"_s.arg(color.name()));
    return label;
}

QString html(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\n', u"<br>"_s);
}

// An endless back-and-forth of one property, 0.8 s each way, eased in and out.
QAbstractAnimation* pulse(QObject* target, const QByteArray& property, const QVariant& from,
                          const QVariant& to)
{
    auto* group = new QSequentialAnimationGroup(target);
    for (const auto& [start, end] : {std::pair{from, to}, std::pair{to, from}}) {
        auto* animation = new QPropertyAnimation(target, property, group);
        animation->setDuration(800);
        animation->setStartValue(start);
        animation->setEndValue(end);
        animation->setEasingCurve(QEasingCurve::InOutQuad);
        group->addAnimation(animation);
    }
    group->setLoopCount(-1);
    return group;
}

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

DropFilesViewController::DropFilesViewController(const QString& selectedOption, QWidget* parent,
                                                 SystemService* systermService, VolumeProbe volumeProbe)
    : QWidget(parent), m_systermService(systermService ? *systermService : SystemService::sharedInstance()),
      m_volumeProbe(std::move(volumeProbe)), m_selectedOption(selectedOption)
{
    setObjectName(u"DropFilesViewController"_s);
    setupUi();
    initAlgorithms();
    m_shredOptions = std::make_shared<ShredOptions>();
    m_shredOptions->optionKey = selectedOption.toStdString();
    setViewState();
    setDropSubLabel();
    // The file intake hands queued files over once the screen sits in its host, so that a sheet
    // it may open has a window to sit on.
    QTimer::singleShot(0, this, &DropFilesViewController::viewDidLoad);
}

DropFilesViewController::~DropFilesViewController()
{
    if (m_systermService.delegate() == this) {
        m_systermService.setDelegate(nullptr);
        m_systermService.setReadyToReceiveFiles(false);
    }
}

void DropFilesViewController::viewDidLoad()
{
    m_loaded = true;
    m_systermService.setDelegate(this);
    m_systermService.readyToRun();
}

void DropFilesViewController::setSelectedOption(const QString& option)
{
    m_selectedOption = option;
    // The record remembers the option the screen was opened with, for the next screen.
    if (!m_loaded)
        m_shredOptions->optionKey = option.toStdString();
}

void DropFilesViewController::setupUi()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_gradientView = new ColorGradientView(this);
    layout->addWidget(m_gradientView);
    QWidget* base = m_gradientView;

    m_dropZone = new DragDropFilesView(base);
    m_dropZone->setGeometry(20, 18, 800, 300);
    m_dropZone->setDelegate(this);
    m_dndBackground = new DragAndDropBGView(m_dropZone);
    m_dndBackground->setGeometry(0, 0, 800, 300);

    // Empty state: the pictures, the prompt and the browse link.
    m_groupStart = new QWidget(m_dropZone);
    m_groupStart->setGeometry(0, 0, 800, 300);
    const QSize iconSize(60, 60);
    m_imageHd = new DecorImage(QIcon(u":/images/hdd.svg"_s), iconSize, m_groupStart);
    m_imageUsb = new DecorImage(QIcon(u":/images/usb.svg"_s), iconSize, m_groupStart);
    m_imageFile = new DecorImage(QIcon(u":/images/file.svg"_s), iconSize, m_groupStart);
    m_imageUpload = new DecorImage(QIcon(u":/images/upload.svg"_s), iconSize, m_groupStart);
    int x = 220;
    for (DecorImage* image : {m_imageHd, m_imageUsb, m_imageFile, m_imageUpload}) {
        image->setGeometry(x, 26, 90, 104);
        x += 90;
    }
    auto* dropImageSelectFiles = new QPushButton(m_groupStart);
    dropImageSelectFiles->setObjectName(u"dropImageSelectFiles"_s);
    dropImageSelectFiles->setGeometry(m_imageUpload->geometry().adjusted(12, 20, -12, -20));
    dropImageSelectFiles->setFlat(true);
    dropImageSelectFiles->setCursor(Qt::PointingHandCursor);
    dropImageSelectFiles->setStyleSheet(u"QPushButton { background: transparent; border: none; }"_s);
    dropImageSelectFiles->setToolTip(tr("Select files and folders"));
    connect(dropImageSelectFiles, &QPushButton::clicked, this, &DropFilesViewController::selectFiles);

    m_dropPrompt = makeLabel(m_groupStart, 22, QColor(85, 85, 85), Qt::AlignCenter, QFont::Light);
    m_dropPrompt->setGeometry(0, 146, 800, 34);
    m_dropPrompt->setText(tr("Drag & drop"));
    m_dropPromptSub = makeLabel(m_groupStart, 12, QColor(119, 119, 119), Qt::AlignCenter);
    m_dropPromptSub->setGeometry(0, 184, 800, 40);
    m_dropPromptSub->setTextFormat(Qt::RichText);
    connect(m_dropPromptSub, &QLabel::linkActivated, this, &DropFilesViewController::selectFiles);

    // Chosen state: the summary board, or a volume's icon and option; the remove button.
    m_groupFilesOn = new QWidget(m_dropZone);
    m_groupFilesOn->setGeometry(0, 0, 800, 300);
    m_groupInfoBoard = new QWidget(m_groupFilesOn);
    m_groupInfoBoard->setGeometry(100, kInfoBoardY, 600, 176);
    m_infoBoardBaseY = kInfoBoardY;
    m_dropResultLabel = makeLabel(m_groupInfoBoard, 24, QColor(131, 188, 81), Qt::AlignCenter);
    m_dropResultLabel->setGeometry(0, 0, 600, 126);
    m_dropResultLabel->setTextFormat(Qt::RichText);
    m_detailsButton = new PillButton(tr("Show details"), PillButton::Style::Outlined, m_groupInfoBoard);
    m_detailsButton->setGeometry(220, 136, 160, 32);
    connect(m_detailsButton, &PillButton::clicked, this, &DropFilesViewController::showExplorer);

    m_volumeImage = new QLabel(m_groupFilesOn);
    m_volumeImage->setGeometry(344, 40, 112, 112);
    m_volumeImage->setAlignment(Qt::AlignCenter);
    m_volumeOption = makeLabel(m_groupFilesOn, 18, QColor(85, 85, 85), Qt::AlignCenter);
    m_volumeOption->setGeometry(0, 166, 800, 30);

    m_dropRemove = new PillButton(tr("Remove all"), PillButton::Style::Outlined, m_groupFilesOn);
    m_dropRemove->setGeometry(664, 252, 120, 32);
    connect(m_dropRemove, &PillButton::clicked, this, &DropFilesViewController::removeDropedFiles);

    m_dropSpinner = new BusyIndicator(m_dropZone);
    m_dropSpinner->setGeometry(384, 134, 32, 32);

    // The method block.
    m_methodHeadLine =
        makeLabel(base, 14, QColor(85, 85, 85), Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    m_methodHeadLine->setGeometry(20, 336, 380, 22);
    m_methodHeadLine->setText(tr("Overwrite method"));
    m_methodSelection = new QComboBox(base);
    m_methodSelection->setGeometry(20, 364, 380, 32);
    m_methodSelection->setMaxVisibleItems(22);
    connect(m_methodSelection, &QComboBox::currentIndexChanged, this,
            &DropFilesViewController::methodChanged);
    m_methodDescription = makeLabel(base, 12, QColor(119, 119, 119), Qt::AlignLeft | Qt::AlignTop);
    m_methodDescription->setGeometry(424, 338, 396, 96);
    m_methodDescription->setWordWrap(true);
    m_startShredButton = new PillButton(tr("Start"), PillButton::Style::Filled, base);
    m_startShredButton->setGeometry(640, 446, 180, 40);
    connect(m_startShredButton, &PillButton::clicked, this, &DropFilesViewController::startShred);
}

void DropFilesViewController::initAlgorithms()
{
    const qint64 identifier =
        SettingsManager::sharedManager().integerForKey(SettingsManager::kSettingsDeletionDefaultMethod);
    const QSignalBlocker blocker(m_methodSelection);
    m_methodSelection->clear();
    for (const std::string& title : m_algos.getAllSelectableTitles())
        m_methodSelection->addItem(QString::fromStdString(title));
    // A stored method the catalogue does not know selects the placeholder: Start stays disabled
    // until the user picks a real method.
    const std::size_t index = identifier < 0
                                  ? m_algos.algorithms().size()
                                  : m_algos.getIndexForIdentifier(static_cast<std::uint64_t>(identifier));
    m_methodSelection->setCurrentIndex(index < m_algos.algorithms().size() ? static_cast<int>(index) : 0);
}

int DropFilesViewController::selectedMethodIndex() const
{
    return m_methodSelection->currentIndex();
}

void DropFilesViewController::selectMethodIndex(int index)
{
    m_methodSelection->setCurrentIndex(index);
}

void DropFilesViewController::setDropSubLabel()
{
    const QString browse = tr("browse");
    const QString link =
        u"<a href=\"browse\" style=\"color: rgb(78, 160, 255); text-decoration: underline;\">%1</a>"_s.arg(
            browse.toHtmlEscaped());
    QString text = tr("your files, hard disk, storage devices\n or %1 your Mac");
    // The link goes in after escaping, so that only the translated words are escaped.
    const QStringList parts = text.split(u"%1"_s);
    QString rich;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            rich += link;
        rich += html(parts[i]);
    }
    m_dropPromptSub->setText(rich);
}

bool DropFilesViewController::hasAlgoSelected() const
{
    const int index = selectedMethodIndex();
    if (index <= 0)
        return false;
    const auto algorithm = m_algos.get(static_cast<std::size_t>(index));
    return algorithm && algorithm->cycles() > 0;
}

bool DropFilesViewController::hasVolume() const
{
    return !m_volumes.empty();
}

QString DropFilesViewController::summaryText(const PathCollection& collection)
{
    const QString size = QString::fromStdString(formatByteCount(collection.totalSize()));
    if (collection.hiddenCount() > 0) {
        return tr("Selected:\n%1, %2 file(s)\n(%3 hidden)")
            .arg(size)
            .arg(collection.fileCount() - std::min(collection.hiddenCount(), collection.fileCount()))
            .arg(collection.hiddenCount());
    }
    return tr("Selected:\n%1, %2 file(s)").arg(size).arg(collection.fileCount());
}

void DropFilesViewController::setViewState()
{
    if (const auto algorithm = m_algos.get(static_cast<std::size_t>(std::max(0, selectedMethodIndex()))))
        m_methodDescription->setText(QString::fromStdString(algorithm->longDesc()));

    const bool volume = hasVolume();
    if (!volume) {
        *m_shredOptions = ShredOptions{.optionKey = m_shredOptions->optionKey};
        m_volumeOption->hide();
        m_volumeImage->hide();
    }

    if (!hasLocations()) {
        m_groupFilesOn->hide();
        m_groupStart->show();
        m_dropRemove->hide();
        m_dropResultLabel->hide();
        m_dropResultLabel->clear();
    } else if (!volume) {
        m_groupFilesOn->show();
        m_groupStart->hide();
        m_dropRemove->show();
        m_dropResultLabel->show();
        m_detailsButton->show();
        if (m_pathCollection) {
            // The first line grey, the amounts green, the hidden count grey again.
            const QString text = summaryText(*m_pathCollection);
            const qsizetype firstBreak = text.indexOf(u'\n');
            const qsizetype hiddenBreak =
                m_pathCollection->hiddenCount() > 0 ? text.lastIndexOf(u"\n("_s) : text.size();
            const QString grey = u"<span style=\"color: rgb(119, 119, 119);\">%1</span>"_s;
            m_dropResultLabel->setText(
                grey.arg(html(text.left(firstBreak))) + html(text.mid(firstBreak, hiddenBreak - firstBreak)) +
                (hiddenBreak < text.size() ? grey.arg(html(text.mid(hiddenBreak))) : QString()));
            m_detailsButton->setEnabled(true);
        } else {
            m_dropResultLabel->clear();
            m_detailsButton->setEnabled(false);
        }
    } else {
        m_groupFilesOn->show();
        m_groupStart->hide();
        m_dropRemove->show();
        ShredOptions& options = *m_shredOptions;
        options.hasVolumes = true;
        options.eraseFreeSpaceOnly = false;
        options.eraseFreeSpace = false;
        options.formatVolume = false;
        // Of a volume the system runs from only the free space is wiped: another option (one the
        // host preset) counts as none, and Start waits for the free-space wipe to be chosen.
        const QString option =
            hasSystemVolume() && m_selectedOption != u"freespace"_s ? QString() : m_selectedOption;
        if (option == u"freespace"_s) {
            options.eraseFreeSpaceOnly = true;
            m_volumeOption->setText(tr("Freespace Erase only"));
        } else if (option == u"delete"_s) {
            m_volumeOption->setText(tr("Only delete files on Volume"));
        } else if (option == u"complete"_s) {
            options.eraseFreeSpace = true;
            options.formatVolume = true;
            m_volumeOption->setText(tr("Complete Erase"));
        }
        m_volumeOption->show();
        // A mount point is a folder to the file icon provider; the desktop's drive icon says volume.
        const QIcon icon = QIcon::fromTheme(u"drive-harddisk"_s, QIcon(u":/images/hdd.svg"_s));
        m_volumeImage->setPixmap(icon.pixmap(QSize(96, 96)));
        m_volumeImage->show();
        m_dropResultLabel->clear();
        m_dropResultLabel->hide();
        m_detailsButton->hide();
    }

    m_startShredButton->setEnabled(hasLocations() && hasAlgoSelected() && m_pathCollection && !m_scanning &&
                                   (!hasSystemVolume() || m_shredOptions->eraseFreeSpaceOnly));
}

std::vector<std::string> DropFilesViewController::mergeLocations(const std::vector<std::string>& locations,
                                                                 const std::vector<std::string>& dropped)
{
    if (locations.empty())
        return dropped;
    std::vector<std::string> merged;
    merged.reserve(locations.size() + dropped.size());
    std::unordered_set<std::string> seen;
    for (const auto* list : {&locations, &dropped}) {
        for (const std::string& path : *list) {
            if (seen.insert(path).second)
                merged.push_back(path);
        }
    }
    return merged;
}

void DropFilesViewController::droppedLocations(const std::vector<std::string>& rawPaths)
{
    // Dropped, opened and bus-sent paths may carry links, "..", "." or a trailing slash: every
    // check below and the shred itself must see the path the file system means ("/etc/../" is
    // the startup volume, "lnk/x" and "real/x" are one file). Only absolute paths are taken: the
    // program's own working folder is nothing the user chose.
    std::vector<std::string> paths;
    paths.reserve(rawPaths.size());
    for (const auto& path : rawPaths) {
        const auto checked =
            PathOperand::check(path, PathOperand::Kind::Target, PathOperand::Source::Desktop);
        if (checked.taken())
            paths.push_back(checked.path);
        else
            logMessage("Refused the path \"", path, "\": ", checked.refusal);
    }
    if (paths.empty()) {
        stopDragging();
        return;
    }
    QTimer::singleShot(0, this, &DropFilesViewController::droppedLocationViewState);

    std::vector<std::string> droppedVolumes;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(droppedVolumes), m_volumeProbe.isVolume);
    if ((hasVolume() && !droppedVolumes.empty()) || droppedVolumes.size() > 1) {
        onlyOneVolumeSupported();
        return;
    }
    if (std::any_of(paths.begin(), paths.end(), m_volumeProbe.isHdd)) {
        hddWarning();
        return;
    }
    if (!droppedVolumes.empty())
        showVolumeOptions(std::any_of(droppedVolumes.begin(), droppedVolumes.end(),
                                      [this](const auto& volume) { return isSystemVolume(volume); }));

    std::vector<std::string> merged = mergeLocations(m_locations, paths);
    std::vector<std::string> volumes = m_volumes;
    volumes.insert(volumes.end(), droppedVolumes.begin(), droppedVolumes.end());
    m_locations.clear();
    m_volumes.clear();
    m_pathCollection.reset();
    m_scanning = true;
    setViewState();
    m_locations = std::move(merged);
    m_volumes = std::move(volumes);
    logMessage("Scanning ", m_locations.size(), " dropped location(s)");
    // A fresh collection for the merged locations, which keeps out what was unticked before.
    scan([locations = m_locations, excludes = m_excludes] {
        auto collection = std::make_shared<PathCollection>();
        collection->setPaths(locations);
        collection->setExcludes(excludes);
        PathCollectionFactory().updatePathCollection(*collection);
        return collection;
    });
}

void DropFilesViewController::scan(std::function<std::shared_ptr<PathCollection>()> work)
{
    const std::uint64_t generation = ++m_scanGeneration;
    m_scanning = true;
    QPointer<DropFilesViewController> guard(this);
    QThreadPool::globalInstance()->start([guard, generation, work = std::move(work)] {
        std::shared_ptr<PathCollection> collection = work();
        QMetaObject::invokeMethod(qApp, [guard, generation, collection] {
            // The screen may be gone, or a newer drop may have started a scan of its own.
            if (!guard || generation != guard->m_scanGeneration)
                return;
            guard->m_scanning = false;
            guard->m_pathCollection = collection;
            guard->m_dropSpinner->stopAnimation();
            guard->setViewState();
            emit guard->scanFinished();
        });
    });
}

void DropFilesViewController::droppedLocationViewState()
{
    // Queued behind the drop: when its alert is already answered or its files already removed,
    // there is nothing left to wait for.
    if (!m_scanning && !m_alertOpen)
        return;
    stopDNDAnimation();
    animateInfoBoardBy(-30);
    m_groupStart->hide();
    m_dndBackground->setHightlight(false);
    m_dropSpinner->startAnimation();
}

void DropFilesViewController::startDragging()
{
    startDNDAnimation();
    m_dndBackground->setHightlight(true);
}

void DropFilesViewController::stopDragging()
{
    stopDNDAnimation();
    m_dndBackground->setHightlight(false);
}

void DropFilesViewController::startDNDAnimation()
{
    stopDNDAnimation();
    const QList<QAbstractAnimation*> animations{
        pulse(m_imageUsb, "offsetY", 0.0, -20.0), pulse(m_imageHd, "rotation", 0.0, -15.0),
        pulse(m_imageFile, "rotation", 0.0, 15.0), pulse(m_imageUpload, "scale", 1.0, 1.1)};
    for (QAbstractAnimation* animation : animations) {
        m_dndAnimations.append(animation);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void DropFilesViewController::stopDNDAnimation()
{
    for (const QPointer<QObject>& animation : std::as_const(m_dndAnimations)) {
        if (animation)
            static_cast<QAbstractAnimation*>(animation.data())->stop();
    }
    m_dndAnimations.clear();
    for (DecorImage* image : {m_imageUsb, m_imageHd, m_imageFile, m_imageUpload})
        image->reset();
}

void DropFilesViewController::animateInfoBoardBy(int points)
{
    // Points count upward, as on the layer: -30 moves the board 30 points down.
    auto* move = new QPropertyAnimation(m_groupInfoBoard, "pos", m_groupInfoBoard);
    move->setDuration(200);
    move->setEndValue(QPoint(m_groupInfoBoard->x(), m_infoBoardBaseY - points));
    move->setEasingCurve(QEasingCurve::InOutQuad);
    move->start(QAbstractAnimation::DeleteWhenStopped);
    fadeIn(m_volumeImage);
    fadeIn(m_volumeOption);
}

void DropFilesViewController::methodChanged()
{
    setViewState();
}

void DropFilesViewController::removeDropedFiles()
{
    ++m_scanGeneration; // a scan still running is of no interest any more
    m_scanning = false;
    m_dropSpinner->stopAnimation();
    m_locations.clear();
    m_volumes.clear();
    m_excludes.clear();
    m_pathCollection.reset();
    setViewState();
    animateInfoBoardBy(0);
}

void DropFilesViewController::showAlert(const QString& message, const QString& informative,
                                        const QStringList& buttons)
{
    auto* alert = new QMessageBox(QMessageBox::Warning, message, informative, QMessageBox::NoButton, this);
    alert->setObjectName(u"alert"_s);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setText(message);
    alert->setInformativeText(informative);
    // One role for all buttons keeps them in the order given on every desktop; Escape and Return
    // still pick the last and the first.
    for (const QString& title : buttons)
        alert->addButton(title, QMessageBox::ActionRole);
    alert->setDefaultButton(qobject_cast<QPushButton*>(alert->buttons().constFirst()));
    alert->setEscapeButton(alert->buttons().constLast());
    connect(alert, &QMessageBox::finished, this, &DropFilesViewController::alertClosed);
    m_alertOpen = true;
    alert->open();
}

void DropFilesViewController::alertClosed()
{
    m_alertOpen = false;
    m_dropSpinner->stopAnimation();
    setViewState();
}

void DropFilesViewController::onlyOneVolumeSupported()
{
    showAlert(tr("Error"), tr("Only 1 volume is supported at a time"), {tr("Ok"), tr("Cancel")});
}

void DropFilesViewController::hddWarning()
{
    showAlert(tr("Error"), tr("cannot_delete_hdd"), {tr("Ok")});
}

bool DropFilesViewController::isSystemVolume(const std::string& path) const
{
    return m_volumeProbe.isSystemVolume && m_volumeProbe.isSystemVolume(path);
}

bool DropFilesViewController::hasSystemVolume() const
{
    return std::any_of(m_volumes.begin(), m_volumes.end(),
                       [this](const std::string& volume) { return isSystemVolume(volume); });
}

void DropFilesViewController::showVolumeOptions(bool freeSpaceOnly)
{
    auto* sheet = new VolumeOptionViewController(this);
    sheet->setFreeSpaceOnly(freeSpaceOnly);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setDelegate(this);
    sheet->open();
}

void DropFilesViewController::finishedVolumeWithOption(const QString& option)
{
    if (hasSystemVolume() && option != u"freespace"_s) {
        logMessage("Refused the volume option ", option.toStdString(), " for a volume the system runs from");
        return;
    }
    m_selectedOption = option;
    setViewState();
}

void DropFilesViewController::canceledVolumeOptions()
{
    removeDropedFiles();
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
    if (!m_pathCollection || m_explorer)
        return;
    auto* explorer = new ExplorerViewController(m_pathCollection, this);
    explorer->setDelegate(this);
    m_explorer = explorer;
    // Files sent meanwhile would replace the collection the user is unticking entries of, and
    // the unticking would be lost: they wait until the explorer is closed.
    if (m_systermService.delegate() == this)
        m_systermService.setReadyToReceiveFiles(false);
    TransitionAnimator::animatePresentation(explorer, this);
}

void DropFilesViewController::explorerDismissedWith(std::shared_ptr<PathCollection> collection)
{
    // A drop while the explorer was open replaced the collection; the explorer's one is stale.
    if (collection && collection == m_pathCollection) {
        m_excludes = collection->excludes();
        startReload();
        scan([collection] {
            PathCollectionFactory().updatePathCollection(*collection);
            return collection;
        });
    }
    // Files that came while the explorer was open are added now, keeping out what was unticked.
    if (m_systermService.delegate() == this)
        m_systermService.readyToRun();
}

void DropFilesViewController::startReload()
{
    m_groupFilesOn->hide();
    m_groupStart->hide();
    m_dropRemove->hide();
    m_dropResultLabel->hide();
    m_dropResultLabel->clear();
    // The collection is being recounted on a worker: nothing may start a job on it meanwhile.
    m_pathCollection.reset();
    m_startShredButton->setEnabled(false);
    m_dropSpinner->startAnimation();
}

void DropFilesViewController::startShred()
{
    if (!m_startShredButton->isEnabled())
        return;
    if (!SettingsManager::sharedManager().showSecurityPrompts()) {
        showProgress();
        return;
    }
    auto* alert = new QMessageBox(QMessageBox::Warning, tr("Are you sure?"), {}, QMessageBox::NoButton, this);
    alert->setObjectName(u"confirmation"_s);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setText(tr("Are you sure?"));
    alert->setInformativeText(
        tr("Data cannot be recovered once you start the secure deletion process. Do you want to continue?"));
    // DELETE first, Cancel second on every desktop (one role keeps the order); Return and Escape
    // both mean Cancel, so that no key press alone starts a destructive job.
    QPushButton* deleteButton = alert->addButton(tr("DELETE"), QMessageBox::ActionRole);
    QPushButton* cancelButton = alert->addButton(tr("Cancel"), QMessageBox::ActionRole);
    alert->setDefaultButton(cancelButton);
    alert->setEscapeButton(cancelButton);
    // The answer holds for the selection it was asked for: files the file manager sends meanwhile
    // make a new one, which must be confirmed on its own.
    connect(alert, &QMessageBox::finished, this, [this, alert, deleteButton, asked = m_pathCollection] {
        if (alert->clickedButton() != deleteButton) {
            logLine("Delete was cancelled!");
            return;
        }
        if (m_pathCollection != asked) {
            logLine("The selection changed while the confirmation was open; nothing started");
            return;
        }
        showProgress();
    });
    alert->open();
}

void DropFilesViewController::showProgress()
{
    const auto algorithm = m_algos.get(static_cast<std::size_t>(selectedMethodIndex()));
    if (!m_pathCollection || !algorithm || algorithm->cycles() == 0)
        return;
    if (hasSystemVolume() && !m_shredOptions->eraseFreeSpaceOnly) {
        logLine("A volume the system runs from is only wiped of its free space; nothing started");
        return;
    }
    auto* progress = new ProgressViewController;
    progress->setAlgorithm(algorithm);
    progress->setPathCollection(m_pathCollection);
    progress->setShredOptions(m_shredOptions);
    progress->setFinishSegue(u"Finish"_s);
    m_systermService.setReadyToReceiveFiles(false);
    emit progressShown(progress);
    if (auto* host = qobject_cast<ReplaceViewController*>(parentWidget()))
        host->replace(progress, u"showProgress"_s);
    else
        TransitionAnimator::animatePresentation(progress, this);
}

} // namespace cv
