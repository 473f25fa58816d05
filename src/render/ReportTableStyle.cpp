#include "render/ReportTableStyle.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// A computed CSS colour: "rgb(r, g, b)" or "rgba(r, g, b, a)"; transparent when unreadable.
QColor cssColor(const QString& text)
{
    static const QRegularExpression pattern(
        u"^rgba?\\(\\s*([\\d.]+)\\s*,\\s*([\\d.]+)\\s*,\\s*([\\d.]+)\\s*(?:,\\s*([\\d.]+)\\s*)?\\)$"_s);
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return QColor(Qt::transparent);
    const double alpha = match.captured(4).isEmpty() ? 1.0 : match.captured(4).toDouble();
    return QColor::fromRgbF(static_cast<float>(match.captured(1).toDouble() / 255),
                            static_cast<float>(match.captured(2).toDouble() / 255),
                            static_cast<float>(match.captured(3).toDouble() / 255),
                            static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
}

Qt::Alignment cssAlignment(const QString& align)
{
    if (align == u"right"_s || align == u"end"_s || align == u"-webkit-right"_s)
        return Qt::AlignRight;
    if (align == u"center"_s || align == u"-webkit-center"_s)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

// A computed font-family list: the named families in order; the last generic family names the
// fallback.
void setFamilies(ReportTableStyle::Cell& cell, const QString& list)
{
    static const QHash<QString, QFont::StyleHint> generic{{u"sans-serif"_s, QFont::SansSerif},
                                                          {u"serif"_s, QFont::Serif},
                                                          {u"monospace"_s, QFont::Monospace},
                                                          {u"cursive"_s, QFont::Cursive},
                                                          {u"fantasy"_s, QFont::Fantasy}};
    for (QString family : list.split(u',')) {
        family = family.trimmed();
        if (family.size() >= 2 && (family.front() == u'"' || family.front() == u'\''))
            family = family.sliced(1, family.size() - 2);
        if (generic.contains(family))
            cell.genericFamily = generic.value(family);
        else if (!family.isEmpty())
            cell.families.append(family);
    }
}

ReportTableStyle::Cell cellFrom(const QJsonObject& object, double shift)
{
    ReportTableStyle::Cell cell;
    cell.left = object[u"left"_s].toDouble() + shift;
    cell.width = object[u"width"_s].toDouble();
    cell.padLeft = object[u"padLeft"_s].toDouble();
    cell.padRight = object[u"padRight"_s].toDouble();
    cell.textTop = object[u"textTop"_s].toDouble();
    cell.align = cssAlignment(object[u"align"_s].toString());
    cell.wraps = object[u"wraps"_s].toBool(true);
    cell.color = cssColor(object[u"color"_s].toString());
    cell.background = cssColor(object[u"background"_s].toString());
    setFamilies(cell, object[u"family"_s].toString());
    cell.fontSize = object[u"size"_s].toDouble();
    cell.weight = object[u"weight"_s].toInt(400);
    cell.italic = object[u"italic"_s].toBool();
    cell.lineHeight = object[u"lineHeight"_s].toDouble();
    cell.border = object[u"border"_s].toDouble();
    cell.borderColor = cssColor(object[u"borderColor"_s].toString());
    return cell;
}

ReportTableStyle::Row rowFrom(const QJsonObject& object, double shift)
{
    ReportTableStyle::Row row;
    row.height = object[u"height"_s].toDouble();
    for (const QJsonValue cell : object[u"cells"_s].toArray())
        row.cells.push_back(cellFrom(cell.toObject(), shift));
    return row;
}

bool sound(const ReportTableStyle::Row& row, std::size_t columns)
{
    if (row.height <= 0 || row.cells.size() != columns)
        return false;
    return std::all_of(row.cells.begin(), row.cells.end(), [](const ReportTableStyle::Cell& cell) {
        return cell.width > 0 && cell.fontSize > 0 && cell.lineHeight > 0;
    });
}

} // namespace

QFont ReportTableStyle::Cell::font() const
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(genericFamily);
    // Points at 96 dots per inch: 3/4 of a pixel.
    font.setPointSizeF(fontSize * 0.75);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(italic);
    // A glyph for each character: the PDF's text then reads back as written (with ligatures, a
    // name's "fi" would read as the single character U+FB01).
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

std::optional<ReportTableStyle> ReportTableStyle::fromJson(const QByteArray& json, double printedWidth)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    if (object.isEmpty())
        return std::nullopt;
    const double viewWidth = object[u"viewWidth"_s].toDouble(printedWidth);
    const double shift = object[u"centred"_s].toBool() ? (printedWidth - viewWidth) / 2 : 0;
    ReportTableStyle style;
    const QJsonObject header = object[u"header"_s].toObject();
    style.headerTop = header[u"top"_s].toDouble();
    style.header = rowFrom(header, shift);
    style.headerHeight = style.header.height;
    for (const QJsonValue text : header[u"texts"_s].toArray())
        style.headerTexts.append(text.toString());
    style.rowsTop = object[u"rowsTop"_s].toDouble();
    style.below = object[u"below"_s].toDouble();
    style.firstShorter = object[u"firstShorter"_s].toDouble();
    const std::size_t columns = style.header.cells.size();
    if (columns == 0 || !sound(style.header, columns) || style.headerTexts.size() != qsizetype(columns))
        return std::nullopt;
    const QJsonObject rows = object[u"rows"_s].toObject();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        const QJsonArray kinds = it.value().toArray();
        if (kinds.size() != 2)
            return std::nullopt;
        std::array<Row, 2> pair{rowFrom(kinds[0].toObject(), shift), rowFrom(kinds[1].toObject(), shift)};
        if (!sound(pair[0], columns) || !sound(pair[1], columns))
            return std::nullopt;
        style.rows.insert(it.key(), std::move(pair));
    }
    if (style.rows.isEmpty() || style.rowsTop <= 0)
        return std::nullopt;
    return style;
}

} // namespace cv
