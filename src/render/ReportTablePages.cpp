#include "render/ReportTablePages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// One dot a CSS pixel: the painter works in the lengths the web engine measured.
constexpr int kDotsPerInch = 96;

struct CellFont
{
    QFont font;
    QFontMetricsF metrics;
};

// The fonts of the style's cells for one PDF, made once each.
class Fonts
{
public:
    explicit Fonts(const QPaintDevice& device) : m_device(device) {}

    const CellFont& of(const ReportTableStyle::Cell& cell)
    {
        auto it = m_fonts.find(&cell);
        if (it == m_fonts.end()) {
            // The font resolved for the device, so that measuring and drawing agree.
            const QFont font(cell.font(), &m_device);
            it = m_fonts.emplace(&cell, CellFont{font, QFontMetricsF(font, &m_device)}).first;
        }
        return it->second;
    }

private:
    const QPaintDevice& m_device;
    std::unordered_map<const ReportTableStyle::Cell*, CellFont> m_fonts;
};

// A cell's text laid out in its room: on one line, or over lines where it wraps.
struct LaidCell
{
    QString text;
    double advance = 0;                 // of the text on one line
    std::unique_ptr<QTextLayout> lines; // only when it takes more than one
    int lineCount = 1;
};

struct LaidRow
{
    const ReportTableStyle::Row* style = nullptr;
    std::vector<LaidCell> cells;
    double height = 0;
    bool first = false; // directly below the table's header
};

double room(const ReportTableStyle::Cell& cell)
{
    return std::max(1.0, cell.width - cell.padLeft - cell.padRight);
}

LaidCell layOut(const QString& text, const ReportTableStyle::Cell& cell, Fonts& fonts,
                const QPaintDevice& device)
{
    const CellFont& font = fonts.of(cell);
    LaidCell laid{text, font.metrics.horizontalAdvance(text), nullptr, 1};
    if (!cell.wraps || laid.advance <= room(cell))
        return laid;
    // Broken at word boundaries where it can be, anywhere else where it must (a long name without
    // blanks), as the table's cells wrap.
    laid.lines = std::make_unique<QTextLayout>(text, font.font, &device);
    QTextOption option(cell.align);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    laid.lines->setTextOption(option);
    laid.lines->beginLayout();
    int count = 0;
    for (QTextLine line = laid.lines->createLine(); line.isValid(); line = laid.lines->createLine()) {
        line.setLineWidth(room(cell));
        line.setPosition(QPointF(0, count * cell.lineHeight));
        ++count;
    }
    laid.lines->endLayout();
    laid.lineCount = std::max(count, 1);
    return laid;
}

void drawText(QPainter& painter, const ReportTableStyle::Cell& cell, const LaidCell& laid,
              const CellFont& font, double top)
{
    if (laid.text.isEmpty())
        return;
    painter.setPen(cell.color);
    painter.setFont(font.font);
    const double left = cell.left + cell.padLeft;
    if (laid.lines) {
        laid.lines->draw(&painter, QPointF(left, top));
        return;
    }
    double x = left;
    if (cell.align & Qt::AlignRight)
        x = left + room(cell) - laid.advance;
    else if (cell.align & Qt::AlignHCenter)
        x = left + (room(cell) - laid.advance) / 2;
    painter.drawText(QPointF(x, top + font.metrics.ascent()), laid.text);
}

void fillCells(QPainter& painter, const ReportTableStyle::Row& row, double top, double height)
{
    for (const ReportTableStyle::Cell& cell : row.cells) {
        if (cell.background.alpha() > 0)
            painter.fillRect(QRectF(cell.left, top, cell.width, height), cell.background);
    }
}

// Draws one page: the header, then the rows' backgrounds, their borders (which straddle the
// line between two rows, as collapsed borders do) and their text.
void drawPage(QPainter& painter, const ReportTableStyle& style, const std::vector<LaidRow>& rows,
              Fonts& fonts)
{
    fillCells(painter, style.header, style.headerTop, style.headerHeight);
    for (std::size_t c = 0; c < style.header.cells.size(); ++c) {
        const ReportTableStyle::Cell& cell = style.header.cells[c];
        const CellFont& font = fonts.of(cell);
        const QString& text = style.headerTexts[static_cast<qsizetype>(c)];
        drawText(painter, cell, LaidCell{text, font.metrics.horizontalAdvance(text), nullptr, 1}, font,
                 style.headerTop + cell.textTop);
    }
    double top = style.rowsTop;
    for (const LaidRow& row : rows) {
        fillCells(painter, *row.style, top, row.height);
        top += row.height;
    }
    top = style.rowsTop;
    for (const LaidRow& row : rows) {
        top += row.height;
        for (const ReportTableStyle::Cell& cell : row.style->cells) {
            if (cell.border > 0 && cell.borderColor.alpha() > 0)
                painter.fillRect(QRectF(cell.left, top - cell.border / 2, cell.width, cell.border),
                                 cell.borderColor);
        }
    }
    top = style.rowsTop;
    for (const LaidRow& row : rows) {
        // The first row lacks the half of a border above it that the others have.
        const double shift = row.first ? style.firstShorter : 0;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const ReportTableStyle::Cell& cell = row.style->cells[c];
            drawText(painter, cell, row.cells[c], fonts.of(cell), top + cell.textTop - shift);
        }
        top += row.height;
    }
}

} // namespace

ReportTablePages::ReportTablePages(ReportTableStyle style, QSizeF pageSize, double budget)
    : m_style(std::move(style)), m_pageSize(pageSize), m_budget(budget)
{}

ReportTablePages::Drawn ReportTablePages::draw(const ReportHtmlParts& parts, qsizetype first,
                                               const std::atomic<bool>& stop,
                                               const std::function<void(int pages)>& pageDrawn) const
{
    Drawn drawn;
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        writer.setPageSize(QPageSize(m_pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        Fonts fonts(writer);
        const auto columns = static_cast<qsizetype>(m_style.header.cells.size());
        const double empty = m_style.rowsTop + m_style.below;
        std::vector<LaidRow> page;
        double height = empty;
        for (qsizetype index = first; index < parts.rowCount() && !stop.load(std::memory_order_relaxed);
             ++index) {
            const auto plain = ReportHtmlParts::plainRow(parts.rows(index, 1));
            const auto kind = plain ? m_style.rows.constFind(plain->rowClass) : m_style.rows.constEnd();
            if (kind == m_style.rows.constEnd() || plain->cells.size() != columns)
                break;
            LaidRow row{&(*kind)[static_cast<std::size_t>(index % 2)], {}, 0, false};
            double extra = 0;
            for (qsizetype c = 0; c < columns; ++c) {
                const ReportTableStyle::Cell& cell = row.style->cells[static_cast<std::size_t>(c)];
                row.cells.push_back(layOut(plain->cells[c], cell, fonts, writer));
                extra = std::max(extra, (row.cells.back().lineCount - 1) * cell.lineHeight);
            }
            row.height = row.style->height + extra;
            if (!page.empty() && height + row.height > m_budget) {
                if (drawn.pages == 0 ? !painter.begin(&writer) : !writer.newPage())
                    return {};
                drawPage(painter, m_style, page, fonts);
                drawn.rows += static_cast<qsizetype>(page.size());
                pageDrawn(++drawn.pages);
                page.clear();
                height = empty;
            }
            if (page.empty()) {
                row.first = true;
                row.height -= m_style.firstShorter;
            }
            height += row.height;
            page.push_back(std::move(row));
        }
        if (!painter.isActive())
            return {};
        painter.end();
    }
    drawn.pdf = std::move(pdf);
    return drawn;
}

} // namespace cv
