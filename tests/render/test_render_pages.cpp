// Taking a report apart into its document and rows, planning page breaks between rows, drawing
// table pages without the web engine, and joining PDF pages of different sizes.
#include "render/PdfPageJoiner.h"
#include "render/ReportHtmlParts.h"
#include "render/ReportPagePlan.h"
#include "render/ReportTablePages.h"
#include "render/ReportTableStyle.h"

#include "ProcessRunner.h"
#include "TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

using cv::PdfPageJoiner;
using cv::ReportHtmlParts;
using cv::ReportPagePlan;
using namespace Qt::StringLiterals;

namespace {

// A chunk of rows of the given heights, the first beginning at top; 30 pixels of table header on
// a continuation page, 20 below the last row, end more with the report's end.
ReportPagePlan::Measures chunk(const std::vector<double>& heights, double top, bool starts, bool ends,
                               double end = 30)
{
    ReportPagePlan::Measures measures;
    measures.rowsTop = top;
    measures.continuationTop = 30;
    double bottom = top;
    for (const double height : heights) {
        bottom += height;
        measures.bottoms.push_back(bottom);
    }
    measures.below = 20;
    measures.belowWithEnd = 20 + end;
    measures.startsReport = starts;
    measures.endsReport = ends;
    return measures;
}

// Every page holds the rows after the one before it, in order; every page but one with a single
// row too tall for any page stays within budget; the report's end stands on the last page only.
void expectSound(const ReportPagePlan& plan, double budget, qsizetype rows)
{
    qsizetype next = 0;
    for (std::size_t i = 0; i < plan.pages().size(); ++i) {
        const auto& page = plan.pages()[i];
        EXPECT_EQ(page.from, next) << "page " << i;
        EXPECT_GE(page.to, page.from) << "page " << i;
        if (page.to - page.from > 1) {
            EXPECT_LE(plan.contentHeight(page), budget) << "page " << i;
        }
        EXPECT_EQ(page.endsReport, plan.endsReport() && i + 1 == plan.pages().size()) << "page " << i;
        next = page.to;
    }
    EXPECT_EQ(plan.rowsTaken(), next);
    if (plan.endsReport()) {
        EXPECT_EQ(next, rows);
    }
}

// A PDF of one page per size, written by Qt, with a line of text on each.
QByteArray makePdf(const std::vector<QSizeF>& sizes)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(sizes.front(), QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter painter(&writer);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(sizes[i], QPageSize::Point, QString(), QPageSize::ExactMatch));
            writer.newPage();
        }
        painter.drawText(QPointF(20, 40), u"page %1"_s.arg(i));
    }
    painter.end();
    return pdf;
}

// The look of a four-column table as the page script describes it: rows 20 pixels high below a
// header of 30 at the top, the first one 1 pixel shorter, 20 pixels below the last row.
QByteArray tableLook()
{
    const auto cell = [](int left, int width, const char* align, bool wraps) {
        return QJsonObject{{u"left"_s, left},
                           {u"width"_s, width},
                           {u"padLeft"_s, 6},
                           {u"padRight"_s, 6},
                           {u"textTop"_s, 3},
                           {u"align"_s, QString::fromLatin1(align)},
                           {u"wraps"_s, wraps},
                           {u"color"_s, u"rgb(43, 52, 64)"_s},
                           {u"background"_s, u"rgba(0, 0, 0, 0)"_s},
                           {u"family"_s, u"\"DejaVu Sans\", sans-serif"_s},
                           {u"size"_s, 11},
                           {u"weight"_s, 400},
                           {u"lineHeight"_s, 15},
                           {u"border"_s, 1},
                           {u"borderColor"_s, u"rgb(230, 234, 239)"_s}};
    };
    const QJsonArray cells{cell(200, 50, "right", false), cell(250, 400, "left", true),
                           cell(650, 80, "right", false), cell(730, 130, "left", true)};
    const QJsonObject row{{u"height"_s, 20}, {u"cells"_s, cells}};
    QJsonObject header = row;
    header.insert(u"top"_s, 0);
    header.insert(u"height"_s, 30);
    header.insert(u"texts"_s, QJsonArray{u"#"_s, u"File"_s, u"Size"_s, u"Result"_s});
    const QJsonObject look{
        {u"header"_s, header},
        {u"rows"_s, QJsonObject{{QString(), QJsonArray{row, row}}, {u"error"_s, QJsonArray{row, row}}}},
        {u"rowsTop"_s, 30},
        {u"below"_s, 20},
        {u"firstShorter"_s, 1}};
    return QJsonDocument(look).toJson();
}

// A report's HTML with a file table of the given rows.
ReportHtmlParts tableOf(const std::vector<QByteArray>& rows)
{
    QByteArray html = "<html><body><table class=\"files\"><thead><tr><th>#</th></tr></thead><tbody>";
    for (const QByteArray& row : rows)
        html += row;
    return ReportHtmlParts::split(html + "</tbody></table></body></html>");
}

QByteArray fileRow(int number, const QByteArray& name, bool failed = false)
{
    return (failed ? "<tr class=\"error\"><td>" : "<tr class=\"\"><td>") + QByteArray::number(number) +
           "</td><td>" + name + "</td><td>1 KB</td><td>" + (failed ? "Failed to open file" : "Deleted") +
           "</td></tr>";
}

} // namespace

TEST(ReportHtmlParts, ReadsPlainRowsAsTheReaderSeesThem)
{
    const auto row = ReportHtmlParts::plainRow(
        "<tr class=\"error\"><td>7</td><td>  /a/&lt;b&gt; &amp;\n\t c&#39;d&#x41;  </td><td></td></tr>");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->rowClass, u"error"_s);
    EXPECT_EQ(row->cells, QStringList({u"7"_s, u"/a/<b> & c'dA"_s, QString()}));
    const auto bare = ReportHtmlParts::plainRow("<tr><td>1</td> <td>caf\xc3\xa9</td></tr>");
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->rowClass.isEmpty());
    EXPECT_EQ(bare->cells, QStringList({u"1"_s, u"caf\u00e9"_s}));

    for (const QByteArray& other :
         {QByteArray("<tr><td></td><td colspan=\"4\">dismissed</td></tr>"),
          QByteArray("<tr class=\"\"><td>1</td><td><b>bold</b></td></tr>"),
          QByteArray("<tr style=\"x\"><td>1</td></tr>"),
          QByteArray("<tr class=\"\"><td>1</td><th>2</th></tr>"), QByteArray("<tr class=\"\"><td>1</td>")})
        EXPECT_FALSE(ReportHtmlParts::plainRow(other)) << other.toStdString();

    const ReportHtmlParts parts =
        tableOf({fileRow(1, "/a"), fileRow(2, "/b", true), "<tr><td>x</td></tr>", fileRow(4, "/d")});
    EXPECT_EQ(parts.rowClasses(8), QStringList({QString(), u"error"_s}));
    EXPECT_EQ(parts.rowClasses(1), QStringList({QString()}));
}

TEST(ReportTablePages, DrawsFullPagesOfWholeRowsInOrderAndLeavesTheRest)
{
    // A budget of 250 pixels a page: 30 above the rows and 20 below leave room for 10 rows of 20
    // (the first is 1 shorter); a name too long for its column wraps onto 2 more lines of 15.
    const auto style = cv::ReportTableStyle::fromJson(tableLook(), 1100);
    ASSERT_TRUE(style);
    const QByteArray longName = "/data/" + QByteArray("long folder name ").repeated(8) + "file_13.txt";
    std::vector<QByteArray> rows;
    for (int i = 1; i <= 85; ++i)
        rows.push_back(
            fileRow(i, i == 13 ? longName : "/data/file_" + QByteArray::number(i) + ".txt", i % 7 == 0));
    const cv::ReportTablePages drawer(*style, QSizeF(825, 200), 250);
    const std::atomic<bool> stop = false;
    std::vector<int> beats;
    const auto drawn = drawer.draw(tableOf(rows), 2, stop, [&](int pages) { beats.push_back(pages); });

    // From row 3: 10 rows, then 8 with the wrapped one (30 more), then 10 a page; the 5 rows left
    // do not fill a page and are not drawn. The pages come in more than one PDF (drawn side by
    // side), which joined hold them in order.
    EXPECT_EQ(drawn.pages, 8);
    EXPECT_EQ(drawn.rows, 78);
    EXPECT_EQ(beats, std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_GT(drawn.pdfs.size(), 1u);
    PdfPageJoiner joiner;
    for (const QByteArray& pdf : drawn.pdfs)
        ASSERT_TRUE(joiner.append(pdf));
    const auto joined = joiner.join();
    ASSERT_TRUE(joined);
    ASSERT_EQ(PdfPageJoiner::pageCount(*joined), 8);
    EXPECT_EQ(PdfPageJoiner::pageSizes(*joined)[7], QSizeF(825, 200));

    cv::test::TempDir dir;
    QFile file(QString::fromStdString(dir / "pages.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(*joined) == joined->size());
    file.close();
    int next = 3;
    for (int page = 1; page <= 8; ++page) {
        const QString text =
            QString::fromStdString(cv::test::runProcess({"pdftotext", "-raw", "-f", std::to_string(page),
                                                         "-l", std::to_string(page), dir / "pages.pdf", "-"})
                                       .out);
        EXPECT_TRUE(text.startsWith(u"# File Size Result"_s)) << page << ": " << text.toStdString();
        const int last = page == 1 ? 12 : page == 2 ? 20 : 20 + (page - 2) * 10;
        QList<int> numbers;
        QList<int> want;
        int failed = 0;
        for (auto it = QRegularExpression(u"file_(\\d+)\\.txt"_s).globalMatch(text); it.hasNext();)
            numbers.append(it.next().captured(1).toInt());
        for (; next <= last; ++next) {
            want.append(next);
            failed += next % 7 == 0 ? 1 : 0;
        }
        EXPECT_EQ(numbers, want) << "page " << page << ": " << text.toStdString();
        EXPECT_EQ(text.count(u"Failed to open file"_s), failed) << "page " << page;
    }

    // Drawing stops before a row it cannot draw as the table draws it, keeping only full pages.
    rows[25] = "<tr><td></td><td colspan=\"4\">Remaining entries are dismissed</td></tr>";
    EXPECT_EQ(drawer.draw(tableOf(rows), 2, stop, [](int) {}).rows, 18);
    rows[25] = fileRow(26, "/data/file_26.txt");
    rows[3] = "<tr class=\"unknown\"><td>4</td><td>/d</td><td>1 KB</td><td>Deleted</td></tr>";
    const auto none = drawer.draw(tableOf(rows), 2, stop, [](int) {});
    EXPECT_EQ(none.rows, 0) << "a kind of row of no known look";
    EXPECT_TRUE(none.pdfs.empty());
}

TEST(ReportHtmlParts, TakesTheFileTableRowsOutOfTheDocument)
{
    const QByteArray html =
        "<html><body><table class=\"facts\"><tr><td>a</td></tr></table>"
        "<table class=\"files\"><thead><tr><th>#</th></tr></thead><tbody>"
        "<tr class=\"\"><td>1</td><td>/a/&lt;/tr&gt;&lt;tr&gt;.txt</td></tr>"
        "<tr class=\"error\"><td>2</td><td>/b</td></tr>\n"
        "<tr><td></td><td colspan=\"4\">more</td></tr></tbody></table><footer>end</footer></body></html>";
    const ReportHtmlParts parts = ReportHtmlParts::split(html);
    ASSERT_TRUE(parts.hasFileTable());
    ASSERT_EQ(parts.rowCount(), 3);
    EXPECT_EQ(parts.rows(0, 1), "<tr class=\"\"><td>1</td><td>/a/&lt;/tr&gt;&lt;tr&gt;.txt</td></tr>");
    EXPECT_EQ(parts.rows(1, 2), "<tr class=\"error\"><td>2</td><td>/b</td></tr>\n"
                                "<tr><td></td><td colspan=\"4\">more</td></tr>");
    EXPECT_TRUE(parts.rows(2, 2).isEmpty()) << "beyond the last row";
    EXPECT_EQ(parts.document(),
              "<html><body><table class=\"facts\"><tr><td>a</td></tr></table>"
              "<table class=\"files\"><thead><tr><th>#</th></tr></thead><tbody></tbody></table>"
              "<footer>end</footer></body></html>");

    for (const QByteArray& whole :
         {QByteArray("<html><body><p>no table</p></body></html>"),
          QByteArray("<table class=\"files\"><tbody><tr><td>1</td>"),
          QByteArray("<table class=\"files\"><thead></thead></table><table><tbody></tbody></table>")}) {
        const ReportHtmlParts kept = ReportHtmlParts::split(whole);
        EXPECT_FALSE(kept.hasFileTable()) << whole.toStdString();
        EXPECT_EQ(kept.document(), whole);
        EXPECT_EQ(kept.rowCount(), 0);
    }
}

TEST(ReportPagePlan, BreaksBetweenRowsWithinTheBudget)
{
    const double budget = 100;
    {
        SCOPED_TRACE("a report that fits the largest page stays on one, though over the budget");
        const ReportPagePlan plan(chunk({10, 10}, 15, true, true, 70), budget, 130);
        ASSERT_EQ(plan.pages().size(), 1u);
        EXPECT_TRUE(plan.endsReport());
        EXPECT_EQ(plan.contentHeight(plan.pages()[0]), 125);
    }
    {
        SCOPED_TRACE("rows of 10: the first page below the head, then pages below the table's header");
        const ReportPagePlan plan(chunk(std::vector<double>(18, 10), 40, true, true), budget, budget);
        expectSound(plan, budget, 18);
        ASSERT_EQ(plan.pages().size(), 5u);
        EXPECT_EQ(plan.pages()[0].to, 4); // 40 + 4 * 10 + 20
        EXPECT_EQ(plan.pages()[1].to, 9); // 30 + 5 * 10 + 20
        EXPECT_EQ(plan.pages()[2].to, 14);
        // The last 4 rows fit, but not with the end: the last row goes with it.
        EXPECT_EQ(plan.pages()[3].to, 17);
        EXPECT_EQ(plan.pages()[4].from, 17);
        EXPECT_EQ(plan.contentHeight(plan.pages()[4]), 30 + 10 + 50);
    }
    {
        SCOPED_TRACE("the end needs a page of its own: the last row goes with it");
        const ReportPagePlan plan(chunk(std::vector<double>(5, 10), 30, false, true, 60), budget, budget);
        expectSound(plan, budget, 5);
        ASSERT_EQ(plan.pages().size(), 2u);
        EXPECT_EQ(plan.pages()[1].from, 4);
        EXPECT_EQ(plan.pages()[1].to, 5);
    }
    {
        SCOPED_TRACE("a chunk that ends before the report keeps only full pages; a short one needs more");
        const ReportPagePlan plan(chunk(std::vector<double>(12, 10), 30, false, false), budget, budget);
        expectSound(plan, budget, 12);
        ASSERT_EQ(plan.pages().size(), 2u);
        EXPECT_EQ(plan.rowsTaken(), 10);
        EXPECT_FALSE(plan.endsReport());
        EXPECT_TRUE(ReportPagePlan(chunk({10, 10}, 30, false, false), budget, budget).needsMoreRows());
    }
    {
        SCOPED_TRACE("a row taller than a page gets one of its own");
        const ReportPagePlan plan(chunk({10, 500, 10}, 30, false, true), budget, budget);
        expectSound(plan, budget, 3);
        ASSERT_EQ(plan.pages().size(), 3u);
        EXPECT_EQ(plan.pages()[1].from, 1);
        EXPECT_EQ(plan.pages()[1].to, 2);
    }
    {
        SCOPED_TRACE("no rows at all: one page with the end");
        const ReportPagePlan plan(chunk({}, 30, true, true), budget, budget);
        ASSERT_EQ(plan.pages().size(), 1u);
        EXPECT_TRUE(plan.pages()[0].endsReport);
    }
    {
        SCOPED_TRACE("rows of any height that leaves room for the end beside one");
        std::mt19937 random(7);
        std::uniform_int_distribution<int> height(8, 20);
        for (int round = 0; round < 200; ++round) {
            std::vector<double> heights(static_cast<std::size_t>(round % 40));
            for (double& h : heights)
                h = height(random);
            const bool ends = round % 3 != 0;
            const ReportPagePlan plan(chunk(heights, 30, round % 2 == 0, ends), budget, budget);
            expectSound(plan, budget, static_cast<qsizetype>(heights.size()));
            if (ends && !heights.empty()) {
                EXPECT_GT(plan.pages().back().to, plan.pages().back().from) << "the end stands with a row";
            }
        }
    }
}

TEST(ReportPagePlan, RowsThatComeOutTallerInPrintMoveToTheNextPage)
{
    ReportPagePlan plan(chunk(std::vector<double>(20, 10), 30, false, true, 0), 100, 100);
    ASSERT_EQ(plan.pages().size(), 4u);
    plan.moveRowsDown(1, 2);
    expectSound(plan, 1000, 20);
    EXPECT_EQ(plan.pages()[1].to, plan.pages()[2].from);
    EXPECT_EQ(plan.pages()[1].to - plan.pages()[1].from, 3);

    // From the last page: a new last page takes the rows and the report's end.
    plan.moveRowsDown(3, 2);
    expectSound(plan, 1000, 20);
    ASSERT_EQ(plan.pages().size(), 5u);
    EXPECT_FALSE(plan.pages()[3].endsReport);
    EXPECT_TRUE(plan.pages()[4].endsReport);
    EXPECT_EQ(plan.pages()[4].to - plan.pages()[4].from, 2);

    // A page keeps at least one row.
    plan.moveRowsDown(4, 10);
    EXPECT_EQ(plan.pages()[4].to - plan.pages()[4].from, 1);
}

TEST(PdfPageJoiner, JoinsPagesInOrderKeepingTheirSizes)
{
    const QByteArray first = makePdf({QSizeF(825, 14400), QSizeF(825, 14400)});
    const QByteArray second = makePdf({QSizeF(825, 700)});
    EXPECT_EQ(PdfPageJoiner::pageCount(first), 2);
    EXPECT_EQ(PdfPageJoiner::pageCount("not a pdf"), std::nullopt);

    PdfPageJoiner joiner;
    ASSERT_TRUE(joiner.append(first));
    ASSERT_TRUE(joiner.append(second));
    EXPECT_FALSE(joiner.append("%PDF-1.4 broken"));
    EXPECT_FALSE(joiner.error().isEmpty());
    const auto joined = joiner.join();
    ASSERT_TRUE(joined);
    const std::vector<QSizeF> sizes = PdfPageJoiner::pageSizes(*joined);
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0], QSizeF(825, 14400));
    EXPECT_EQ(sizes[1], QSizeF(825, 14400));
    EXPECT_EQ(sizes[2], QSizeF(825, 700));
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
