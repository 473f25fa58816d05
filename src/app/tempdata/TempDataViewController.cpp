#include "app/tempdata/TempDataViewController.h"

#include "app/AmountText.h"
#include "app/CopyOnWriteText.h"
#include "app/Palette.h"
#include "app/controls/ActionRow.h"
#include "app/controls/BusyIndicator.h"
#include "app/controls/MethodPicker.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/dialogs/SnapshotQuestionDialog.h"
#include "app/tempdata/SnapshotProbe.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace cv {

TempDataViewController::TempDataViewController(TempDataSelection* selection, QWidget* parent)
    : QWidget(parent), m_selection(selection ? selection : new TempDataSelection),
      m_categories(TempCategories::rows().size()), m_snapshotsRemovable(&SnapshotProbe::snapshotsRemovable)
{
    m_selection->setParent(this);
    setObjectName(u"TempDataViewController"_s);
    setupUi();
    connect(m_selection, &TempDataSelection::categoryFound, this, &TempDataViewController::found);
    connect(m_selection, &TempDataSelection::searchCompleted, this, &TempDataViewController::finishedAll);
    for (const TempCategories::Row& row : TempCategories::rows()) {
        m_categories[std::size_t(row.type)].progress->startAnimation();
        restyle(row.type);
    }
}

TempDataViewController::~TempDataViewController() = default;

void TempDataViewController::setupUi()
{
    // The shred button and the method summary stay at the bottom; the content above them scrolls.
    m_shredButton = new PillButton(tr("Shred"), PillButton::Style::Filled);
    m_shredButton->setObjectName(u"shredButton"_s);
    m_shredButton->setFixedHeight(40);
    m_shredButton->setMinimumWidth(180);
    m_shredButton->setEnabled(false);
    connect(m_shredButton, &PillButton::clicked, this, &TempDataViewController::startShred);
    m_actionRow = new ActionRow(m_shredButton);
    QWidget* base = ActionRow::frame(this, m_actionRow);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(20, 18, 20, 0);
    layout->setSpacing(0);

    m_header = styledLabel(base, 22, Palette::text(), Qt::AlignCenter, QFont::Light);
    m_header->setObjectName(u"header"_s);
    m_header->setText(tr("Searching for temporary data..."));
    m_header->setMinimumHeight(34);
    layout->addWidget(m_header);
    layout->addSpacing(18);

    // One box per category, in the table's order.
    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(18);
    for (const TempCategories::Row& row : TempCategories::rows())
        boxes->addWidget(makeBox(row));
    layout->addLayout(boxes);
    layout->addSpacing(18);

    // Shown once the search is complete: the method list above, and the total of the chosen
    // categories beside the shred button, in view at any size.
    m_resultTotal = m_actionRow->addAmount(tr("Selected"));
    m_resultTotal->setObjectName(u"resultTotal"_s);
    m_resultGroup = new QWidget(base);
    m_resultGroup->setObjectName(u"resultGroup"_s);
    auto* result = new QHBoxLayout(m_resultGroup);
    result->setContentsMargins(0, 0, 0, 0);
    m_methodPicker = new MethodPicker(MethodPicker::Role::ScreenWithoutDescription,
                                      SettingsManager::sharedManager(), m_resultGroup);
    m_methodPicker->list()->setObjectName(u"algoSelect"_s);
    connect(m_methodPicker, &MethodPicker::methodChanged, this, &TempDataViewController::updateResult);
    result->addWidget(m_methodPicker);
    layout->addWidget(m_resultGroup);
    m_resultGroup->hide();
    layout->addStretch(1);
}

QFrame* TempDataViewController::makeBox(const TempCategories::Row& row)
{
    const int type = row.type;
    const QString suffix = QString::fromUtf8(row.name);
    Category& category = m_categories[std::size_t(type)];
    category.box = new QFrame;
    category.box->setObjectName(u"box"_s + suffix);
    category.box->setMinimumSize(160, 210);
    auto* layout = new QVBoxLayout(category.box);
    layout->setContentsMargins(14, 18, 14, 16);
    layout->setSpacing(8);

    auto* image = new QLabel(category.box);
    image->setObjectName(u"image"_s + suffix);
    image->setPixmap(QIcon(QString::fromUtf8(row.icon)).pixmap(QSize(48, 48)));
    image->setAlignment(Qt::AlignCenter);
    image->setFixedHeight(52);
    layout->addWidget(image);
    category.title = styledLabel(category.box, 16, Palette::categoryTitle(), Qt::AlignCenter);
    category.title->setObjectName(u"title"_s + suffix);
    category.title->setText(tr(row.title));
    category.title->setMinimumHeight(24);
    layout->addWidget(category.title);
    // The system's logs and caches are root's: offered to a user, but not chosen, and said so.
    category.needsAdministrator = styledLabel(category.box, 11, Palette::secondaryText(), Qt::AlignCenter);
    category.needsAdministrator->setObjectName(u"needsAdministrator"_s + suffix);
    category.needsAdministrator->setText(tr("Needs the administrator"));
    category.needsAdministrator->setWordWrap(true);
    category.needsAdministrator->setVisible(m_selection->needsAdministrator(type));
    layout->addWidget(category.needsAdministrator);

    // The busy indicator and the size take turns in one place.
    auto* turn = new QGridLayout;
    category.progress = new BusyIndicator(category.box);
    category.progress->setObjectName(u"progress"_s + suffix);
    turn->addWidget(category.progress, 0, 0, Qt::AlignCenter);
    category.size = styledLabel(category.box, 18, Palette::onSurface(Palette::tabBlue()), Qt::AlignCenter);
    category.size->setObjectName(u"size"_s + suffix);
    category.size->setMinimumHeight(32);
    category.size->hide();
    turn->addWidget(category.size, 0, 0);
    layout->addLayout(turn);
    category.kept = styledLabel(category.box, 11, Palette::secondaryText(), Qt::AlignCenter);
    category.kept->setObjectName(u"kept"_s + suffix);
    category.kept->setWordWrap(true);
    category.kept->hide();
    layout->addWidget(category.kept);
    layout->addStretch(1);

    category.toggle = new PillButton(tr("Select"), PillButton::Style::Outlined, category.box);
    category.toggle->setObjectName(u"toggle"_s + suffix);
    category.toggle->setFixedHeight(30);
    category.toggle->setMinimumWidth(130);
    category.toggle->setEnabled(false); // until the category's result is in
    connect(category.toggle, &PillButton::clicked, this, [this, type] { toggle(type); });
    layout->addWidget(category.toggle, 0, Qt::AlignHCenter);
    return category.box;
}

void TempDataViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Once per screen: a screen shown again keeps what it found.
    m_selection->startSearch();
}

void TempDataViewController::found(int type)
{
    Category& category = m_categories[std::size_t(type)];
    category.progress->stopAnimation();
    category.progress->hide();
    const auto result = m_selection->result(type);
    const std::int64_t size =
        result && result->pathColection ? static_cast<std::int64_t>(result->pathColection->totalSize()) : 0;
    category.size->setText(AmountText::bytes(size));
    category.size->show();
    category.needsAdministrator->setVisible(m_selection->needsAdministrator(type));
    // What the category shreds: the folders it searched, in the box's tooltip.
    if (result && result->pathColection && !result->pathColection->paths().empty()) {
        QStringList folders;
        for (const std::string& path : result->pathColection->paths())
            folders << QFile::decodeName(QByteArray::fromStdString(path));
        category.box->setToolTip(tr("Shreds the files in:") + u"\n"_s + folders.join(u'\n'));
    }
    showNotes(category, result.get());
    category.toggle->setEnabled(true);
    restyle(type);
    updateResult();
    emit categoryShown(type);
}

void TempDataViewController::showNotes(Category& category, const TempResult* result)
{
    // The state of the system found among the caches, and trash folders left alone: named in the
    // box, each with its reason in the tooltip.
    QStringList names;
    QStringList details;
    if (result) {
        for (const SystemState::Kept& entry : result->kept) {
            const QString path = QFile::decodeName(QByteArray::fromStdString(entry.path));
            names << QFileInfo(path).fileName();
            details << u"%1: %2"_s.arg(path, QString::fromStdString(localized(entry.reason)));
        }
        for (const std::string& why : result->refused)
            details << QString::fromStdString(why);
    }
    // Trashed items on a copy-on-write volume: overwriting in place cannot reach the copies that
    // file system keeps, as the shred screen warns too.
    std::vector<TargetVolume> copyOnWrite;
    if (result && result->type == TempSearcher::Trash && result->pathColection) {
        for (const TargetVolume& volume : result->pathColection->volumes())
            if (volume.copyOnWrite)
                copyOnWrite.push_back(volume);
    }
    if (!copyOnWrite.empty())
        details << CopyOnWriteText::forVolumes(copyOnWrite);
    QString text;
    if (!names.isEmpty())
        text = tr("Kept as the system's state: %1").arg(names.join(u", "_s));
    else if (!copyOnWrite.empty())
        text = tr("On a copy-on-write volume: wipe its free space afterwards");
    else if (result && !result->refused.empty())
        text = tr("%Ln trash folder(s) left alone", nullptr, int(result->refused.size()));
    category.kept->setVisible(!text.isEmpty());
    category.kept->setText(text);
    category.kept->setToolTip(details.join(u'\n'));
}

void TempDataViewController::finishedAll()
{
    m_header->setText(tr("Temporary data cleaning"));
    updateResult();
    m_resultGroup->show();
    m_actionRow->setAmountShown(true);
    emit resultsShown();
}

void TempDataViewController::toggle(int type)
{
    m_selection->toggleType(type);
    restyle(type);
    updateResult();
}

void TempDataViewController::restyle(int type)
{
    Category& category = m_categories[std::size_t(type)];
    const bool chosen = m_selection->isChosen(type);
    const QColor border = chosen ? Palette::tabBlue() : Palette::categoryBorder();
    const QColor fill = chosen ? Palette::tabBlue() : Palette::base();
    category.box->setStyleSheet(
        u"QFrame#%1 { background: %2; border: 1px solid %3; border-radius: 8px; }"_s.arg(
            category.box->objectName(), Palette::css(fill), Palette::css(border)));
    category.title->setStyleSheet(
        Palette::textStyle(chosen ? Palette::onAccent() : Palette::categoryTitle()));
    category.size->setStyleSheet(
        Palette::textStyle(chosen ? Palette::onAccent() : Palette::onSurface(Palette::tabBlue())));
    category.kept->setStyleSheet(Palette::textStyle(chosen ? Palette::onAccent() : Palette::secondaryText()));
    category.needsAdministrator->setStyleSheet(
        Palette::textStyle(chosen ? Palette::onAccent() : Palette::secondaryText()));
    category.toggle->setText(chosen ? tr("Deselect") : tr("Select"));
}

void TempDataViewController::updateResult()
{
    const auto files = static_cast<int>(std::min<std::uint64_t>(m_selection->fileCount(), INT_MAX));
    m_resultTotal->setText(
        tr("%1, %Ln file(s)", nullptr, files).arg(AmountText::bytes(m_selection->totalSize())));
    // The placeholder method keeps the button off as well: a job needs a method with passes.
    m_shredButton->setEnabled(m_selection->canStart(selectedMethod().get()));
    // The method list shows once the search is complete, and with it what it says.
    m_actionRow->setSummary(m_selection->searchComplete() ? m_methodPicker->summary() : QString());
}

std::shared_ptr<Algorithm> TempDataViewController::selectedMethod() const
{
    return m_methodPicker->selected();
}

void TempDataViewController::startShred()
{
    if (!m_selection->canStart(selectedMethod().get()))
        return;
    // The categories cannot change under the question: requestJob checks the selection again.
    ConfirmDeletionDialog::confirmThenStart(
        this, [] { return true; }, {}, "Delete was cancelled!",
        [this] {
            // The question only where a yes can work: snapshots exist and can be removed.
            if (m_snapshotsRemovable())
                askSnapshots();
            else
                requestJob(false);
        },
        question());
}

QString TempDataViewController::question() const
{
    // The chosen categories by name (the Trash among them), then what they add up to.
    QStringList chosen;
    for (const TempCategories::Row& row : TempCategories::rows()) {
        if (m_selection->isChosen(row.type))
            chosen << tr(row.named);
    }
    QString list = chosen.value(0);
    if (chosen.size() > 1)
        list = tr("%1 and %2").arg(chosen.mid(0, chosen.size() - 1).join(u", "_s), chosen.last());
    const auto files = static_cast<int>(std::min<std::uint64_t>(m_selection->fileCount(), INT_MAX));
    QString text = tr("This destroys the files of %1: %Ln file(s), %2.", nullptr, files)
                       .arg(list, AmountText::bytes(m_selection->totalSize()));
    if (m_selection->isChosen(TempSearcher::Trash))
        text += u' ' + tr("The Trash is emptied: its items cannot be restored.");
    return text;
}

void TempDataViewController::askSnapshots()
{
    auto* question = new SnapshotQuestionDialog(this);
    connect(question, &SnapshotQuestionDialog::answered, this, &TempDataViewController::requestJob);
    question->open();
}

void TempDataViewController::requestJob(bool removeSnapshots)
{
    const std::shared_ptr<Algorithm> method = selectedMethod();
    if (!m_selection->canStart(method.get())) {
        logLine("No category or no real method chosen; nothing started");
        return;
    }
    emit jobRequested({m_selection->mergedCollection(), method,
                       std::make_shared<ShredOptions>(TempDataSelection::shredOptions(removeSnapshots)),
                       JobRequest::ReturnTo::TemporaryDataScreen});
}

} // namespace cv
