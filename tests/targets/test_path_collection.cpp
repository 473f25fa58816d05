#include "targets/PathCollection.h"

#include <gtest/gtest.h>

using cv::PathCollection;
using cv::TreeItem;

namespace {

std::unique_ptr<TreeItem> node(const std::string& path, std::uint64_t level, bool folder, std::int64_t size,
                               std::int64_t count = 0)
{
    auto item = std::make_unique<TreeItem>();
    item->setPath(path);
    item->setLevel(level);
    item->setIsFolder(folder);
    item->setIsFile(!folder);
    item->setTotalSize(size);
    item->setTotalCount(count);
    return item;
}

// F (root) / S (level 1) / x (level 2, 10 bytes), plus the collection that holds F.
struct SmallTree
{
    PathCollection collection;
    TreeItem* f = nullptr;
    TreeItem* s = nullptr;
    TreeItem* x = nullptr;

    SmallTree()
    {
        f = collection.addTreeItem(node("/F", 0, true, 10));
        s = f->addChild(node("/F/S", 1, true, 10, 1));
        x = s->addChild(node("/F/S/x", 2, false, 10));
    }
};

} // namespace

TEST(PathCollection, ResetKeepsPathsAndExcludes)
{
    SmallTree tree;
    tree.collection.setPaths({"/F"});
    tree.collection.setExcludes({"/F/S"});
    tree.collection.setTotalSize(10);
    tree.collection.setFileCount(1);
    tree.collection.resetCounts();
    EXPECT_EQ(tree.collection.totalSize(), 0);
    EXPECT_EQ(tree.collection.fileCount(), 0u);
    EXPECT_TRUE(tree.collection.trees().empty());
    EXPECT_EQ(tree.collection.excludes(), std::vector<std::string>{"/F/S"})
        << "a rescan must keep the deselections";
    EXPECT_EQ(tree.collection.paths(), std::vector<std::string>{"/F"});
}

TEST(PathCollection, SelectedFiguresFollowDeselection)
{
    {
        SmallTree tree;
        EXPECT_EQ(tree.collection.getSelectedSize(), 10) << "a root folder counts only through its children";
        EXPECT_EQ(tree.collection.getSelectedCount(), 1);
    }
    {
        SCOPED_TRACE("deselecting the subfolder takes everything below it");
        SmallTree tree;
        tree.s->setSelectionState(false);
        EXPECT_TRUE(tree.x->deselected());
        EXPECT_EQ(tree.collection.getSelectedSize(), 0);
        EXPECT_EQ(tree.collection.getSelectedCount(), 0);
        EXPECT_EQ(tree.f->getDeactivatedPaths(), (std::vector<std::string>{"/F/S", "/F/S/x"}));
    }
    {
        SCOPED_TRACE("deselecting the file alone keeps its folder selected");
        SmallTree tree;
        tree.x->setSelectionState(false);
        EXPECT_FALSE(tree.s->deselected());
        EXPECT_FALSE(tree.s->hasActiveDescendants());
        EXPECT_TRUE(tree.s->hasDeactiveDescendants());
        EXPECT_EQ(tree.f->getDeactivatedPaths(), std::vector<std::string>{"/F/S/x"});
        EXPECT_EQ(tree.collection.getSelectedSize(), 0);
    }
    {
        SCOPED_TRACE("a deselected folder that still holds selected items is not excluded itself");
        SmallTree tree;
        tree.s->setSelectionState(false);
        tree.x->setSelectionState(true);
        EXPECT_EQ(tree.f->getDeactivatedPaths(), std::vector<std::string>{});
        EXPECT_EQ(tree.collection.getSelectedSize(), 10);
    }
}

TEST(PathCollection, LevelTwoFoldersCountTheirNonEmptyContents)
{
    PathCollection collection;
    TreeItem* root = collection.addTreeItem(node("/R", 0, true, 0));
    TreeItem* level1 = root->addChild(node("/R/a", 1, true, 30, 3));
    level1->addChild(node("/R/a/deep", 2, true, 30, 3)); // three non-empty files and one empty inside
    root->addChild(node("/R/file", 1, false, 5));
    EXPECT_EQ(collection.getSelectedCount(), 4);
    EXPECT_EQ(collection.getSelectedSize(), 35) << "level-1 folder with children must not add its own total";

    level1->children()[0]->setSelectionState(false);
    EXPECT_EQ(collection.getSelectedCount(), 1);
    EXPECT_EQ(collection.getSelectedSize(), 5);
}

TEST(PathCollection, SelectedFiguresOfASingleFileRoot)
{
    PathCollection collection;
    auto file = node("/doc.txt", 0, false, 42);
    file->setIsFile(false); // a root that is a single file is not marked as file by the scan
    collection.addTreeItem(std::move(file));
    EXPECT_EQ(collection.getSelectedSize(), 42);
    EXPECT_EQ(collection.getSelectedCount(), 1);
}

TEST(TreeItem, PreviewPossibleForImageAndPdfExtensionsOnly)
{
    TreeItem item;
    for (const char* path :
         {"/a/photo.JPG", "/a/doc.Pdf", "/a/x.tiff", "/a/y.jpeg", "/a/z.gif", "/a/p.png"}) {
        item.setPath(path);
        EXPECT_TRUE(item.isPreviewPossible()) << path;
    }
    for (const char* path : {"/a/noext", "/a/pic.heic", "/a/notes.txt", "/a.jpg/file", "/a/trailing."}) {
        item.setPath(path);
        EXPECT_FALSE(item.isPreviewPossible()) << path;
    }
}
