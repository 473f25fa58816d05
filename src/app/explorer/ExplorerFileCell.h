#pragma once

#include <QStyledItemDelegate>

#include <cstdint>

namespace cv {

class TreeItem;

// Told what the user did in one row of the file explorer.
class ExplorerFileCellDelegate
{
public:
    virtual ~ExplorerFileCellDelegate() = default;
    virtual void fileCellFolderButtonToggle(std::int64_t row, bool open) = 0;
    virtual void fileCellSelectToggle(std::int64_t row, bool state) = 0;
    virtual void fileCellShowInFinder(std::int64_t row) = 0;
    virtual void fileCellShowPreview(std::int64_t row) = 0;
    // The item shown in a row.
    virtual TreeItem* itemAtRow(std::int64_t row) const = 0;
};

// Draws one row of the file explorer (checkbox, folder toggle, icon, name, path, size, reveal and
// preview buttons, indented by the item's level) and turns clicks on its controls into calls of
// its delegate.
class ExplorerFileCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 40;

    enum class Part
    {
        None,
        FolderButton,
        SelectedButton,
        FinderButton,
        PreviewButton
    };

    ExplorerFileCell(ExplorerFileCellDelegate* delegate, QObject* parent = nullptr);

    // The row's indentation for an item of this level.
    static int leftMargin(std::uint64_t level) { return static_cast<int>(level) * 20 + 20; }
    // The checkbox state a row shows for an item.
    static Qt::CheckState checkState(const TreeItem& item);
    // Whether the row shows a folder button (folders of level 0 and 1 have children to show).
    static bool hasFolderButton(const TreeItem& item);
    // Which control of a row (drawn in rowRect) lies under point; selected: the row is selected.
    static Part partAt(const TreeItem& item, const QRect& rowRect, const QPoint& point, bool selected);
    // What a drawn control does, for its tooltip ("Show in the file manager"); empty for None.
    static QString partTitle(Part part);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    // The drawn controls are icons without words: a tooltip says what each does.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    static QRect partRect(const TreeItem& item, const QRect& rowRect, Part part);
    QIcon iconFor(const TreeItem& item) const;

    ExplorerFileCellDelegate* m_delegate;
    mutable QHash<QString, QIcon> m_iconCache;
};

} // namespace cv
