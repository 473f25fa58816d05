#include "common/PathText.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(PathText, ComponentsFoldersAndNames)
{
    for (const auto& [path, expected] :
         Cases{{"/a/b//", "/a/b"}, {"/", "/"}, {"//", "/"}, {"a/", "a"}, {"", ""}})
        EXPECT_EQ(cv::withoutTrailingSlashes(path), expected) << path;
    for (const auto& [path, expected] :
         Cases{{"/a/b/", "b"}, {"d/./", "."}, {"a", "a"}, {"/", "/"}, {"..", ".."}, {"/x/..", ".."}})
        EXPECT_EQ(cv::lastComponent(path), expected) << path;
    for (const auto& [path, parent, name] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"/a/b/", "/a", "b"}, {"/a", "/", "a"}, {"a", ".", "a"}, {"a/b", "a", "b"}}) {
        const cv::SplitPath split = cv::splitPath(path);
        EXPECT_EQ(split.parent, parent) << path;
        EXPECT_EQ(split.name, name) << path;
    }
    EXPECT_EQ(cv::joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(cv::joinPath("/", "b"), "/b") << "never \"//b\"";
    EXPECT_EQ(cv::joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(cv::joinPath("", "b"), "b");
}

TEST(PathText, NormalizedPathsAndWholeComponentComparison)
{
    for (const auto& [path, normal] : Cases{{"/a//b/./c/", "/a/b/c"},
                                            {"//", "/"},
                                            {"./a/./b", "a/b"},
                                            {"/x/../y", "/x/../y"}, // ".." needs the file system
                                            {".", "."},
                                            {"", "."}})
        EXPECT_EQ(cv::normalizedPath(path), normal) << path;

    EXPECT_TRUE(cv::isAtOrBelow("/x/ab", "/x/ab"));
    EXPECT_TRUE(cv::isAtOrBelow("/x/ab/c", "/x/ab"));
    EXPECT_FALSE(cv::isAtOrBelow("/x/abc", "/x/ab")) << "a longer name is no child";
    EXPECT_FALSE(cv::isAtOrBelow("/x", "/x/ab"));
    EXPECT_TRUE(cv::isAtOrBelow("/anything", "/"));
}
