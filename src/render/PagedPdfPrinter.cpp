#include "render/PagedPdfPrinter.h"

#include "render/PdfPageJoiner.h"
#include "render/ReportPrintView.h"
#include "render/ReportTablePages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPageLayout>
#include <QPageSize>
#include <QThread>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// CSS pixels are 1/96 inch, PDF points 1/72.
constexpr double kPointsPerPixel = 0.75;
// Room below a page's content at the first attempt (print layout wraps long names a little
// differently from screen layout), and the points added on top.
constexpr double kFirstSpare = 0.02;
constexpr double kSparePoints = 8;
// The tallest content, in CSS pixels, that a page of the largest height holds with those points to
// spare; and with the room of the first attempt too.
constexpr double kSinglePageContent = (PagedPdfPrinter::kMaxPageHeight - kSparePoints) / kPointsPerPixel;
constexpr double kPageContent = kSinglePageContent / (1 + kFirstSpare);
// The rows the first chunk is measured with (a little more than a first page holds); later chunks
// take about this many pages' worth.
constexpr qsizetype kFirstCandidates = 1000;
constexpr double kPagesPerChunk = 3.5;

// Runs in the printer's own script world of each view, called with whether the document's file
// table is to be filled (else the document is only measured): finds the file table (the first
// table whose class is "files", as ReportHtmlParts finds it), the parts of the report before it
// (its head) and after it (its end), and offers two calls.
//   measure(rows, shifted, first, last): puts rows into the table (after a hidden row when shifted,
//     so that the rows' stripes go on as before them), shows the head when first; answers where
//     the first row begins, the height below the last row with the report's end (-1 unless last)
//     and without it, and where each row ends. Laying out every row on screen would cost about
//     as much as printing it: a row whose cells hold plain text (printable ASCII, in the cell's
//     own font) that fits its column with room to spare, or may not wrap, is one line high like
//     every such row, so only one of them is laid out, beside the rows that may wrap (their
//     neighbours hidden, each is as tall as among them).
//   page(from, to, first, last): for printing, shows the rows at positions from..to (counted from
//     1) only, the head when first and the end when last; hides the table's body on screen, so
//     that leaving print layout costs no layout of the rows.
// Answers the document's width and height, whether it has a file table, and where the first
// row begins on a page that continues the table.
constexpr auto kPagesScript = uR"JS((function (paged, classes) {
  var table = paged ? document.querySelector('table[class="files"]') : null;
  var body = table ? table.tBodies[0] : null;
  var head = [], tail = [];
  for (var node = table; node && node !== document.body && node !== document.documentElement;
       node = node.parentElement) {
    for (var s = node.previousElementSibling; s; s = s.previousElementSibling) head.push(s);
    for (var t = node.nextElementSibling; t; t = t.nextElementSibling) tail.push(t);
  }
  var style = document.createElement('style');
  (document.head || document.documentElement).appendChild(style);
  function show(list, on) {
    for (var i = 0; i < list.length; ++i) list[i].style.display = on ? '' : 'none';
  }
  function height() {
    var d = document.documentElement, b = document.body || d;
    return Math.max(b.scrollHeight, d.getBoundingClientRect().height);
  }
  function width() {
    var d = document.documentElement, b = document.body || d;
    return Math.max(d.scrollWidth, b.scrollWidth, d.getBoundingClientRect().width);
  }
  if (!body)
    return [width(), height(), 0, 0];
  body.setAttribute('data-cindervault-rows', '');
  var context = document.createElement('canvas').getContext('2d');
  var widths = new Map();
  var plain = /^[\x20-\x7e]*$/;
  var shapes = {};
  // Per row class: for each column, its cells' font, whether they may wrap, and the room for
  // their text (the column's width, from the table's header, without the cell's padding).
  function shapeOf(row) {
    var shape = shapes[row.className];
    if (shape)
      return shape;
    var header = table.tHead && table.tHead.rows.length ? table.tHead.rows[0].cells : [];
    shape = [];
    for (var c = 0; c < header.length; ++c) {
      var cell = row.cells[c];
      var css = cell ? getComputedStyle(cell) : null;
      shape.push(css && {
        font: css.font,
        wraps: css.whiteSpace !== 'nowrap' && css.whiteSpace !== 'pre',
        room: header[c].getBoundingClientRect().width - parseFloat(css.paddingLeft) -
              parseFloat(css.paddingRight) - parseFloat(css.borderLeftWidth) - parseFloat(css.borderRightWidth)
      });
    }
    shapes[row.className] = shape;
    return shape;
  }
  function textWidth(font, text) {
    var key = font + '\n' + text;
    var width = widths.get(key);
    if (width === undefined) {
      context.font = font;
      width = context.measureText(text).width;
      if (widths.size < 4096)
        widths.set(key, width);
    }
    return width;
  }
  function oneLine(row) {
    var shape = shapeOf(row);
    if (row.cells.length !== shape.length || shape.length === 0)
      return false;
    for (var c = 0; c < shape.length; ++c) {
      var cell = row.cells[c], text = cell.textContent;
      if (!shape[c] || cell.childElementCount || cell.colSpan !== 1 || !plain.test(text))
        return false;
      if (shape[c].wraps && textWidth(shape[c].font, text) > shape[c].room * 0.98)
        return false;
    }
    return true;
  }
  window.cindervaultPages = {
    measure: function (rows, shifted, first, last) {
      style.textContent =
        '@media screen { [data-cindervault-rows] > tr:not(.cindervault-measured) { display: none; } }';
      show(head, first);
      show(tail, last);
      body.innerHTML = (shifted ? '<tr style="display:none"></tr>' : '') + rows;
      // The first row is laid out as it is: below the table's header, its collapsed border
      // makes it a little shorter than the rows below it.
      var list = body.rows, begin = shifted ? 1 : 0, sample = null, single = [];
      for (var i = begin; i < list.length; ++i) {
        var row = list[i];
        single.push(i > begin && oneLine(row));
        if (single[single.length - 1] && sample)
          continue;
        if (single[single.length - 1])
          sample = row;
        row.classList.add('cindervault-measured');
      }
      var line = sample ? sample.getBoundingClientRect().height : 0;
      var top = body.getBoundingClientRect().top, y = top, bottoms = [];
      for (var k = 0; k < single.length; ++k) {
        y += single[k] ? line : list[k + begin].getBoundingClientRect().height;
        bottoms.push(y);
      }
      var end = body.getBoundingClientRect().bottom;
      var withEnd = last ? height() - end : -1;
      show(tail, false);
      return [top, withEnd, height() - end].concat(bottoms);
    },
    page: function (from, to, first, last) {
      style.textContent = '@media screen { [data-cindervault-rows] { display: none; } }' +
        '@media print { [data-cindervault-rows] > tr { display: none; }' +
        ' [data-cindervault-rows] > tr:nth-child(n+' + from + '):nth-child(-n+' + to + ')' +
        ' { display: table-row; } }';
      show(head, first);
      show(tail, last);
      return 1;
    }
  };
  // The look of a page that continues the table, for pages drawn without the web engine: the
  // header, and rows of each class at an odd and an even position, a line of text each, the first
  // one directly below the header.
  function describeCell(cell, rowTop) {
    var css = getComputedStyle(cell), box = cell.getBoundingClientRect();
    var range = document.createRange();
    range.selectNodeContents(cell);
    var text = range.getBoundingClientRect();
    return {
      left: box.left, width: box.width,
      padLeft: parseFloat(css.paddingLeft) + parseFloat(css.borderLeftWidth),
      padRight: parseFloat(css.paddingRight) + parseFloat(css.borderRightWidth),
      textTop: text.top - rowTop, align: css.textAlign,
      wraps: css.whiteSpace !== 'nowrap' && css.whiteSpace !== 'pre',
      color: css.color, background: css.backgroundColor, family: css.fontFamily,
      size: parseFloat(css.fontSize), weight: parseInt(css.fontWeight, 10) || 400,
      italic: css.fontStyle !== 'normal', lineHeight: parseFloat(css.lineHeight) || text.height,
      border: parseFloat(css.borderBottomWidth) || 0, borderColor: css.borderBottomColor
    };
  }
  function describeRow(row) {
    var box = row.getBoundingClientRect(), cells = [];
    for (var c = 0; c < row.cells.length; ++c)
      cells.push(describeCell(row.cells[c], box.top));
    return {height: box.height, cells: cells};
  }
  function describe() {
    var header = table.tHead && table.tHead.rows.length === 1 ? table.tHead.rows[0] : null;
    if (!header || !classes || !classes.length)
      return '';
    function add(name) {
      var row = body.insertRow(-1);
      row.setAttribute('class', name);
      for (var c = 0; c < header.cells.length; ++c)
        row.insertCell(-1).textContent = 'x';
      return row;
    }
    var first = add(classes[0]), added = [];
    for (var i = 0; i < classes.length; ++i)
      added.push([add(classes[i]), add(classes[i])]);
    var rows = {};
    for (var k = 0; k < classes.length; ++k)
      rows[classes[k]] = [describeRow(added[k][1]), describeRow(added[k][0])];
    var look = describeRow(header), texts = [];
    for (var h = 0; h < header.cells.length; ++h)
      texts.push(header.cells[h].textContent.replace(/\s+/g, ' ').trim());
    look.top = header.getBoundingClientRect().top;
    look.texts = texts;
    var description = {
      header: look, rows: rows, rowsTop: first.getBoundingClientRect().top,
      below: height() - body.getBoundingClientRect().bottom,
      firstShorter: rows[classes[0]][0].height - first.getBoundingClientRect().height,
      viewWidth: document.documentElement.clientWidth,
      centred: Math.abs(table.getBoundingClientRect().left -
                        (document.documentElement.clientWidth - table.getBoundingClientRect().right)) < 1.5
    };
    body.innerHTML = '';
    return JSON.stringify(description);
  }
  show(head, false);
  show(tail, false);
  body.innerHTML = '';
  var continuationTop = body.getBoundingClientRect().top;
  // Without a description the table's pages are all printed by the web engine.
  var look = '';
  try {
    look = describe();
  } catch (e) {
    body.innerHTML = '';
  }
  show(head, true);
  show(tail, true);
  return [width(), height(), 1, continuationTop, look];
}))JS";

// Text as a JavaScript string literal (JSON's quoting).
QString scriptString(const QString& text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.sliced(1, json.size() - 2));
}

// Texts as a JavaScript array of strings.
QString scriptStrings(const QStringList& texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// The kinds of rows whose look is described for drawing pages without the web engine; a report
// writes two.
constexpr qsizetype kMaxRowClasses = 8;

QString scriptBool(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

QPageLayout pageLayout(const QSizeF& size)
{
    return QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

struct PagedPdfPrinter::View
{
    enum class State
    {
        Loading,
        Idle,
        Measuring,
        Printing,
    };

    std::unique_ptr<ReportPrintView> web;
    State state = State::Loading;
    double width = 0;           // of the report, in CSS pixels
    double continuationTop = 0; // where the rows begin on a page that continues the table
    std::size_t chunk = 0;      // measured or printed
    std::size_t page = 0;       // of the chunk, being printed
    int attempt = 0;
    double wholeHeight = 0; // of a document without a file table, printed as it stands
};

PagedPdfPrinter::PagedPdfPrinter(QObject* parent) : QObject(parent) {}

PagedPdfPrinter::~PagedPdfPrinter()
{
    stopTable();
}

QSizeF PagedPdfPrinter::pageSizeFor(double width, double height, int attempt)
{
    // Room to spare grows with each attempt: 2 %, 8 %, 32 %, 128 % of the height, plus a few
    // points. Whole points, rounded up: page sizes in points are whole numbers in Qt.
    const double spare = kFirstSpare * std::pow(4.0, attempt);
    const double widthPoints = std::ceil(std::max(width, 1.0) * kPointsPerPixel) + 1;
    const double heightPoints =
        std::ceil(std::max(height, 1.0) * kPointsPerPixel * (1 + spare)) + kSparePoints * (attempt + 1);
    return QSizeF(widthPoints, std::min(heightPoints, kMaxPageHeight));
}

void PagedPdfPrinter::print(Document document, ReportHtmlParts parts)
{
    if (m_running)
        return;
    m_running = true;
    m_document = std::move(document);
    m_parts = std::move(parts);
    m_chunks.clear();
    m_nextStart = 0;
    m_candidates = kFirstCandidates;
    m_measuring = false;
    m_planned = false;
    m_printedPages = 0;
    stopTable();
    m_tableStyle.reset();
    addView();
}

void PagedPdfPrinter::addView()
{
    auto view = std::make_unique<View>();
    view->web = std::make_unique<ReportPrintView>();
    View* added = view.get();
    connect(added->web.get(), &ReportPrintView::loaded, this, [this, added](bool ok) { loaded(*added, ok); });
    connect(added->web.get(), &ReportPrintView::failed, this, &PagedPdfPrinter::fail);
    m_views.push_back(std::move(view));
    if (m_document.html.isNull())
        added->web->load(m_document.url);
    else
        added->web->load(m_document.html, m_document.url);
}

void PagedPdfPrinter::loaded(View& view, bool ok)
{
    // Only the first load counts; later events (none are expected) are ignored.
    if (!m_running || view.state != View::State::Loading)
        return;
    if (!ok) {
        fail(u"the report could not be laid out"_s);
        return;
    }
    // A document without a file table is left as it stands.
    const QString script = QString::fromUtf16(kPagesScript) + u"("_s + scriptBool(m_parts.hasFileTable()) +
                           u", "_s + scriptStrings(m_parts.rowClasses(kMaxRowClasses)) + u")"_s;
    view.web->run(script, [this, &view](const QVariant& value) { prepared(view, value.toList()); });
}

void PagedPdfPrinter::prepared(View& view, const QVariantList& values)
{
    if (!m_running)
        return;
    if (values.size() < 4 || values[0].toDouble() <= 0 || values[1].toDouble() <= 0) {
        fail(u"the report could not be measured"_s);
        return;
    }
    view.width = values[0].toDouble();
    view.continuationTop = values[3].toDouble();
    if (values[2].toInt() != 1) {
        if (m_parts.rowCount() > 0) {
            fail(u"the report's file table was not found"_s);
            return;
        }
        printWhole(view, values[1].toDouble());
        return;
    }
    if (values.size() > 4 && !m_tableStyle)
        m_tableStyle = ReportTableStyle::fromJson(values[4].toString().toUtf8(),
                                                  pageSizeFor(view.width, 1, 0).width() / kPointsPerPixel);
    view.state = View::State::Idle;
    schedule();
}

void PagedPdfPrinter::schedule()
{
    if (!m_running)
        return;
    for (const auto& view : m_views) {
        if (view->state == View::State::Idle && !m_measuring && !m_planned) {
            m_chunks.push_back(Chunk{m_nextStart, std::nullopt, {}});
            measure(*view, m_chunks.size() - 1, m_candidates);
        }
    }
    const bool busy = std::any_of(m_views.begin(), m_views.end(), [](const auto& view) {
        return view->state == View::State::Measuring || view->state == View::State::Printing;
    });
    if (!m_planned || busy)
        return;
    std::vector<QByteArray> pages;
    for (Chunk& chunk : m_chunks)
        std::move(chunk.pages.begin(), chunk.pages.end(), std::back_inserter(pages));
    m_chunks.clear();
    finishJoined(std::move(pages));
}

void PagedPdfPrinter::measure(View& view, std::size_t chunk, qsizetype count)
{
    m_measuring = true;
    view.state = View::State::Measuring;
    view.chunk = chunk;
    const qsizetype start = m_chunks[chunk].start;
    count = std::min(count, m_parts.rowCount() - start);
    const QString script = u"window.cindervaultPages.measure(%1, %2, %3, %4)"_s.arg(
        scriptString(QString::fromUtf8(m_parts.rows(start, count))), scriptBool(start % 2 == 1),
        scriptBool(start == 0), scriptBool(start + count == m_parts.rowCount()));
    view.web->run(script,
                  [this, &view, chunk](const QVariant& value) { measured(view, chunk, value.toList()); });
}

void PagedPdfPrinter::measured(View& view, std::size_t chunk, const QVariantList& values)
{
    if (!m_running)
        return;
    Chunk& measuredChunk = m_chunks[chunk];
    const qsizetype count = values.size() - 3;
    if (count < 0 || values[2].toDouble() < 0) {
        fail(u"the report's rows could not be measured"_s);
        return;
    }
    ReportPagePlan::Measures measures;
    measures.rowsTop = values[0].toDouble();
    measures.continuationTop = view.continuationTop;
    measures.bottoms.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        measures.bottoms.push_back(values[i + 3].toDouble());
    measures.startsReport = measuredChunk.start == 0;
    measures.endsReport = measuredChunk.start + count == m_parts.rowCount();
    measures.below = values[2].toDouble();
    measures.belowWithEnd = measures.endsReport ? values[1].toDouble() : measures.below;
    ReportPagePlan plan(std::move(measures), kPageContent, kSinglePageContent);
    if (plan.needsMoreRows()) {
        measure(view, chunk, count * 2);
        return;
    }
    // The next chunk may be measured now, by the other view while this one prints.
    const qsizetype rowsPerPage =
        std::max<qsizetype>(1, plan.rowsTaken() / static_cast<qsizetype>(plan.pages().size()));
    m_candidates = static_cast<qsizetype>(static_cast<double>(rowsPerPage) * kPagesPerChunk) + 16;
    m_nextStart = measuredChunk.start + plan.rowsTaken();
    m_planned = plan.endsReport();
    measuredChunk.plan = std::move(plan);
    view.state = View::State::Printing;
    view.page = 0;
    view.attempt = 0;
    // The full pages after this chunk are drawn without the web engine while it prints this
    // chunk; the rows of the page they leave unfilled are measured then. Else the next chunk may
    // be measured now, by another view while this one prints.
    if (!m_planned && m_tableStyle)
        drawTable(view.width);
    else
        m_measuring = false;
    if (!m_planned && !m_tableStyle && m_views.size() < kMaxViews && QThread::idealThreadCount() > 1)
        addView();
    schedule();
    showPage(view);
}

void PagedPdfPrinter::drawTable(double width)
{
    const qsizetype from = m_nextStart;
    ReportTablePages pages(*m_tableStyle, QSizeF(pageSizeFor(width, 1, 0).width(), kMaxPageHeight),
                           kPageContent);
    m_stopTable = std::make_shared<std::atomic<bool>>(false);
    // The worker reads a copy of the parts (their text is shared, not copied) and says each page
    // it draws and what it drew to this object, on this object's thread.
    m_tableThread.reset(QThread::create([this, pages = std::move(pages), parts = m_parts, from,
                                         stop = m_stopTable] {
        const auto heartbeat = [this](int) {
            QMetaObject::invokeMethod(
                this, [this] { emit pagePrinted(++m_printedPages); }, Qt::QueuedConnection);
        };
        ReportTablePages::Drawn drawn = pages.draw(parts, from, *stop, heartbeat);
        QMetaObject::invokeMethod(
            this, [this, drawn = std::move(drawn), from] { tableDrawn(drawn, from); }, Qt::QueuedConnection);
    }));
    m_tableThread->start();
}

void PagedPdfPrinter::tableDrawn(const ReportTablePages::Drawn& drawn, qsizetype from)
{
    stopTable();
    if (!m_running)
        return;
    if (drawn.rows > 0) {
        m_chunks.push_back(Chunk{from, std::nullopt, drawn.pdfs});
        m_nextStart = from + drawn.rows;
    }
    m_measuring = false;
    schedule();
}

void PagedPdfPrinter::stopTable()
{
    if (!m_tableThread)
        return;
    m_stopTable->store(true);
    m_tableThread->wait();
    m_tableThread.reset();
}

void PagedPdfPrinter::showPage(View& view)
{
    Chunk& chunk = m_chunks[view.chunk];
    const auto& pages = chunk.plan->pages();
    if (view.page >= pages.size()) {
        view.state = View::State::Idle;
        schedule();
        return;
    }
    const ReportPagePlan::Page& page = pages[view.page];
    // Positions in the table's body count from 1, after the hidden row of a chunk that begins
    // at an odd row.
    const qsizetype shift = chunk.start % 2;
    const QString script =
        u"window.cindervaultPages.page(%1, %2, %3, %4)"_s.arg(page.from + 1 + shift)
            .arg(page.to + shift)
            .arg(scriptBool(chunk.start == 0 && page.from == 0), scriptBool(page.endsReport));
    view.web->run(script, [this, &view](const QVariant& value) {
        if (!m_running)
            return;
        if (value.toInt() != 1) {
            fail(u"the report's page could not be laid out"_s);
            return;
        }
        printPage(view);
    });
}

void PagedPdfPrinter::printPage(View& view)
{
    const Chunk& chunk = m_chunks[view.chunk];
    const ReportPagePlan::Page& page = chunk.plan->pages()[view.page];
    // Every page but the last is of the largest height: the most room for its rows in print.
    const QSizeF size = page.endsReport
                            ? pageSizeFor(view.width, chunk.plan->contentHeight(page), view.attempt)
                            : QSizeF(pageSizeFor(view.width, 1, 0).width(), kMaxPageHeight);
    view.web->print(pageLayout(size), [this, &view](const QByteArray& pdf) { printed(view, pdf); });
}

void PagedPdfPrinter::printed(View& view, const QByteArray& pdf)
{
    const std::optional<int> count = printedPageCount(pdf);
    if (!count)
        return;
    Chunk& chunk = m_chunks[view.chunk];
    ReportPagePlan& plan = *chunk.plan;
    const ReportPagePlan::Page page = plan.pages()[view.page];
    if (*count > 1) {
        // The rows came out taller in print than on screen: more room, up to the largest page;
        // then fewer rows on this page.
        if (page.endsReport &&
            pageSizeFor(view.width, plan.contentHeight(page), view.attempt).height() < kMaxPageHeight) {
            ++view.attempt;
            printPage(view);
            return;
        }
        if (page.to - page.from > 1) {
            plan.moveRowsDown(view.page, std::max<qsizetype>(1, (page.to - page.from) / 50));
            view.attempt = 0;
            showPage(view);
            return;
        }
        // A single row taller than a page: as printed.
    }
    chunk.pages.push_back(pdf);
    emit pagePrinted(++m_printedPages);
    ++view.page;
    view.attempt = 0;
    showPage(view);
}

void PagedPdfPrinter::printWhole(View& view, double height)
{
    view.state = View::State::Printing;
    view.wholeHeight = height;
    view.web->print(pageLayout(pageSizeFor(view.width, height, view.attempt)), [this, &view](
                                                                                   const QByteArray& pdf) {
        const std::optional<int> count = printedPageCount(pdf);
        if (!count)
            return;
        if (*count > 1 && pageSizeFor(view.width, view.wholeHeight, view.attempt).height() < kMaxPageHeight) {
            ++view.attempt;
            printWhole(view, view.wholeHeight);
            return;
        }
        emit pagePrinted(++m_printedPages);
        finishJoined({pdf});
    });
}

std::optional<int> PagedPdfPrinter::printedPageCount(const QByteArray& pdf)
{
    if (!m_running)
        return std::nullopt;
    const std::optional<int> count = pdf.isEmpty() ? std::nullopt : PdfPageJoiner::pageCount(pdf);
    if (!count || *count < 1) {
        fail(u"the web engine printed nothing readable"_s);
        return std::nullopt;
    }
    return count;
}

void PagedPdfPrinter::finishJoined(std::vector<QByteArray> pages)
{
    PdfPageJoiner joiner;
    joiner.setDocumentInfo(m_info);
    for (QByteArray& page : pages) {
        if (!joiner.append(std::move(page))) {
            fail(joiner.error());
            return;
        }
    }
    const auto joined = joiner.join();
    if (!joined) {
        fail(joiner.error());
        return;
    }
    m_running = false;
    m_parts = {};
    emit finished(*joined, QString());
}

void PagedPdfPrinter::fail(const QString& why)
{
    if (!m_running)
        return;
    m_running = false;
    stopTable();
    m_parts = {};
    emit finished(QByteArray(), why);
}

} // namespace cv
