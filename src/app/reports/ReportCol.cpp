#include "app/reports/ReportCol.h"

#include "app/Palette.h"
#include "reports/ReportVerdict.h"
#include "reports/SavedReportsModel.h"

#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

int ReportCol::columnsFor(int gridWidth)
{
    return std::clamp(gridWidth / kMinWidth, 1, kMaxColumns);
}

int ReportCol::cardWidthFor(int gridWidth)
{
    return std::clamp(gridWidth / columnsFor(gridWidth), kMinWidth, kMaxWidth);
}

QSize ReportCol::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {m_cardWidth, kHeight};
}

std::pair<QString, QString> ReportCol::dateAndTime(const QString& path)
{
    // In the window's language (the default locale follows it), as the rest of the window writes
    // dates.
    const QDateTime created = SavedReportsModel::createdAt(path).toLocalTime();
    if (!created.isValid())
        return {u"--"_s, u"--"_s};
    const QLocale locale;
    return {locale.toString(created.date(), QLocale::ShortFormat),
            locale.toString(created.time(), QLocale::ShortFormat)};
}

QString ReportCol::stateText(int state)
{
    switch (static_cast<ReportVerdict::State>(state)) {
    case ReportVerdict::State::Valid:
        return tr("Signed and valid");
    case ReportVerdict::State::UnknownKey:
        return tr("Signed by an unknown key");
    case ReportVerdict::State::Altered:
        return tr("Altered after signing");
    case ReportVerdict::State::NotSigned:
        return tr("Not signed");
    case ReportVerdict::State::Unreadable:
        break;
    }
    return QString();
}

void ReportCol::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRectF card = QRectF(option.rect).adjusted(5, 5, -5, -5);
    QPainterPath outline;
    outline.addRoundedRect(card, 6, 6);
    QColor fill = selected ? Palette::accent() : Palette::base();
    if (selected)
        fill.setAlpha(40);
    painter->fillPath(outline, Palette::base());
    painter->fillPath(outline, fill);
    painter->setPen(QPen(selected ? Palette::accent() : Palette::border(), selected ? 2 : 1));
    painter->drawPath(outline);

    // The file icon with the report's kind on a label across its foot.
    const QRect iconRect(int(card.center().x()) - 24, int(card.top()) + 12, 48, 56);
    QIcon(u":/images/file.svg"_s).paint(painter, iconRect);
    const QString kind = QFileInfo(index.data(SavedReportsModel::PathRole).toString()).suffix().toUpper();
    QFont font = option.font;
    font.setPixelSize(9);
    font.setBold(true);
    painter->setFont(font);
    const int labelWidth = std::min(QFontMetrics(font).horizontalAdvance(kind) + 8, int(card.width()) - 8);
    const QRectF label(card.center().x() - labelWidth / 2.0, iconRect.bottom() - 20, labelWidth, 13);
    QPainterPath labelShape;
    labelShape.addRoundedRect(label, 3, 3);
    painter->fillPath(labelShape, Palette::headerBlue());
    painter->setPen(Palette::onAccent());
    painter->drawText(label, Qt::AlignCenter,
                      QFontMetrics(font).elidedText(kind, Qt::ElideRight, labelWidth - 4));

    // Date and time below it.
    font.setBold(false);
    font.setPixelSize(12);
    painter->setFont(font);
    painter->setPen(Palette::onSurface(Palette::headerBlue()));
    const QRectF dateRect(card.left(), iconRect.bottom() + 10, card.width(), 18);
    const auto [date, time] = dateAndTime(index.data(SavedReportsModel::PathRole).toString());
    painter->drawText(dateRect, Qt::AlignHCenter | Qt::AlignVCenter, date);
    painter->drawText(dateRect.translated(0, 18), Qt::AlignHCenter | Qt::AlignVCenter, time);

    // The signature's state below them: a change after signing in the colour of failures.
    const int state = index.data(SavedReportsModel::SignatureStateRole).toInt();
    font.setPixelSize(10);
    painter->setFont(font);
    painter->setPen(state == static_cast<int>(ReportVerdict::State::Altered)
                        ? Palette::readable(Palette::failure(), Palette::base())
                        : Palette::onSurface(Palette::secondaryText()));
    const QRectF stateRect = dateRect.translated(0, 36).adjusted(4, 0, -4, 0);
    painter->drawText(
        stateRect, Qt::AlignHCenter | Qt::AlignVCenter,
        QFontMetrics(font).elidedText(stateText(state), Qt::ElideRight, int(stateRect.width())));
    painter->restore();
}

} // namespace cv
