#pragma once

#include <QStyledItemDelegate>

#include <utility>

namespace cv {

// One card of the Reports tab: the report's file icon with its kind (PDF, HTML), its creation date
// and time below, then how the job ended in the report's words ("Success", "Errors", "Canceled"),
// the state of the report's signature, and what the job was aimed at (the first target's name and
// "and N more"), on a plain card that takes the accent colour while selected. Draws the rows of a
// SavedReportsModel in the grid of the report list.
class ReportCol : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kMinWidth = 110;
    static constexpr int kMaxWidth = 140;
    static constexpr int kHeight = 194;
    static constexpr int kMaxColumns = 6;

    using QStyledItemDelegate::QStyledItemDelegate;

    // The width of a card and the number of columns for a grid of the given width: as many
    // columns as fit at the narrowest card, at most six, the cards sharing the width up to their
    // widest.
    static int columnsFor(int gridWidth);
    static int cardWidthFor(int gridWidth);
    // The date and time a card shows for the report at path, in the window's language ("--" for
    // a report that is gone).
    static std::pair<QString, QString> dateAndTime(const QString& path);
    // What a card says of the job whose report is at path, in the window's language: its status
    // in the report's words, its first target's name, and "and N more" (empty when there are no
    // more). All empty for a report saved without these facts.
    struct JobLines
    {
        QString status;
        bool success = false;
        QString target;
        QString more;
    };
    static JobLines jobLines(const QString& path);
    // What a card says of its report's signature (a ReportVerdict::State): "Signed and valid",
    // "Altered after signing", "Not signed", "Signed by an unknown key"; nothing for a file that
    // cannot be read.
    static QString stateText(int state);
    // What a card says while its report's signature is being checked.
    static QString checkingText();

    void setCardWidth(int width) { m_cardWidth = width; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int m_cardWidth = kMaxWidth;
};

} // namespace cv
