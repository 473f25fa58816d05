#include "app/explorer/ExplorerFileCell.h"

#include "app/AmountText.h"
#include "app/Palette.h"
#include "targets/TreeItem.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QString lastComponent(const std::string& path)
{
    const QString text = QFile::decodeName(QByteArray::fromStdString(path));
    const qsizetype slash = text.lastIndexOf(u'/');
    return slash < 0 || slash + 1 == text.size() ? text : text.mid(slash + 1);
}

} // namespace

ExplorerFileCell::ExplorerFileCell(ExplorerFileCellDelegate* delegate, QObject* parent)
    : QStyledItemDelegate(parent), m_delegate(delegate)
{}

Qt::CheckState ExplorerFileCell::checkState(const TreeItem& item)
{
    if (!item.deselected()) {
        if (item.hasDeactiveDescendants())
            return item.hasActiveDescendants() ? Qt::PartiallyChecked : Qt::Unchecked;
        return Qt::Checked;
    }
    if (item.hasActiveDescendants())
        return item.hasDeactiveDescendants() ? Qt::PartiallyChecked : Qt::Checked;
    return Qt::Unchecked;
}

bool ExplorerFileCell::hasFolderButton(const TreeItem& item)
{
    return item.isFolder() && item.level() <= 1;
}

QRect ExplorerFileCell::partRect(const TreeItem& item, const QRect& row, Part part)
{
    const int left = row.left() + leftMargin(item.level());
    const int middle = row.top() + row.height() / 2;
    switch (part) {
    case Part::FolderButton:
        return {left - 18, middle - 8, 16, 16};
    case Part::SelectedButton:
        return {left, middle - 8, 16, 16};
    case Part::PreviewButton:
        return {row.right() - 30, middle - 11, 22, 22};
    case Part::FinderButton:
        return {row.right() - 58, middle - 11, 22, 22};
    case Part::None:
        break;
    }
    return {};
}

ExplorerFileCell::Part ExplorerFileCell::partAt(const TreeItem& item, const QRect& rowRect,
                                                const QPoint& point, bool selected)
{
    // The controls get a few points of slack around them: they are small.
    const auto hit = [&](Part part) {
        return partRect(item, rowRect, part).adjusted(-4, -6, 4, 6).contains(point);
    };
    if (hasFolderButton(item) && hit(Part::FolderButton))
        return Part::FolderButton;
    if (hit(Part::SelectedButton))
        return Part::SelectedButton;
    if (selected && hit(Part::FinderButton))
        return Part::FinderButton;
    if (selected && item.isPreviewPossible() && hit(Part::PreviewButton))
        return Part::PreviewButton;
    return Part::None;
}

QIcon ExplorerFileCell::iconFor(const TreeItem& item) const
{
    static const QMimeDatabase mimeDatabase;
    QString iconName;
    if (item.isVolume())
        iconName = u"drive-harddisk"_s;
    else if (item.isFolder())
        iconName = u"folder"_s;
    else
        iconName = mimeDatabase.mimeTypeForFile(lastComponent(item.path()), QMimeDatabase::MatchExtension)
                       .iconName();
    auto it = m_iconCache.find(iconName);
    if (it == m_iconCache.end()) {
        const QString fallback = item.isVolume()   ? u":/images/hdd.svg"_s
                                 : item.isFolder() ? u":/images/folder.svg"_s
                                                   : u":/images/file.svg"_s;
        QIcon icon = QIcon::fromTheme(iconName);
        if (icon.isNull() && !item.isFolder() && !item.isVolume())
            icon = QIcon::fromTheme(u"text-x-generic"_s);
        it = m_iconCache.insert(iconName, icon.isNull() ? QIcon(fallback) : icon);
    }
    return *it;
}

QSize ExplorerFileCell::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    // No width of its own: the list lays each row out as wide as its viewport. A width taken from
    // the view would be the one before a vertical scroll bar appeared, and push the size column
    // under it.
    return {0, kRowHeight};
}

void ExplorerFileCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const TreeItem* item = m_delegate->itemAtRow(index.row());
    if (!item)
        return;
    const QRect row = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(row, selected ? Palette::accentFill()
                                    : (index.row() % 2 ? Palette::alternateBase() : Palette::base()));

    // Folder button: a triangle pointing right (closed) or down (open).
    if (hasFolderButton(*item)) {
        const QRectF box = partRect(*item, row, Part::FolderButton);
        QPainterPath arrow;
        const QPointF c = box.center();
        if (item->openFolder()) {
            arrow.moveTo(c + QPointF(-5, -3));
            arrow.lineTo(c + QPointF(5, -3));
            arrow.lineTo(c + QPointF(0, 3));
        } else {
            arrow.moveTo(c + QPointF(-3, -5));
            arrow.lineTo(c + QPointF(3, 0));
            arrow.lineTo(c + QPointF(-3, 5));
        }
        arrow.closeSubpath();
        painter->fillPath(arrow, selected ? Palette::onAccent() : Palette::secondaryText());
    }

    // Checkbox, drawn by the style so that it looks like every other checkbox of the desktop.
    QStyleOptionButton box;
    box.rect = partRect(*item, row, Part::SelectedButton);
    box.state = QStyle::State_Enabled;
    switch (checkState(*item)) {
    case Qt::Checked:
        box.state |= QStyle::State_On;
        break;
    case Qt::PartiallyChecked:
        box.state |= QStyle::State_NoChange;
        break;
    case Qt::Unchecked:
        box.state |= QStyle::State_Off;
        break;
    }
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);

    const int left = row.left() + leftMargin(item->level());
    const QRect iconRect(left + 24, row.top() + 8, 24, 24);
    iconFor(*item).paint(painter, iconRect);

    const int sizeRight = row.right() - (selected ? 66 : 12);
    const QRect sizeRect(sizeRight - 100, row.top(), 100, row.height());
    const QColor textColor = selected ? Palette::onAccent() : Palette::secondaryText();
    QFont font = option.font;
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(textColor);
    painter->drawText(sizeRect, Qt::AlignRight | Qt::AlignVCenter, AmountText::bytes(item->totalSize()));

    const int textLeft = iconRect.right() + 10;
    const int textWidth = sizeRect.left() - 12 - textLeft;
    const QString name = lastComponent(item->path());
    if (selected) {
        font.setWeight(QFont::DemiBold);
        painter->setFont(font);
        painter->drawText(QRect(textLeft, row.top() + 3, textWidth, 18), Qt::AlignLeft | Qt::AlignVCenter,
                          painter->fontMetrics().elidedText(name, Qt::ElideMiddle, textWidth));
        QFont small = option.font;
        small.setPixelSize(11);
        painter->setFont(small);
        painter->setPen(Palette::selectedSubText());
        const QString full = QFile::decodeName(QByteArray::fromStdString(item->path()));
        painter->drawText(QRect(textLeft, row.top() + 21, textWidth, 16), Qt::AlignLeft | Qt::AlignVCenter,
                          painter->fontMetrics().elidedText(full, Qt::ElideMiddle, textWidth));
        QIcon(u":/images/reveal.svg"_s).paint(painter, partRect(*item, row, Part::FinderButton));
        if (item->isPreviewPossible())
            QIcon(u":/images/preview.svg"_s).paint(painter, partRect(*item, row, Part::PreviewButton));
    } else {
        painter->drawText(QRect(textLeft, row.top(), textWidth, row.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          painter->fontMetrics().elidedText(name, Qt::ElideMiddle, textWidth));
    }
    painter->restore();
}

QString ExplorerFileCell::partTitle(Part part)
{
    switch (part) {
    case Part::FolderButton:
        return tr("Show or hide the folder's content");
    case Part::SelectedButton:
        return tr("Include in the deletion or leave out");
    case Part::FinderButton:
        return tr("Show in the file manager");
    case Part::PreviewButton:
        return tr("Open with the default viewer");
    case Part::None:
        break;
    }
    return {};
}

bool ExplorerFileCell::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const TreeItem* item = m_delegate->itemAtRow(index.row());
    if (event->type() != QEvent::ToolTip || !item || !view)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const bool selected = view->selectionModel() && view->selectionModel()->isRowSelected(index.row());
    const QString title = partTitle(partAt(*item, option.rect, event->pos(), selected));
    if (title.isEmpty()) {
        // Over the name: the whole path, which the row may elide.
        QToolTip::showText(event->globalPos(), QFile::decodeName(QByteArray::fromStdString(item->path())),
                           view);
        return true;
    }
    QToolTip::showText(event->globalPos(), title, view);
    return true;
}

bool ExplorerFileCell::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseButtonPress &&
        event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const TreeItem* item = m_delegate->itemAtRow(index.row());
    if (!item || mouse->button() != Qt::LeftButton)
        return false;
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool selected =
        view && view->selectionModel() && view->selectionModel()->isRowSelected(index.row());
    const Part part = partAt(*item, option.rect, mouse->position().toPoint(), selected);
    if (part == Part::None)
        return false;
    // Press and double click on a control are swallowed; the release acts.
    if (event->type() != QEvent::MouseButtonRelease)
        return true;
    const std::int64_t row = index.row();
    switch (part) {
    case Part::FolderButton:
        m_delegate->fileCellFolderButtonToggle(row, !item->openFolder());
        break;
    case Part::SelectedButton:
        // Off becomes on, on becomes off, and a mixed box counts as ticking.
        m_delegate->fileCellSelectToggle(row, checkState(*item) != Qt::Checked);
        break;
    case Part::FinderButton:
        m_delegate->fileCellShowInFinder(row);
        break;
    case Part::PreviewButton:
        m_delegate->fileCellShowPreview(row);
        break;
    case Part::None:
        break;
    }
    return true;
}

} // namespace cv
