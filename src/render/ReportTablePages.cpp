#include "render/ReportTablePages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// One dot a CSS pixel: the painter works in the lengths the web engine measured.
constexpr int kDotsPerInch = 96;
// Pages drawn into one PDF by one drawer; each such PDF carries its own subset of the fonts.
constexpr std::size_t kPagesPerBatch = 6;
// Batches laid out and waiting for a drawer: memory for a few pages' rows, whatever the table.
constexpr std::size_t kWaitingBatches = 2;

struct CellFont
{
    QFont font;
    QFontMetricsF metrics;
};

// A PDF writer into memory with pages of the table's size, and the style's fonts resolved for it
// (so that measuring and drawing agree), made once each. Fonts are used by one thread only.
class PdfPages
{
public:
    explicit PdfPages(QSizeF pageSize) : m_buffer(&m_pdf), m_writer(&m_buffer)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_writer.setResolution(kDotsPerInch);
        m_writer.setPageSize(QPageSize(pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch));
        m_writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    }

    QPdfWriter& writer() { return m_writer; }
    // The PDF once the painter on it has ended.
    QByteArray take() { return std::exchange(m_pdf, QByteArray()); }

    const CellFont& font(const ReportTableStyle::Cell& cell)
    {
        auto it = m_fonts.find(&cell);
        if (it == m_fonts.end()) {
            const QFont font(cell.font(), &m_writer);
            it = m_fonts.emplace(&cell, CellFont{font, QFontMetricsF(font, &m_writer)}).first;
        }
        return it->second;
    }

private:
    QByteArray m_pdf;
    QBuffer m_buffer;
    QPdfWriter m_writer;
    std::unordered_map<const ReportTableStyle::Cell*, CellFont> m_fonts;
};

// A cell's text as measured: its width on one line, and the lines it takes in its room.
struct CellText
{
    QString text;
    double advance = 0;
    int lines = 1;
};

struct PageRow
{
    const ReportTableStyle::Row* style = nullptr;
    std::vector<CellText> cells;
    double height = 0;
    bool first = false; // directly below the table's header
};

using Page = std::vector<PageRow>;

struct Batch
{
    std::size_t index = 0;
    std::vector<Page> pages;
};

double room(const ReportTableStyle::Cell& cell)
{
    return std::max(1.0, cell.width - cell.padLeft - cell.padRight);
}

// The text broken into lines in the cell's room: at word boundaries where it can be, anywhere else
// where it must (a long name without blanks), as the table's cells wrap.
std::unique_ptr<QTextLayout> wrapped(const QString& text, const ReportTableStyle::Cell& cell,
                                     const CellFont& font, const QPaintDevice& device)
{
    auto layout = std::make_unique<QTextLayout>(text, font.font, &device);
    QTextOption option(cell.align);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    int count = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(room(cell));
        line.setPosition(QPointF(0, count * cell.lineHeight));
        ++count;
    }
    layout->endLayout();
    return layout;
}

CellText measure(const QString& text, const ReportTableStyle::Cell& cell, PdfPages& pdf)
{
    const CellFont& font = pdf.font(cell);
    CellText measured{text, font.metrics.horizontalAdvance(text), 1};
    if (cell.wraps && measured.advance > room(cell))
        measured.lines = std::max(1, wrapped(text, cell, font, pdf.writer())->lineCount());
    return measured;
}

void drawText(QPainter& painter, const ReportTableStyle::Cell& cell, const CellText& text, PdfPages& pdf,
              double top)
{
    if (text.text.isEmpty())
        return;
    const CellFont& font = pdf.font(cell);
    painter.setPen(cell.color);
    painter.setFont(font.font);
    const double left = cell.left + cell.padLeft;
    if (text.lines > 1) {
        wrapped(text.text, cell, font, pdf.writer())->draw(&painter, QPointF(left, top));
        return;
    }
    double x = left;
    if (cell.align & Qt::AlignRight)
        x = left + room(cell) - text.advance;
    else if (cell.align & Qt::AlignHCenter)
        x = left + (room(cell) - text.advance) / 2;
    painter.drawText(QPointF(x, top + font.metrics.ascent()), text.text);
}

// Fills the row's cells with their backgrounds, one rectangle for neighbours of one colour.
void fillCells(QPainter& painter, const ReportTableStyle::Row& row, double top, double height)
{
    const auto& cells = row.cells;
    for (std::size_t c = 0; c < cells.size();) {
        std::size_t end = c + 1;
        while (end < cells.size() && cells[end].background == cells[c].background)
            ++end;
        if (cells[c].background.alpha() > 0)
            painter.fillRect(QRectF(cells[c].left, top,
                                    cells[end - 1].left + cells[end - 1].width - cells[c].left, height),
                             cells[c].background);
        c = end;
    }
}

// The borders below the row's cells, which straddle the line between two rows as collapsed
// borders do; one rectangle for neighbours of one kind.
void drawBorders(QPainter& painter, const ReportTableStyle::Row& row, double bottom)
{
    const auto& cells = row.cells;
    for (std::size_t c = 0; c < cells.size();) {
        std::size_t end = c + 1;
        while (end < cells.size() && cells[end].border == cells[c].border &&
               cells[end].borderColor == cells[c].borderColor)
            ++end;
        if (cells[c].border > 0 && cells[c].borderColor.alpha() > 0)
            painter.fillRect(QRectF(cells[c].left, bottom - cells[c].border / 2,
                                    cells[end - 1].left + cells[end - 1].width - cells[c].left,
                                    cells[c].border),
                             cells[c].borderColor);
        c = end;
    }
}

// Draws one page: the header, then the rows' backgrounds, their borders and their text.
void drawPage(QPainter& painter, const ReportTableStyle& style, const Page& rows, PdfPages& pdf)
{
    fillCells(painter, style.header, style.headerTop, style.headerHeight);
    for (std::size_t c = 0; c < style.header.cells.size(); ++c) {
        const ReportTableStyle::Cell& cell = style.header.cells[c];
        const QString& text = style.headerTexts[static_cast<qsizetype>(c)];
        drawText(painter, cell, CellText{text, pdf.font(cell).metrics.horizontalAdvance(text), 1}, pdf,
                 style.headerTop + cell.textTop);
    }
    double top = style.rowsTop;
    for (const PageRow& row : rows) {
        fillCells(painter, *row.style, top, row.height);
        top += row.height;
    }
    top = style.rowsTop;
    for (const PageRow& row : rows) {
        top += row.height;
        drawBorders(painter, *row.style, top);
    }
    top = style.rowsTop;
    for (const PageRow& row : rows) {
        // The first row lacks the half of a border above it that the others have.
        const double shift = row.first ? style.firstShorter : 0;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const ReportTableStyle::Cell& cell = row.style->cells[c];
            drawText(painter, cell, row.cells[c], pdf, top + cell.textTop - shift);
        }
        top += row.height;
    }
}

// Batches of laid-out pages handed from the thread that lays them out to the threads that draw
// them, a few at a time; each drawn batch's PDF by its index.
class Batches
{
public:
    // Waits for room; false once drawing has failed.
    bool push(Batch batch)
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return m_waiting.size() < kWaitingBatches || m_failed; });
        if (m_failed)
            return false;
        m_waiting.push_back(std::move(batch));
        m_ready.notify_one();
        return true;
    }

    // The next batch to draw; nothing once every batch has been taken and no more come.
    std::optional<Batch> pop()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_waiting.empty() || m_closed; });
        if (m_waiting.empty())
            return std::nullopt;
        Batch batch = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_room.notify_one();
        return batch;
    }

    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_ready.notify_all();
    }

    // A drawn batch (empty: drawing failed); pageDrawn is told each page, one call at a time.
    void drawn(std::size_t index, QByteArray pdf, std::size_t pages,
               const std::function<void(int)>& pageDrawn)
    {
        const std::lock_guard lock(m_mutex);
        if (pdf.isEmpty()) {
            m_failed = true;
            m_room.notify_all();
            return;
        }
        m_pdfs.emplace(index, std::move(pdf));
        for (std::size_t i = 0; i < pages; ++i)
            pageDrawn(++m_pages);
    }

    bool failed()
    {
        const std::lock_guard lock(m_mutex);
        return m_failed;
    }

    // The PDFs in order, once every drawer has ended.
    std::vector<QByteArray> pdfs()
    {
        std::vector<QByteArray> pdfs;
        for (auto& [index, pdf] : m_pdfs)
            pdfs.push_back(std::move(pdf));
        return pdfs;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_room;
    std::deque<Batch> m_waiting;
    std::map<std::size_t, QByteArray> m_pdfs;
    int m_pages = 0;
    bool m_closed = false;
    bool m_failed = false;
};

// Draws the batch's pages into a PDF of their own; empty when the PDF cannot be painted.
QByteArray drawBatch(const Batch& batch, const ReportTableStyle& style, QSizeF pageSize)
{
    PdfPages pdf(pageSize);
    QPainter painter;
    for (std::size_t i = 0; i < batch.pages.size(); ++i) {
        if (i == 0 ? !painter.begin(&pdf.writer()) : !pdf.writer().newPage())
            return {};
        drawPage(painter, style, batch.pages[i], pdf);
    }
    if (!painter.end())
        return {};
    return pdf.take();
}

} // namespace

ReportTablePages::ReportTablePages(ReportTableStyle style, QSizeF pageSize, double budget)
    : m_style(std::move(style)), m_pageSize(pageSize), m_budget(budget)
{}

ReportTablePages::Drawn ReportTablePages::draw(const ReportHtmlParts& parts, qsizetype first,
                                               const std::atomic<bool>& stop,
                                               const std::function<void(int pages)>& pageDrawn) const
{
    // This thread lays the rows out into pages; two others draw them, batch by batch.
    Batches batches;
    std::vector<std::jthread> drawers;
    const int drawerCount = std::clamp(QThread::idealThreadCount(), 1, 2);
    for (int i = 0; i < drawerCount; ++i) {
        drawers.emplace_back([&] {
            while (std::optional<Batch> batch = batches.pop())
                batches.drawn(batch->index,
                              batches.failed() ? QByteArray() : drawBatch(*batch, m_style, m_pageSize),
                              batch->pages.size(), pageDrawn);
        });
    }

    PdfPages metrics(m_pageSize);
    const auto columns = static_cast<qsizetype>(m_style.header.cells.size());
    const double empty = m_style.rowsTop + m_style.below;
    Drawn drawn;
    Batch batch;
    Page page;
    double height = empty;
    for (qsizetype index = first; index < parts.rowCount() && !stop.load(std::memory_order_relaxed);
         ++index) {
        const auto plain = ReportHtmlParts::plainRow(parts.rows(index, 1));
        const auto kind = plain ? m_style.rows.constFind(plain->rowClass) : m_style.rows.constEnd();
        if (kind == m_style.rows.constEnd() || plain->cells.size() != columns)
            break;
        PageRow row{&(*kind)[static_cast<std::size_t>(index % 2)], {}, 0, false};
        double extra = 0;
        for (qsizetype c = 0; c < columns; ++c) {
            const ReportTableStyle::Cell& cell = row.style->cells[static_cast<std::size_t>(c)];
            row.cells.push_back(measure(plain->cells[c], cell, metrics));
            extra = std::max(extra, (row.cells.back().lines - 1) * cell.lineHeight);
        }
        row.height = row.style->height + extra;
        if (!page.empty() && height + row.height > m_budget) {
            drawn.rows += static_cast<qsizetype>(page.size());
            ++drawn.pages;
            batch.pages.push_back(std::exchange(page, Page()));
            height = empty;
            if (batch.pages.size() == kPagesPerBatch &&
                !batches.push(std::exchange(batch, Batch{batch.index + 1, {}})))
                break;
        }
        if (page.empty()) {
            row.first = true;
            row.height -= m_style.firstShorter;
        }
        height += row.height;
        page.push_back(std::move(row));
    }
    if (!batch.pages.empty())
        batches.push(std::move(batch));
    batches.close();
    drawers.clear(); // joins them
    if (batches.failed() || drawn.pages == 0)
        return {};
    drawn.pdfs = batches.pdfs();
    return drawn;
}

} // namespace cv
