// Taking a report apart into its document and rows, planning page breaks between rows, and
// joining PDF pages of different sizes.
#include "render/PdfPageJoiner.h"
#include "render/ReportHtmlParts.h"
#include "render/ReportPagePlan.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

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

} // namespace

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
