// The file explorer: its rows, tri-state checkboxes, the excludes they make and the summary.
#include "TempDir.h"
#include "app/explorer/ExplorerFileCell.h"
#include "app/explorer/ExplorerFileListController.h"
#include "app/explorer/ExplorerViewController.h"
#include "common/ByteCountFormatter.h"
#include "targets/PathCollectionFactory.h"
#include "targets/TreeItem.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

// root/{a.txt 10, b.jpg 20, sub/{c.txt 30, deep/{d.txt 40}}} and a second root other/e.txt 50.
struct ExplorerHarness
{
    TempDir dir;
    std::string root;
    std::shared_ptr<PathCollection> dismissedWith;

    ExplorerHarness()
    {
        root = dir / "root";
        makeDir(root);
        writeFile(root + "/a.txt", std::string(10, 'a'));
        writeFile(root + "/b.jpg", std::string(20, 'b'));
        makeDir(root + "/sub");
        writeFile(root + "/sub/c.txt", std::string(30, 'c'));
        makeDir(root + "/sub/deep");
        writeFile(root + "/sub/deep/d.txt", std::string(40, 'd'));
        makeDir(dir / "other");
        writeFile(dir / "other/e.txt", std::string(50, 'e'));
    }

    std::shared_ptr<PathCollection> scan(const std::vector<std::string>& paths) const
    {
        return PathCollectionFactory().createPathCollection(paths);
    }
};

std::vector<std::string> rowPaths(const ExplorerFileListController& list)
{
    std::vector<std::string> paths;
    for (const TreeItem* item : list.source())
        paths.push_back(item->path());
    return paths;
}

std::int64_t rowOf(const ExplorerFileListController& list, const std::string& path)
{
    const auto& source = list.source();
    const auto it = std::find_if(source.begin(), source.end(),
                                 [&](const TreeItem* item) { return item->path() == path; });
    return it == source.end() ? -1 : it - source.begin();
}

Qt::CheckState stateOf(const ExplorerFileListController& list, const std::string& path)
{
    const std::int64_t row = rowOf(list, path);
    EXPECT_GE(row, 0) << path << " is not listed";
    return row < 0 ? Qt::Unchecked
                   : ExplorerFileCell::checkState(*list.source()[static_cast<std::size_t>(row)]);
}

bool contains(const std::vector<std::string>& list, const std::string& path)
{
    return std::find(list.begin(), list.end(), path) != list.end();
}

} // namespace

TEST(Explorer, OneFolderOpensWithItsEntriesAndSeveralPathsListOnlyTheRoots)
{
    ExplorerHarness h;
    {
        ExplorerFileListController list;
        list.setPathCollection(h.scan({h.root}));
        const auto rows = rowPaths(list);
        EXPECT_EQ(rows,
                  (std::vector<std::string>{h.root, h.root + "/a.txt", h.root + "/b.jpg", h.root + "/sub"}));
        EXPECT_TRUE(list.source()[0]->openFolder());
        EXPECT_EQ(list.tableView()->model()->rowCount(), 4);
    }
    {
        ExplorerFileListController list;
        list.setPathCollection(h.scan({h.root, h.dir / "other"}));
        EXPECT_EQ(rowPaths(list), (std::vector<std::string>{h.dir / "other", h.root})) << "by name";
        EXPECT_FALSE(list.source()[0]->openFolder());
    }
}

TEST(Explorer, FoldersOpenAndCloseInPlace)
{
    ExplorerHarness h;
    ExplorerFileListController list;
    list.setPathCollection(h.scan({h.root}));
    const std::int64_t sub = rowOf(list, h.root + "/sub");
    const TreeItem& subItem = *list.source()[static_cast<std::size_t>(sub)];
    EXPECT_TRUE(ExplorerFileCell::hasFolderButton(subItem));

    list.fileCellFolderButtonToggle(sub, true);
    ASSERT_EQ(list.source().size(), 6u);
    const std::int64_t deep = rowOf(list, h.root + "/sub/deep");
    EXPECT_GT(deep, sub);
    EXPECT_GT(rowOf(list, h.root + "/sub/c.txt"), sub);
    const TreeItem& deepItem = *list.source()[static_cast<std::size_t>(deep)];
    EXPECT_FALSE(ExplorerFileCell::hasFolderButton(deepItem)) << "level-2 folders have no children to show";
    EXPECT_EQ(deepItem.totalSize(), 40) << "a level-2 folder shows its whole content's size";

    // Closing the root while its subfolder is open takes the subfolder's rows as well.
    list.fileCellFolderButtonToggle(0, false);
    EXPECT_EQ(rowPaths(list), std::vector<std::string>{h.root});
    EXPECT_EQ(list.tableView()->model()->rowCount(), 1);
    // Reopening shows the direct children, closed.
    list.fileCellFolderButtonToggle(0, true);
    EXPECT_EQ(list.source().size(), 4u);
    EXPECT_FALSE(list.source()[static_cast<std::size_t>(rowOf(list, h.root + "/sub"))]->openFolder());
}

TEST(Explorer, UntickingAndTickingKeepExcludesAndSummaryInStep)
{
    ExplorerHarness h;
    ExplorerViewController explorer(h.scan({h.root}));
    QObject::connect(&explorer, &ExplorerViewController::dismissed,
                     [&h](std::shared_ptr<PathCollection> collection) { h.dismissedWith = collection; });
    ExplorerFileListController& list = *explorer.fileListController();
    const auto collection = explorer.pathCollection();
    const auto summary = [&] { return explorer.findChild<QLabel*>(u"summaryLabel"_s)->text(); };
    const auto selected = [](std::int64_t size, int files) {
        return u"Selected %1 (%2 %3)"_s.arg(QString::fromStdString(formatByteCount(size)))
            .arg(files)
            .arg(files == 1 ? u"file"_s : u"files"_s);
    };
    EXPECT_EQ(summary(), selected(100, 4));
    EXPECT_EQ(stateOf(list, h.root), Qt::Checked);

    // Unticking a level-1 folder: the folder and everything below it leave the selection.
    const std::string sub = h.root + "/sub";
    list.fileCellSelectToggle(rowOf(list, sub), false);
    EXPECT_EQ(stateOf(list, sub), Qt::Unchecked);
    EXPECT_EQ(stateOf(list, h.root), Qt::PartiallyChecked);
    EXPECT_TRUE(contains(collection->excludes(), sub));
    EXPECT_EQ(summary(), selected(30, 2)) << "the folder's whole size and file count drop out";

    // Ticking one file inside the unticked folder: the folder becomes mixed and its own path
    // leaves the excludes, while its other unticked entries stay in them.
    list.fileCellFolderButtonToggle(rowOf(list, sub), true);
    EXPECT_EQ(stateOf(list, h.root + "/sub/c.txt"), Qt::Unchecked);
    list.fileCellSelectToggle(rowOf(list, h.root + "/sub/c.txt"), true);
    EXPECT_EQ(stateOf(list, sub), Qt::PartiallyChecked);
    EXPECT_EQ(stateOf(list, h.root + "/sub/c.txt"), Qt::Checked);
    EXPECT_FALSE(contains(collection->excludes(), sub));
    EXPECT_TRUE(contains(collection->excludes(), h.root + "/sub/deep"));
    EXPECT_FALSE(contains(collection->excludes(), h.root + "/sub/c.txt"));
    EXPECT_EQ(summary(), selected(60, 3));

    // Ticking the last unticked entry too: the folder reads as ticked although it was unticked.
    list.fileCellSelectToggle(rowOf(list, h.root + "/sub/deep"), true);
    EXPECT_EQ(stateOf(list, sub), Qt::Checked);
    EXPECT_TRUE(collection->excludes().empty());
    EXPECT_EQ(summary(), selected(100, 4));

    // The back control hands the same collection, with its excludes, to the shred screen.
    list.fileCellSelectToggle(rowOf(list, h.root + "/a.txt"), false);
    explorer.dismiss();
    EXPECT_EQ(h.dismissedWith, collection);
    EXPECT_EQ(h.dismissedWith->excludes(), std::vector<std::string>{h.root + "/a.txt"});
}

TEST(Explorer, AClickOnAMixedCheckboxTicksTheWholeSubtree)
{
    ExplorerHarness h;
    ExplorerViewController explorer(h.scan({h.root}));
    explorer.resize(840, 507);
    explorer.show();
    ExplorerFileListController& list = *explorer.fileListController();
    list.fileCellSelectToggle(rowOf(list, h.root + "/a.txt"), false);
    ASSERT_EQ(stateOf(list, h.root), Qt::PartiallyChecked);

    // A real click on the root row's checkbox.
    QListView* view = list.tableView();
    const QRect row = view->visualRect(view->model()->index(0, 0));
    const QPoint box(row.left() + ExplorerFileCell::leftMargin(0) + 8, row.center().y());
    ASSERT_EQ(ExplorerFileCell::partAt(*list.source()[0], row, box, false),
              ExplorerFileCell::Part::SelectedButton);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(stateOf(list, h.root), Qt::Checked);
    EXPECT_EQ(stateOf(list, h.root + "/a.txt"), Qt::Checked);
    EXPECT_TRUE(explorer.pathCollection()->excludes().empty());

    // And on a ticked one: it unticks.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(stateOf(list, h.root), Qt::Unchecked);
    EXPECT_TRUE(contains(explorer.pathCollection()->excludes(), h.root));

    // Space on the current row ticks it again.
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(stateOf(list, h.root), Qt::Checked);
}

TEST(Explorer, RescanningKeepsTheUntickedEntriesOutOfTheTotals)
{
    ExplorerHarness h;
    auto collection = h.scan({h.root});
    ExplorerFileListController list;
    list.setPathCollection(collection);
    list.fileCellSelectToggle(rowOf(list, h.root + "/sub"), false);
    PathCollectionFactory().updatePathCollection(*collection);
    EXPECT_EQ(collection->totalSize(), 30);
    EXPECT_EQ(collection->fileCount(), 2u);
    // The new trees know the unticked folder again.
    list.setPathCollection(collection);
    EXPECT_EQ(stateOf(list, h.root + "/sub"), Qt::Unchecked);
    EXPECT_EQ(stateOf(list, h.root), Qt::PartiallyChecked);
}

TEST(Explorer, ALongListKeepsItsSizeColumnInsideTheView)
{
    TempDir dir;
    const std::string folder = dir / "many";
    makeDir(folder);
    for (int i = 0; i < 300; ++i)
        writeFile(folder + "/file_" + std::to_string(i) + ".txt", std::string(1000 + i, 'x'));
    ExplorerViewController explorer(PathCollectionFactory().createPathCollection({folder}));
    explorer.resize(840, 507);
    explorer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&explorer));
    QListView* view = explorer.fileListController()->tableView();
    // The list is laid out from the event loop once its rows are in.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->verticalScrollBar()->isVisible(); }, 60000))
        << "301 rows need a vertical scroll bar";
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    // Every row ends inside the viewport, so that its size column (drawn right-aligned) shows.
    for (const int row : {0, 1, 150, 300}) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        EXPECT_LE(rect.right(), view->viewport()->width() - 1) << "row " << row;
        EXPECT_GE(rect.width(), view->viewport()->width() - 1) << "row " << row;
    }
    // A row elides a long name; its tip is the whole path.
    const QString tip = view->model()->index(1, 0).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith(QString::fromStdString(folder + "/file_"))) << tip.toStdString();
}

TEST(Explorer, RowsAreSortedByNameAsAFileManagerSortsThem)
{
    TempDir dir;
    const std::string root = dir / "root";
    makeDir(root);
    for (const char* name : {"b10.txt", "zeta", "B2.txt", "a.txt"})
        writeFile(root + "/" + name, std::string(1, 'x'));
    makeDir(root + "/m");
    for (const char* name : {"y", "x"})
        writeFile(root + "/m/" + name, std::string(1, 'x'));
    ExplorerFileListController list;
    list.setPathCollection(PathCollectionFactory().createPathCollection({root}));
    EXPECT_EQ(rowPaths(list), (std::vector<std::string>{root, root + "/a.txt", root + "/B2.txt",
                                                        root + "/b10.txt", root + "/m", root + "/zeta"}))
        << "case aside, numbers by their value";
    list.fileCellFolderButtonToggle(rowOf(list, root + "/m"), true);
    EXPECT_EQ(rowOf(list, root + "/m/x"), rowOf(list, root + "/m") + 1) << "an opened folder's rows too";
    EXPECT_EQ(rowOf(list, root + "/m/y"), rowOf(list, root + "/m") + 2);
}

TEST(Explorer, PreviewAndRevealSayWhenNothingCouldOpenTheFile)
{
    ExplorerHarness h;
    ExplorerFileListController list;
    list.setPathCollection(h.scan({h.root}));
    list.show();
    const auto alert = [&list]() -> QMessageBox* {
        for (auto* box : list.findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    };
    std::vector<QUrl> opened;
    list.setOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    list.fileCellShowPreview(rowOf(list, h.root + "/b.jpg"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().toLocalFile(), QString::fromStdString(h.root + "/b.jpg"));
    EXPECT_EQ(alert(), nullptr) << "a viewer opened it: nothing to say";

    list.setOpener([](const QUrl&) { return false; });
    list.fileCellShowPreview(rowOf(list, h.root + "/b.jpg"));
    QMessageBox* noViewer = alert();
    ASSERT_NE(noViewer, nullptr) << "Preview with no viewer says so";
    EXPECT_EQ(noViewer->text(), u"No application could open the file."_s);
    EXPECT_EQ(noViewer->informativeText(), QString::fromStdString(h.root + "/b.jpg"));
    noViewer->accept();
    QApplication::processEvents();

    // No file manager on the bus and none to open the folder with.
    list.fileCellShowInFinder(rowOf(list, h.root + "/a.txt"));
    QMessageBox* noFileManager = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (noFileManager = alert()) != nullptr; }, 10000))
        << "Reveal with no file manager says so";
    if (noFileManager) {
        EXPECT_EQ(noFileManager->text(), u"No file manager could show the file."_s);
    }
}

} // namespace cv::test
