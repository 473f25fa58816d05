#include "app/reports/ReportCol.h"

#include "app/Palette.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportFactory.h"
#include "reports/ReportVerdict.h"
#include "reports/SavedReportsModel.h"
#include "translations/AppTranslator.h"

#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <climits>

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

ReportCol::JobLines ReportCol::jobLines(const QString& path)
{
    const std::optional<ReportCardFacts> facts = ReportCardFacts::readFrom(path);
    if (!facts)
        return {};
    JobLines lines;
    // The report's own words for its status, in the window's language.
    lines.status =
        ReportFactory::localizedText(facts->statusKey.toLatin1().constData(), AppTranslator::languageInUse());
    lines.success = facts->statusKey == QLatin1StringView(ReportFactory::kSuccess);
    lines.target = facts->firstTarget;
    if (facts->more > 0)
        lines.more =
            tr("and %Ln more", nullptr, static_cast<int>(std::min<std::int64_t>(facts->more, INT_MAX)));
    return lines;
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

QString ReportCol::checkingText()
{
    return tr("Checking the signature...");
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
    const QRect iconRect(int(card.center().x()) - 20, int(card.top()) + 10, 40, 46);
    QIcon(u":/images/file.svg"_s).paint(painter, iconRect);
    const QString path = index.data(SavedReportsModel::PathRole).toString();
    const QString kind = QFileInfo(path).suffix().toUpper();
    QFont font = option.font;
    font.setPixelSize(9);
    font.setBold(true);
    painter->setFont(font);
    const int labelWidth = std::min(QFontMetrics(font).horizontalAdvance(kind) + 8, int(card.width()) - 8);
    const QRectF label(card.center().x() - labelWidth / 2.0, iconRect.bottom() - 18, labelWidth, 13);
    QPainterPath labelShape;
    labelShape.addRoundedRect(label, 3, 3);
    painter->fillPath(labelShape, Palette::headerBlue());
    painter->setPen(Palette::onAccent());
    painter->drawText(label, Qt::AlignCenter,
                      QFontMetrics(font).elidedText(kind, Qt::ElideRight, labelWidth - 4));

    // Below it, a line each: date, time, how the job ended, what it was aimed at, and how many more.
    constexpr int kLine = 16;
    constexpr int kSmallestWrapped = 9;
    const QColor onCard = Palette::onSurface(Palette::headerBlue());
    QRectF line(card.left() + 6, iconRect.bottom() + 6, card.width() - 12, kLine);
    // A line too long for the card wraps onto a second one when it may (the status: "Old content
    // may remain"), else it is shortened in its middle (a long file name keeps its extension).
    const auto draw = [&](const QString& text, const QColor& colour, bool bold, bool wraps = false) {
        font.setBold(bold);
        painter->setFont(font);
        painter->setPen(colour);
        const QFontMetrics metrics(font);
        if (wraps && metrics.horizontalAdvance(text) > line.width()) {
            // Two lines at most, never over the lines around them: a status that needs more (long
            // German words) takes a smaller size, down to the smallest that stays readable.
            const QRectF twoLines(line.topLeft(), QSizeF(line.width(), 2 * kLine));
            const int size = font.pixelSize();
            while (font.pixelSize() > kSmallestWrapped &&
                   QFontMetrics(font).boundingRect(twoLines.toRect(), Qt::TextWordWrap, text).height() >
                       twoLines.height())
                font.setPixelSize(font.pixelSize() - 1);
            painter->setFont(font);
            painter->save();
            painter->setClipRect(twoLines);
            painter->drawText(twoLines, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, text);
            painter->restore();
            font.setPixelSize(size);
            line.translate(0, 2 * kLine);
            return;
        }
        painter->drawText(line, Qt::AlignHCenter | Qt::AlignVCenter,
                          metrics.elidedText(text, Qt::ElideMiddle, int(line.width())));
        line.translate(0, kLine);
    };
    font.setPixelSize(12);
    const auto [date, time] = dateAndTime(path);
    draw(date, onCard, false);
    draw(time, onCard, false);
    const JobLines job = jobLines(path);
    if (!job.status.isEmpty())
        draw(job.status, job.success ? Palette::amount() : Palette::failure(), true, true);
    font.setPixelSize(11);
    // The signature's state: a change after signing in the colour of failures; while the file is
    // being checked (on a worker: a large report takes a while), a line that says so.
    const QVariant state = index.data(SavedReportsModel::SignatureStateRole);
    if (!state.isValid())
        draw(checkingText(), Palette::onSurface(Palette::secondaryText()), false);
    else if (const QString stateLine = stateText(state.toInt()); !stateLine.isEmpty())
        draw(stateLine,
             state.toInt() == static_cast<int>(ReportVerdict::State::Altered)
                 ? Palette::readable(Palette::failure(), Palette::base())
                 : Palette::onSurface(Palette::secondaryText()),
             false);
    if (!job.target.isEmpty())
        draw(job.target, Palette::secondaryText(), false);
    if (!job.more.isEmpty())
        draw(job.more, Palette::secondaryText(), false);
    painter->restore();
}

} // namespace cv
