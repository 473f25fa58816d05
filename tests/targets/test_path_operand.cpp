// Paths as the user hands them in: refused spellings, resolution through the links of their
// folders, excludes that match nothing, and targets folded into the targets that hold them.
#include "TempDir.h"
#include "TmpfsMount.h"
#include "targets/PathCollectionFactory.h"
#include "targets/PathOperand.h"

#include <gtest/gtest.h>
#include <unistd.h>

using cv::PathCollectionFactory;
using cv::PathOperand;
using cv::test::makeDir;
using cv::test::TempDir;
using cv::test::writeFile;
using Kind = PathOperand::Kind;
using Source = PathOperand::Source;

namespace {

PathOperand::Checked target(const std::string& path, Source source = Source::Desktop)
{
    return PathOperand::check(path, Kind::Target, source);
}

} // namespace

TEST(PathOperand, RefusesWhatNamesNothingOrTheParentFolder)
{
    TempDir dir;
    writeFile(dir / "file", "x");
    makeDir(dir / "d");
    for (const auto& [operand, reason] : std::vector<std::pair<std::string, std::string>>{
             {"", PathOperand::kEmptyPath},
             {"relative", PathOperand::kNotAbsolute},
             {"./" + dir.path(), PathOperand::kNotAbsolute},
             {dir / "d/..", PathOperand::kDotOrDotDot},
             {dir / "d/../", PathOperand::kDotOrDotDot},
             {dir / "d/.", PathOperand::kDotOrDotDot},
             {dir / "d/.//", PathOperand::kDotOrDotDot},
             {"/.", PathOperand::kDotOrDotDot},
             {dir / "file/", "Not a directory"},
             {dir / "file/.", "Not a directory"},
             {dir / "file/x", "Not a directory"},
             {std::string("/a\0b", 4), "a path cannot hold a NUL byte"}}) {
        const auto checked = target(operand);
        EXPECT_FALSE(checked.taken()) << operand;
        EXPECT_EQ(checked.refusal, reason) << operand;
        EXPECT_TRUE(checked.path.empty()) << operand;
    }
    // From the command line a relative path starts at the working folder; the desktop's need not
    // exist (a missing one is counted as an empty file), and "." or ".." may lead an exclude.
    const auto relative = target("missing", Source::CommandLine);
    ASSERT_TRUE(relative.taken());
    EXPECT_EQ(relative.error, ENOENT);
    EXPECT_EQ(relative.path.front(), '/');
    EXPECT_EQ(relative.path.substr(relative.path.rfind('/')), "/missing");
    EXPECT_TRUE(target(dir / "missing").taken());
    const auto exclude = PathOperand::check(dir / "d/.", Kind::Exclude, Source::Desktop);
    EXPECT_TRUE(exclude.exists());
    EXPECT_EQ(exclude.path, dir / "d");
}

TEST(PathOperand, ResolvesTheLinksOfTheFoldersButNeverTheLastComponent)
{
    TempDir dir;
    makeDir(dir / "real");
    makeDir(dir / "real/sub");
    writeFile(dir / "real/sub/f", "f");
    ASSERT_EQ(::symlink("real", (dir / "lnk").c_str()), 0);
    ASSERT_EQ(::symlink("sub", (dir / "real/sublink").c_str()), 0);
    for (const auto& [operand, resolved] : std::vector<std::pair<std::string, std::string>>{
             {dir / "lnk/sub/f", dir / "real/sub/f"},
             {dir / "lnk//sub/", dir / "real/sub"},
             {dir / "real/x/../sub", dir / "real/x/../sub"}, // a missing folder: given back as written
             {dir / "lnk/sub/../sub/./f", dir / "real/sub/f"},
             {dir / "lnk", dir / "lnk"},  // a link stays a link
             {dir / "lnk/", dir / "lnk"}, // also with a trailing slash
             {dir / "lnk/sublink", dir / "real/sublink"}}) {
        const auto checked = target(operand);
        ASSERT_TRUE(checked.taken()) << operand << ": " << checked.refusal;
        EXPECT_EQ(checked.path, resolved) << operand;
    }
    EXPECT_TRUE(S_ISLNK(target(dir / "lnk/").info.st_mode));

    // An exclude must exist and meet a target: at, below or above it.
    const std::vector<std::string> targets{dir / "real/sub"};
    const auto matches = [&](const std::string& exclude) {
        return PathOperand::excludeMatches(PathOperand::check(exclude, Kind::Exclude, Source::Desktop),
                                           targets);
    };
    EXPECT_TRUE(matches(dir / "lnk/sub/f"));
    EXPECT_TRUE(matches(dir / "real/sub"));
    EXPECT_TRUE(matches(dir.path()));
    EXPECT_FALSE(matches(dir / "real/sub/g")) << "nothing there";
    EXPECT_TRUE(matches(dir / "real"));
    EXPECT_FALSE(matches(dir / "real/sublink")) << "beside the target, not in it";
}

TEST(PathOperand, TargetsInsideOtherTargetsAreFoldedIntoThem)
{
    EXPECT_EQ(PathCollectionFactory::foldedPaths({"/t/sub", "/t", "/u", "/t/sub/f", "/t", "/tt", "/u/v"}),
              (std::vector<std::string>{"/t", "/u", "/tt"}));
    EXPECT_EQ(PathCollectionFactory::foldedPaths({"/a/b", "/a/c"}),
              (std::vector<std::string>{"/a/b", "/a/c"}));

    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    // No walk enters another mount: what lies on a mount inside a target stays a target of its own.
    TempDir dir;
    makeDir(dir / "t");
    makeDir(dir / "t/mp");
    cv::test::TmpfsMount mount(dir / "t/mp", "1m");
    ASSERT_TRUE(mount.available());
    makeDir(dir / "t/mp/in");
    EXPECT_EQ(PathCollectionFactory::foldedPaths({dir / "t", dir / "t/mp", dir / "t/mp/in", dir / "t/x"}),
              (std::vector<std::string>{dir / "t", dir / "t/mp"}));
}
