#include "ProcessRunner.h"
#include "TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using cv::test::makeDir;
using cv::test::runProcess;
using cv::test::writeFile;

namespace {

cv::test::ProcessResult cli(std::vector<std::string> args)
{
    args.insert(args.begin(), CINDERVAULT_CLI);
    return runProcess(args);
}

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// The child of a tree item whose path ends in "/name".
QJsonObject child(const QJsonObject& item, const QString& name)
{
    for (const auto value : item[QStringLiteral("children")].toArray()) {
        if (value.toObject()[QStringLiteral("path")].toString().endsWith(QLatin1Char('/') + name))
            return value.toObject();
    }
    ADD_FAILURE() << "no child " << name.toStdString() << " in "
                  << item[QStringLiteral("path")].toString().toStdString();
    return {};
}

qint64 integer(const QJsonObject& object, const char* key)
{
    return object[QLatin1String(key)].toInteger(-1);
}

} // namespace

TEST(CliScan, UsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"scan"},
                                                                  {"scan", "--exclude", "/tmp"},
                                                                  {"scan", "--bogus", "/tmp"},
                                                                  {"scan", "/tmp", "--exclude"}}) {
        const auto run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.back() << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(CliScan, PrintsTotalsAndTheExplorerTree)
{
    cv::test::TempDir dir;
    const std::string sel = dir / "sel";
    makeDir(sel);
    writeFile(sel + "/a", std::string(5, 'a'));
    writeFile(sel + "/.b", std::string(3, 'b'));
    const std::string invalidName = "bad\xff\xfe"; // not UTF-8
    writeFile(sel + "/" + invalidName, std::string(2, 'c'));
    makeDir(sel + "/s");
    makeDir(sel + "/s/t");
    writeFile(sel + "/s/t/deep", std::string(11, 'd'));
    writeFile(sel + "/s/tt", std::string(17, 'e'));
    makeDir(dir / "outside");
    writeFile(dir / "outside/big", std::string(1000, 'o'));
    ASSERT_EQ(::symlink((dir / "outside").c_str(), (sel + "/link").c_str()), 0);
    ASSERT_EQ(::mkfifo((sel + "/fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mknod((sel + "/sock").c_str(), S_IFSOCK | 0600, 0), 0);

    // The path given with "." and a trailing slash reads like the paths below it.
    const auto run = cli({"scan", "--exclude", sel + "/s/t", dir.path() + "/./sel/"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonParseError error;
    const QJsonObject scan = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << run.out;

    EXPECT_EQ(integer(scan, "totalSize"), 5 + 3 + 2 + 17)
        << "excluded /s/t, not /s/tt; the link is not followed";
    EXPECT_EQ(integer(scan, "fileCount"), 4);
    EXPECT_EQ(integer(scan, "hiddenCount"), 1);
    EXPECT_EQ(integer(scan, "folderCount"), 1);
    EXPECT_EQ(integer(scan, "symlinkCount"), 3) << "the link, the FIFO and the socket";
    EXPECT_EQ(integer(scan, "selectedSize"), 5 + 3 + 2 + 17);
    EXPECT_EQ(integer(scan, "selectedCount"), 4);

    const QJsonArray trees = scan[QStringLiteral("trees")].toArray();
    ASSERT_EQ(trees.size(), 1);
    const QJsonObject root = trees[0].toObject();
    EXPECT_EQ(root[QStringLiteral("path")].toString(), text(sel));
    EXPECT_TRUE(root[QStringLiteral("isFolder")].toBool());
    EXPECT_FALSE(root[QStringLiteral("isVolume")].toBool());
    EXPECT_FALSE(root[QStringLiteral("deselected")].toBool());
    EXPECT_EQ(integer(root, "totalSize"), 38);
    EXPECT_EQ(root[QStringLiteral("children")].toArray().size(), 4) << "a, .b, the odd name and s";
    EXPECT_TRUE(child(root, QStringLiteral(".b"))[QStringLiteral("isHidden")].toBool());

    const QJsonObject s = child(root, QStringLiteral("s"));
    EXPECT_EQ(integer(s, "totalSize"), 28);
    EXPECT_EQ(integer(s, "totalCount"), 2);
    const QJsonObject t = child(s, QStringLiteral("t"));
    EXPECT_TRUE(t[QStringLiteral("deselected")].toBool());
    EXPECT_EQ(integer(t, "totalSize"), 11);
    EXPECT_EQ(integer(t, "totalCount"), 1);
    EXPECT_FALSE(t.contains(QStringLiteral("children"))) << "the tree ends at level 2";
    EXPECT_FALSE(child(s, QStringLiteral("tt"))[QStringLiteral("deselected")].toBool());
    EXPECT_FALSE(s.contains(QStringLiteral("pathBase64")));

    const QJsonObject odd = child(root, QStringLiteral("bad\uFFFD\uFFFD"));
    EXPECT_EQ(QByteArray::fromBase64(odd[QStringLiteral("pathBase64")].toString().toLatin1()).toStdString(),
              sel + "/" + invalidName)
        << "the exact bytes of a name that is not UTF-8";
    EXPECT_EQ(integer(odd, "totalSize"), 2);
}

TEST(CliScan, AFileCountsAsOneAndAMissingPathIsNamedAndFailsTheScan)
{
    cv::test::TempDir dir;
    writeFile(dir / "f\"q", std::string(9, 'f'));
    const auto run = cli({"scan", dir / "f\"q"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject scan = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    EXPECT_EQ(integer(scan, "fileCount"), 1);
    EXPECT_EQ(integer(scan, "totalSize"), 9);
    const QJsonArray trees = scan[QStringLiteral("trees")].toArray();
    ASSERT_EQ(trees.size(), 1);
    EXPECT_EQ(trees[0].toObject()[QStringLiteral("path")].toString(), text(dir / "f\"q")) << run.out;
    EXPECT_TRUE(trees[0].toObject()[QStringLiteral("children")].toArray().isEmpty());

    // A typo is no empty file: named like overwrite names it, and no totals at all.
    const auto failed = cli({"scan", dir / "f\"q", dir / "missing"});
    EXPECT_EQ(failed.exitCode, 1) << failed.out;
    EXPECT_EQ(failed.err, dir / "missing" + ": no such file\n");
    EXPECT_TRUE(failed.out.empty()) << failed.out;
}
