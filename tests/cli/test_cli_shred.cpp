#include "ProcessRunner.h"
#include "TempDir.h"
#include "TmpfsMount.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace t = cv::test;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Every command runs with a home of its own: the user's settings and report folder are never
// touched. Automatic report saving is off there, except where a test turns it on.
class OwnHome : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_home = std::make_unique<t::TempDir>();
        ::setenv("HOME", m_home->path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (*m_home / ".config").c_str(), 1);
        ::unsetenv("XDG_DOCUMENTS_DIR");
        setAutoSave(false);
    }
    void TearDown() override { m_home.reset(); }

    static void setAutoSave(bool on)
    {
        const std::string folder = std::string(std::getenv("XDG_CONFIG_HOME")) + "/Ostrevane";
        ::mkdir(std::getenv("XDG_CONFIG_HOME"), 0755);
        ::mkdir(folder.c_str(), 0755);
        t::writeFile(folder + "/Cindervault.ini", std::string("[General]\nkSettingsDeletionReportAutoSave=") +
                                                      (on ? "true" : "false") + "\n");
    }

private:
    std::unique_ptr<t::TempDir> m_home;
};

const auto* const ownHome = ::testing::AddGlobalTestEnvironment(new OwnHome);

t::ProcessResult cli(std::vector<std::string> args)
{
    args.insert(args.begin(), CINDERVAULT_CLI);
    return t::runProcess(args);
}

QJsonObject parse(const std::string& out)
{
    QJsonParseError error;
    const auto document = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out;
    return document.object();
}

QJsonValue at(const QJsonValue& value, const char* key)
{
    return value.toObject().value(QLatin1String(key));
}

// Starts the command line in the background with standard output going to a file.
pid_t startCli(const std::vector<std::string>& args, const std::string& outFile)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(CINDERVAULT_CLI)};
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int waitExit(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

TEST(CliShred, ShredsATreeKeepingTheExcludedFileAndReportsAsJson)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    t::writeFile(target + "/a.txt", std::string(1000, 'a'));
    t::writeFile(target + "/sub/keep.txt", "keep");
    const std::string odd = target + "/caf\xe9.bin";
    t::writeFile(odd, "odd");

    const auto run =
        cli({"shred", "--yes", "--json", "--method", "13", "--exclude", target + "/sub/keep.txt", target});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_FALSE(at(result, "canceled").toBool());
    EXPECT_EQ(at(at(result, "method"), "id").toInt(), 13);
    EXPECT_EQ(at(at(result, "method"), "name").toString(), QStringLiteral("3 Runden: DoD 5220.22-M E"));
    EXPECT_EQ(at(result, "fileCountTotal").toInt(), 2);
    EXPECT_EQ(at(result, "bytesCountTotal").toInt(), 1003);
    EXPECT_EQ(at(result, "bytesCountFinished").toInt(), 1003);
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    const QJsonArray history = at(result, "history").toArray();
    ASSERT_EQ(history.size(), 2);
    bool sawOdd = false;
    for (const auto& entry : history) {
        const QJsonObject item = entry.toObject();
        EXPECT_TRUE(at(item, "success").toBool());
        if (item.contains(QLatin1String("pathBase64"))) {
            sawOdd = true;
            EXPECT_EQ(QByteArray::fromBase64(at(item, "pathBase64").toString().toLatin1()).toStdString(),
                      odd);
            EXPECT_TRUE(at(item, "path").toString().contains(QChar(0xFFFD)));
        }
    }
    EXPECT_TRUE(sawOdd);
    EXPECT_EQ(at(result, "paths").toArray().at(0).toString().toStdString(), target)
        << "kept: it holds the excluded file";
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"sub"});
    EXPECT_EQ(t::readFile(target + "/sub/keep.txt"), Bytes({'k', 'e', 'e', 'p'}));
}

TEST(CliShred, RefusesWithoutConfirmationAndForbiddenTargets)
{
    t::TempDir dir;
    t::writeFile(dir / "f", "data");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"shred", dir / "f"},                           // no terminal and no --yes
             {"shred", "--yes", "/"},                        // the startup volume
             {"shred", "--yes", dir / "missing"},            // nothing there
             {"shred", "--yes", "--method", "0", dir / "f"}, // the placeholder
             {"shred", "--yes", "--volume", "all", dir / "f"},
             {"wipe-free", "--yes", dir.path()}, // not a mount point
             {"wipe-free", "--yes"}}) {
        const auto run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.back() << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(t::readFile(dir / "f"), Bytes({'d', 'a', 't', 'a'}));
}

TEST(CliShred, SigtermCancelsCleanlyWithTheResult)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/big", Bytes(64 * 1048576, 7));
    const std::string out = dir / "out.json";
    const pid_t pid = startCli({"shred", "--yes", "--json", "--method", "1", dir / "T"}, out);
    // Once the first block is overwritten the job runs and a signal means cancel.
    for (int i = 0; i < 1000; ++i) {
        std::uint8_t first = 7;
        const int fd = ::open((dir / "T/big").c_str(), O_RDONLY);
        ::pread(fd, &first, 1, 0);
        ::close(fd);
        if (first != 7)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGTERM);
    EXPECT_EQ(waitExit(pid), 130);
    const Bytes text = t::readFile(out);
    const QJsonObject result = parse(std::string(text.begin(), text.end()));
    EXPECT_TRUE(at(result, "canceled").toBool());
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"big"})
        << "a cancelled job renames and deletes nothing";
    // The totals say so: the file was begun, neither overwritten in full nor removed.
    EXPECT_EQ(at(result, "fileCountFinished").toInt(), 0);
    EXPECT_EQ(at(result, "bytesCountFinished").toInt(), 0);
    EXPECT_EQ(at(result, "fileCountRemoved").toInt(), 0);
    EXPECT_EQ(at(result, "bytesCountRemoved").toInt(), 0);
}

TEST(CliShred, VolumesNeedTheirOptionAndWipeFreeLeavesNothingBehind)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::TmpfsMount mount(dir.path(), "8m");
    ASSERT_TRUE(mount.available());
    t::writeFile(dir / "existing", std::string(100000, 'e'));

    const auto refused = cli({"shred", "--yes", dir.path()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--volume"), std::string::npos) << refused.err;

    const auto wiped = cli({"wipe-free", "--yes", "--json", "--method", "15", dir.path()});
    ASSERT_EQ(wiped.exitCode, 0) << wiped.err;
    const QJsonObject result = parse(wiped.out);
    EXPECT_GT(at(result, "bytesCountTotal").toDouble(), 7e6);
    EXPECT_EQ(at(result, "fileCountTotal").toInt(), 0);
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"existing"});
    EXPECT_EQ(t::readFile(dir / "existing"), Bytes(100000, 'e'));

    // A wipe killed outright leaves its fill files; the next wipe removes them first.
    const pid_t pid = startCli({"wipe-free", "--yes", "--method", "1", dir.path()}, dir.path() + "-out");
    for (int i = 0; i < 200 && t::listNames(dir.path()).size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGKILL);
    waitExit(pid);
    ::unlink((dir.path() + "-out").c_str());
    EXPECT_GT(t::listNames(dir.path()).size(), 1u) << "the killed wipe left a fill file";
    const auto again = cli({"wipe-free", "--yes", "--method", "16", dir.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"existing"});

    const auto deleted = cli({"shred", "--yes", "--volume", "delete", dir.path()});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_TRUE(t::listNames(dir.path()).empty()) << "all files of the volume are gone";
    EXPECT_TRUE(t::exists(dir.path())) << "the mount point stays";
}

TEST(CliShred, DotDotInTargetsAndExcludesNamesWhatTheFileSystemNames)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    t::writeFile(target + "/gone", "gone");
    t::writeFile(target + "/sub/keep.txt", "keep");
    const auto run =
        cli({"shred", "--yes", "--method", "16", "--exclude", target + "/sub/../sub/keep.txt", target});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(t::readFile(target + "/sub/keep.txt"), Bytes({'k', 'e', 'e', 'p'}))
        << "the excluded file was shredded";
    EXPECT_FALSE(t::exists(target + "/gone"));

    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    const std::string volume = dir / "V";
    t::makeDir(volume);
    t::TmpfsMount mount(volume, "1m");
    ASSERT_TRUE(mount.available());
    t::makeDir(volume + "/sub");
    t::writeFile(volume + "/data", "data");
    // A volume named through ".." is still a volume: refused without --volume, as "/" would be.
    const auto refused = cli({"shred", "--yes", volume + "/sub/.."});
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_NE(refused.err.find("--volume"), std::string::npos) << refused.err;
    EXPECT_EQ(t::readFile(volume + "/data"), Bytes({'d', 'a', 't', 'a'}));
}

TEST(CliShred, AFileThatCannotBeOverwrittenMakesExitStatusOne)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::TmpfsMount mount(dir.path(), "256k");
    ASSERT_TRUE(mount.available());
    t::makeDir(dir / "T");
    const std::string sparse = dir / "T/sparse";
    const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(fd, 4000000), 0);
    ::close(fd);
    t::writeFile(dir / "T/small", "small");
    const auto run = cli({"shred", "--yes", "--json", dir / "T"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(at(result, "errorCount").toInt(), 1);
    EXPECT_EQ(at(result, "fileCountRemoved").toInt(), 1);
    bool sawFailure = false;
    for (const auto& item : at(result, "history").toArray()) {
        if (!at(item, "success").toBool()) {
            sawFailure = true;
            EXPECT_EQ(at(item, "error").toString(), QStringLiteral("Failed to write file"));
        }
    }
    EXPECT_TRUE(sawFailure);
    // Deleted, it would leave its content on the device while the user believes it destroyed.
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"T"}) << "its folder keeps its name";
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"sparse"});
}

TEST(CliShred, HardLinksAreShreddedOnlyWithEveryName)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::makeDir(dir / "elsewhere");
    t::writeFile(dir / "T/linked", "shown elsewhere too");
    ASSERT_EQ(::link((dir / "T/linked").c_str(), (dir / "elsewhere/linked").c_str()), 0);
    t::writeFile(dir / "T/both", "both names selected");
    ASSERT_EQ(::link((dir / "T/both").c_str(), (dir / "T/both2").c_str()), 0);

    const auto run = cli({"shred", "--yes", "--json", dir / "T"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(at(result, "errorCount").toInt(), 1);
    EXPECT_EQ(t::readFile(dir / "elsewhere/linked"), Bytes({'s', 'h', 'o', 'w', 'n', ' ', 'e', 'l', 's', 'e',
                                                            'w', 'h', 'e', 'r', 'e', ' ', 't', 'o', 'o'}));
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"linked"});
    for (const auto& item : at(result, "history").toArray()) {
        if (at(item, "path").toString().endsWith(QStringLiteral("/linked"))) {
            EXPECT_EQ(at(item, "error").toString(), QStringLiteral("File has other hard links"));
        }
    }
}

TEST(CliShred, ADeepTreeNeedsFewDescriptors)
{
    // Under a low descriptor limit every level of a chain deeper than that limit is shredded.
    t::TempDir dir(t::exists("/dev/shm") ? "/dev/shm" : "");
    t::makeDir(dir / "chain");
    t::makeChain(dir / "chain", 3000, "level");
    const auto run = t::runProcess(
        {"prlimit", "--nofile=256", CINDERVAULT_CLI, "shred", "--yes", "--json", "--verbose", dir / "chain"});
    EXPECT_EQ(run.exitCode, 0) << run.err.substr(0, 2000);
    EXPECT_EQ(run.err.find("Folder changed during the walk"), std::string::npos);
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(at(result, "fileCountRemoved").toInt(), 3000);
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    EXPECT_TRUE(t::listNames(dir.path()).empty());
}

TEST(CliShred, MountPointsInsideATargetStayWithTheFoldersAboveThem)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting needs root";
    t::TempDir dir;
    t::writeFile(dir / "hosts", "a file of another place");
    t::makeDir(dir / "T");
    t::makeDir(dir / "T/mnt");
    t::TmpfsMount other(dir / "T/mnt", "1m");
    ASSERT_TRUE(other.available());
    t::writeFile(dir / "T/mnt/theirs", "another file system");
    t::makeDir(dir / "T/etc");
    t::writeFile(dir / "T/etc/hosts", "");
    t::writeFile(dir / "T/etc/mine", "mine");
    ASSERT_EQ(::mount((dir / "hosts").c_str(), (dir / "T/etc/hosts").c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::string bound = dir / "T/etc/hosts";
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &bound, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });

    const auto run = cli({"shred", "--yes", "--json", dir / "T"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(t::readFile(dir / "hosts"), Bytes({'a', ' ', 'f', 'i', 'l', 'e', ' ', 'o', 'f', ' ', 'a', 'n',
                                                 'o', 't', 'h', 'e', 'r', ' ', 'p', 'l', 'a', 'c', 'e'}))
        << "the file mounted into the selection was overwritten through its mount";
    EXPECT_EQ(t::listNames(dir.path()), (std::vector<std::string>{"T", "hosts"}))
        << "the target keeps its name";
    EXPECT_EQ(t::listNames(dir / "T"), (std::vector<std::string>{"etc", "mnt"}));
    EXPECT_EQ(t::listNames(dir / "T/etc"), std::vector<std::string>{"hosts"});
    EXPECT_EQ(t::listNames(dir / "T/mnt"), std::vector<std::string>{"theirs"});
    int mountPoints = 0;
    for (const auto& item : at(parse(run.out), "history").toArray())
        mountPoints += at(item, "error").toString() == QStringLiteral("Mount point, left in place");
    EXPECT_EQ(mountPoints, 2) << "both mount points are named in the result";
}

TEST(CliShred, AWholeExtVolumeKeepsItsLostAndFound)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting an ext4 image needs root";
    t::TempDir dir;
    const std::string image = dir / "volume.img";
    const std::string volume = dir / "mnt";
    t::makeDir(volume);
    ASSERT_EQ(t::runProcess({"truncate", "-s", "16M", image}).exitCode, 0);
    ASSERT_EQ(t::runProcess({"mkfs.ext4", "-q", image}).exitCode, 0);
    ASSERT_EQ(t::runProcess({"mount", "-o", "loop", image, volume}).exitCode, 0);
    // Unmounted (its loop device freeing itself) whatever happens below.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &volume, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });
    ASSERT_TRUE(t::exists(volume + "/lost+found"));
    t::writeFile(volume + "/lost+found/#1234", "found by fsck");
    t::makeDir(volume + "/docs");
    t::writeFile(volume + "/docs/a", "a");

    const auto run = cli({"shred", "--yes", "--volume", "delete", volume});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(t::listNames(volume), std::vector<std::string>{"lost+found"}) << "fsck expects it there";
    EXPECT_TRUE(t::listNames(volume + "/lost+found").empty()) << "its contents are shredded";
}

TEST(CliShred, SavesTheReportWhereItIsToldAndSaysWhere)
{
    OwnHome::setAutoSave(true);
    t::TempDir dir;
    t::writeFile(dir / "f", "data");
    const auto run = cli(
        {"shred", "--yes", "--json", "--report-format", "html", "--report-dir", dir / "reports", dir / "f"});
    OwnHome::setAutoSave(false);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string reportPath = at(parse(run.out), "reportPath").toString().toStdString();
    EXPECT_EQ(reportPath.rfind(dir / "reports/deletionReport_", 0), 0u) << reportPath;
    EXPECT_EQ(reportPath.substr(reportPath.size() - 5), ".html");
    const Bytes html = t::readFile(reportPath);
    EXPECT_NE(std::string(html.begin(), html.end()).find("Zufallswerte"), std::string::npos);
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"reports"});

    const auto badFormat = cli({"shred", "--yes", "--report-format", "doc", dir / "f"});
    EXPECT_EQ(badFormat.exitCode, 2);
}
