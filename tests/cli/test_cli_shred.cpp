#include "HelperToolStandIn.h"
#include "LoopMount.h"
#include "ProcessRunner.h"
#include "ReadOnlyMounts.h"
#include "SleepingProcess.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "cli/JobRunner.h"
#include "cli/LineAmounts.h"
#include "common/Localization.h"
#include "translations/AppTranslator.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <pty.h>
#include <pwd.h>
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
        // The reports' signing key too: never the user's.
        ::setenv("XDG_DATA_HOME", (*m_home / ".local/share").c_str(), 1);
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

t::ProcessResult cli(std::vector<std::string> args, const t::ProcessOptions& options = {})
{
    args.insert(args.begin(), CINDERVAULT_CLI);
    return t::runProcess(args, options);
}

// The command line run from a working folder of the test's own.
t::ProcessResult cliIn(const std::string& folder, std::vector<std::string> args)
{
    t::ProcessOptions options;
    options.workingFolder = folder;
    return cli(std::move(args), options);
}

// How often each path appears in a result's history.
std::map<std::string, int> historyCounts(const QJsonObject& result)
{
    std::map<std::string, int> counts;
    for (const auto& entry : result.value(QLatin1String("history")).toArray())
        ++counts[entry.toObject().value(QLatin1String("path")).toString().toStdString()];
    return counts;
}

// A file's content as text.
std::string contents(const std::string& path)
{
    const Bytes bytes = t::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void makeLink(const std::string& target, const std::string& link)
{
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
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

// Starts the command line in the background with standard output going to a file, and standard
// error to errFd (or nowhere).
pid_t startCli(const std::vector<std::string>& args, const std::string& outFile, int errFd = -1)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(errFd >= 0 ? errFd : ::open("/dev/null", O_WRONLY), STDERR_FILENO);
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
    EXPECT_EQ(at(at(result, "method"), "name").toString(), QStringLiteral("3 passes: DoD 5220.22-M E"));
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
    EXPECT_EQ(contents(target + "/sub/keep.txt"), "keep");
}

TEST(CliShred, TheJobHasTheHelperASleepInhibitorAndTheUsersHome)
{
    // As the window's job: the helper, logind's inhibitor and the user's home folder, below
    // which a wipe of the startup volume puts its fill files; also without HOME, where the
    // user's own home is meant, not root's. The priority stays the caller's (nice).
    t::HelperToolStandIn helper;
    const std::string home = std::getenv("HOME");
    cv::JobEnvironment environment = cv::cli::JobRunner::environment(&helper);
    EXPECT_EQ(environment.helperTool, &helper);
    EXPECT_NE(environment.sleepInhibitor, nullptr);
    EXPECT_EQ(environment.homeFolder, home);
    EXPECT_FALSE(environment.niceness.has_value());
    EXPECT_FALSE(environment.background) << "the caller's scheduling class and I/O priority";

    ::unsetenv("HOME");
    environment = cv::cli::JobRunner::environment(nullptr);
    ::setenv("HOME", home.c_str(), 1);
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(environment.homeFolder, entry->pw_dir);
    EXPECT_EQ(environment.helperTool, nullptr);
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
             {"shred", "--yes", "--report-format", "doc", dir / "f"},
             {"wipe-free", "--yes", dir.path()}, // not a mount point
             {"wipe-free", "--yes"}}) {
        const auto run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.back() << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(contents(dir / "f"), "data");
}

TEST(CliShred, SigtermCancelsCleanlyWithTheResult)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/big", Bytes(64 * 1048576, 7));
    const std::string out = dir / "out.json";
    OwnHome::setAutoSave(true);
    const pid_t pid = startCli({"shred", "--yes", "--json", "--method", "1", "--report-format", "html",
                                "--report-dir", dir / "reports", dir / "T"},
                               out);
    // Once the first block is overwritten the job runs and a signal means cancel.
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         std::chrono::steady_clock::now() < deadline;) {
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
    OwnHome::setAutoSave(false);
    const QJsonObject result = parse(contents(out));
    EXPECT_TRUE(at(result, "canceled").toBool());
    EXPECT_EQ(at(result, "status").toString(), QStringLiteral("cancelled"));
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"big"})
        << "a cancelled job renames and deletes nothing";
    // A cancelled job has its report too, with the cancel as its state and each file's own.
    const std::string html = contents(at(result, "reportPath").toString().toStdString());
    EXPECT_NE(html.find("<td>Canceled</td>"), std::string::npos) << "the report state";
    EXPECT_EQ(html.find(">Deleted<"), std::string::npos) << "nothing of a cancelled job was deleted";
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
    // The user's own files that carry fill files' names: never the wipe's to take.
    const std::vector<std::string> kept{"ErasingFreeSpace_0.dat", "ErasingFreeSpace_01.dat",
                                        "ErasingFreeSpace_1.dat", "existing"};
    for (const auto& name : kept)
        if (name != "existing")
            t::writeFile(dir / name, "the user's " + name);
    const auto userFilesIntact = [&] {
        EXPECT_EQ(t::listNames(dir.path()), kept);
        EXPECT_EQ(t::readFile(dir / "existing"), Bytes(100000, 'e'));
        EXPECT_EQ(contents(dir / "ErasingFreeSpace_1.dat"), "the user's ErasingFreeSpace_1.dat");
    };

    const auto refused = cli({"shred", "--yes", dir.path()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--volume"), std::string::npos) << refused.err;

    const auto wiped = cli({"wipe-free", "--yes", "--json", "--method", "15", dir.path()});
    ASSERT_EQ(wiped.exitCode, 0) << wiped.err;
    const QJsonObject result = parse(wiped.out);
    EXPECT_GT(at(result, "bytesCountTotal").toDouble(), 7e6);
    EXPECT_EQ(at(result, "fileCountTotal").toInt(), 0);
    // tmpfs cannot discard: TRIM is asked for after the wipe, its refusal named, and no error.
    const QJsonValue volume = at(result, "volumes").toArray().at(0);
    EXPECT_EQ(at(volume, "fileSystem").toString(), QStringLiteral("tmpfs"));
    EXPECT_TRUE(at(volume, "freeSpaceWiped").toBool());
    EXPECT_EQ(at(volume, "trim").toString(), QStringLiteral("not supported"));
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    userFilesIntact();

    // A wipe killed outright leaves its fill files; the next wipe removes them first.
    const pid_t pid = startCli({"wipe-free", "--yes", "--method", "1", dir.path()}, dir.path() + "-out");
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         t::listNames(dir.path()).size() < kept.size() + 2 && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGKILL);
    waitExit(pid);
    ::unlink((dir.path() + "-out").c_str());
    EXPECT_GT(t::listNames(dir.path()).size(), kept.size() + 1) << "the killed wipe left a fill file";
    const auto again = cli({"wipe-free", "--yes", "--method", "16", dir.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    userFilesIntact();

    const auto deleted = cli({"shred", "--yes", "--volume", "delete", dir.path()});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_TRUE(t::listNames(dir.path()).empty()) << "all files of the volume are gone";
    EXPECT_TRUE(t::exists(dir.path())) << "the mount point stays";
}

TEST(CliShred, AWipeThatCannotWriteIsAFailureAndItsReportSaysSo)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    const std::string volume = dir / "ro";
    t::makeDir(volume);
    ASSERT_EQ(::mount("tmpfs", volume.c_str(), "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=4m"), 0);
    OwnHome::setAutoSave(true);
    const auto run = cli(
        {"wipe-free", "--yes", "--json", "--report-format", "html", "--report-dir", dir / "reports", volume});
    OwnHome::setAutoSave(false);
    ::umount2(volume.c_str(), MNT_DETACH);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const QJsonObject result = parse(run.out);
    // The volume's error is counted apart from files: no file count exceeds its total of none.
    EXPECT_EQ(at(result, "status").toString(), QStringLiteral("errors"));
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    EXPECT_EQ(at(result, "otherErrorCount").toInt(), 1);
    EXPECT_EQ(at(result, "fileCountFinished").toInt(), 0);
    EXPECT_EQ(at(result, "fileCountTotal").toInt(), 0);
    EXPECT_EQ(at(result, "bytesCountFinished").toInt(), 0);
    const QJsonValue item = at(result, "history").toArray().at(0);
    EXPECT_EQ(at(item, "path").toString().toStdString(), volume);
    EXPECT_EQ(at(item, "kind").toString(), QStringLiteral("volume"));
    EXPECT_EQ(at(item, "error").toString(),
              QStringLiteral("Free space could not be wiped: Failed to write file: Read-only file system"));
    const std::string html = contents(at(result, "reportPath").toString().toStdString());
    EXPECT_NE(html.find(">Errors</div>"), std::string::npos) << "the report's status";
    EXPECT_NE(html.find("<td>Errors</td>"), std::string::npos) << "and its state row, alike";
    const auto freeSpaceRow = html.find("Free space wiped");
    ASSERT_NE(freeSpaceRow, std::string::npos);
    EXPECT_EQ(html.substr(freeSpaceRow, html.find("</tr>", freeSpaceRow) - freeSpaceRow).find("Success"),
              std::string::npos)
        << "the wipe is not certified as done";
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
    EXPECT_EQ(contents(target + "/sub/keep.txt"), "keep") << "the excluded file was shredded";
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
    const auto refused = cli({"shred", "--yes", volume + "/sub/../../V"});
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_NE(refused.err.find("--volume"), std::string::npos) << refused.err;
    EXPECT_EQ(contents(volume + "/data"), "data");
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
            EXPECT_EQ(at(item, "error").toString(),
                      QStringLiteral("Failed to write file: No space left on device"));
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
    EXPECT_EQ(contents(dir / "elsewhere/linked"), "shown elsewhere too");
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"linked"});
    for (const auto& item : at(result, "history").toArray()) {
        if (at(item, "path").toString().endsWith(QStringLiteral("/linked"))) {
            EXPECT_EQ(at(item, "error").toString(), QStringLiteral("File has other hard links"));
        }
    }
    // With --json too, each failure is a line on standard error, as every tool says its errors.
    EXPECT_NE(run.err.find(dir / "T/linked: File has other hard links\n"), std::string::npos) << run.err;
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
    EXPECT_EQ(contents(dir / "hosts"), "a file of another place")
        << "the file mounted into the selection was overwritten through its mount";
    EXPECT_EQ(t::listNames(dir.path()), (std::vector<std::string>{"T", "hosts"}))
        << "the target keeps its name";
    EXPECT_EQ(t::listNames(dir / "T"), (std::vector<std::string>{"etc", "mnt"}));
    EXPECT_EQ(t::listNames(dir / "T/etc"), std::vector<std::string>{"hosts"});
    EXPECT_EQ(t::listNames(dir / "T/mnt"), std::vector<std::string>{"theirs"});
    const QJsonObject result = parse(run.out);
    int mountPoints = 0;
    for (const auto& item : at(result, "history").toArray())
        mountPoints += at(item, "error").toString() == QStringLiteral("Mount point, left in place") &&
                       at(item, "kind").toString() == QStringLiteral("mount point");
    EXPECT_EQ(mountPoints, 2) << "both mount points are named in the result";
    EXPECT_NE(run.err.find(bound + ": Mount point, left in place\n"), std::string::npos) << run.err;
    // Mount points are errors of their own kind, never files beyond the files counted.
    EXPECT_EQ(at(result, "otherErrorCount").toInt(), 2);
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    EXPECT_EQ(at(result, "fileCountFinished").toInt(), 1) << "etc/mine";
    EXPECT_LE(at(result, "fileCountFinished").toInt(), at(result, "fileCountTotal").toInt());
    EXPECT_EQ(at(result, "status").toString(), QStringLiteral("errors"));
}

namespace {

// How often text stands in the bytes of a raw volume image.
std::size_t copiesIn(const Bytes& image, const std::string& text)
{
    std::size_t copies = 0;
    for (auto found = image.begin();
         (found = std::search(found, image.end(), text.begin(), text.end())) != image.end(); ++found)
        ++copies;
    return copies;
}

} // namespace

TEST(CliShred, AWholeExtVolumeKeepsItsLostAndFoundAndNoNameInItsJournal)
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
    const std::string name = "cindervault-name-marker-Q7";
    t::writeFile(volume + "/docs/" + name, "a");
    ::sync(); // the name is in the file system's journal now

    const auto run = cli({"shred", "--yes", "--volume", "delete", volume});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(t::listNames(volume), std::vector<std::string>{"lost+found"}) << "fsck expects it there";
    EXPECT_TRUE(t::listNames(volume + "/lost+found").empty()) << "its contents are shredded";
    // The flush's commits have overwritten the journal's older copies of the folders.
    ASSERT_EQ(::umount2(volume.c_str(), 0), 0);
    EXPECT_EQ(copiesIn(t::readFile(image), name), 0u) << "the deleted file's name is still on the device";
}

TEST(CliShred, ACopyOnWriteVolumeIsNamedBeforeTheJobAndThenWipeFreeFinishesIt)
{
    t::TempDir dir;
    const std::string volume = dir / "btrfs";
    t::makeDir(volume);
    // A device that cannot discard, as a disk: only the wipe itself can remove the old copies, and
    // the TRIM after it is refused.
    t::LoopMount btrfs(dir / "btrfs.img", volume, "btrfs", "128M", "nodiscard");
    if (!btrfs.available())
        GTEST_SKIP() << "needs root and btrfs";
    ASSERT_TRUE(btrfs.refuseDiscards());
    // 64 KiB each: too big to be kept inline in the file system's metadata.
    const std::string marker = "cindervault-cow-marker-";
    t::writeFile(volume + "/a", marker + "a" + std::string(65536, 'x'));
    t::writeFile(volume + "/b", marker + "b" + std::string(65536, 'x'));
    ::sync();

    // Without the option the warning says what is missing and how to finish; nothing is wiped. The
    // report's state and the file's row say that the old content may remain (the exit status
    // stays 0: the user chose it).
    OwnHome::setAutoSave(true);
    const auto plain = cli({"shred", "--yes", "--json", "--method", "16", "--report-format", "html",
                            "--report-dir", dir / "reports", volume + "/a"});
    OwnHome::setAutoSave(false);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const std::string report = contents(at(parse(plain.out), "reportPath").toString().toStdString());
    EXPECT_NE(report.find("<td>Old content may remain on " + volume + " until its free space is wiped</td>"),
              std::string::npos)
        << "the report's state";
    EXPECT_NE(report.find("<td>Deleted. Old content may remain on " + volume +
                          " until its free space is wiped</td>"),
              std::string::npos)
        << "the file's row";
    EXPECT_NE(plain.err.find("Warning: the volume " + volume + " has a btrfs file system"), std::string::npos)
        << plain.err;
    EXPECT_NE(plain.err.find("Give --then-wipe-free"), std::string::npos) << plain.err;
    const QJsonValue before = at(parse(plain.out), "volumes").toArray().at(0);
    EXPECT_EQ(at(before, "mountPoint").toString().toStdString(), volume);
    EXPECT_EQ(at(before, "fileSystem").toString(), QStringLiteral("btrfs"));
    EXPECT_TRUE(at(before, "copyOnWrite").toBool());
    EXPECT_FALSE(at(before, "freeSpaceWiped").toBool());

    // With it the same job wipes the volume's free space after the deletion and asks for TRIM.
    const auto finished =
        cli({"shred", "--yes", "--json", "--method", "16", "--then-wipe-free", volume + "/b"});
    ASSERT_EQ(finished.exitCode, 0) << finished.err;
    EXPECT_NE(finished.err.find("It is wiped after the deletion"), std::string::npos) << finished.err;
    const QJsonObject result = parse(finished.out);
    EXPECT_EQ(at(result, "fileCountRemoved").toInt(), 1);
    const QJsonValue after = at(result, "volumes").toArray().at(0);
    EXPECT_TRUE(at(after, "freeSpaceWiped").toBool());
    EXPECT_TRUE(at(after, "wipedAfterDeletion").toBool());
    EXPECT_EQ(at(after, "trim").toString(), QStringLiteral("not supported"));
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);

    btrfs.unmount();
    EXPECT_EQ(copiesIn(t::readFile(btrfs.image()), marker), 0u)
        << "no copy of either file's content is left on the device";
}

TEST(CliShred, NoReportMakesNoneAndSaysNothingOfIt)
{
    OwnHome::setAutoSave(true);
    t::TempDir dir;
    t::writeFile(dir / "f", "data");
    t::writeFile(dir / "g", "data");
    // Where the report would go: the settings' folder, the default one below the home.
    const std::string reports = std::string(std::getenv("HOME")) + "/Documents/Ostrevane/RendmarkMacReports";
    const auto before = t::exists(reports) ? t::listNames(reports) : std::vector<std::string>{};
    const auto run = cli({"shred", "--yes", "--json", "--no-report", dir / "f"});
    const auto conflicting =
        cli({"shred", "--yes", "--no-report", "--report-dir", dir / "reports", dir / "g"});
    OwnHome::setAutoSave(false);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_FALSE(result.contains(QLatin1String("reportPath")));
    EXPECT_EQ(run.err.find("report"), std::string::npos) << run.err;
    EXPECT_EQ(t::exists(reports) ? t::listNames(reports) : std::vector<std::string>{}, before);

    EXPECT_EQ(conflicting.exitCode, 2);
    EXPECT_NE(conflicting.err.find("--no-report"), std::string::npos) << conflicting.err;
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"g"});
}

TEST(CliShred, TheDiagnosticLogIsPrivateTakesNoLinkNorAnotherUsersFileOrFolderAndEscapesNames)
{
    t::TempDir dir;
    // Diagnosis on, with the report folder (and so the log folder) in a folder of the test's.
    const std::string reports = dir / "shared/reports";
    const std::string logs = reports + "/logs";
    const std::string settings = std::string(std::getenv("XDG_CONFIG_HOME")) + "/Ostrevane/Cindervault.ini";
    t::writeFile(settings, "[General]\nkSettingsDeletionReportAutoSave=false\nkSettingsGeneralDiagnose=true\n"
                           "kSettingsDeletionReportLocation=" +
                               QByteArray::fromStdString(reports).toBase64().toStdString() + "\n");
    const mode_t oldMask = ::umask(022);
    t::makeDir(dir / "shared");
    const std::string logFile =
        logs + "/" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString() + ".log";
    // A FIFO is named in the log ("Not overwriting ..."); its name holds a line of its own.
    const std::string forged = "2026-01-01 00:00:00.000 cindervault-cli[1] Finished";
    const auto shredFifo = [&] {
        t::makeDir(dir / "target");
        EXPECT_EQ(::mkfifo((dir / "target/x\n" + forged).c_str(), 0600), 0);
        return cli({"shred", "--yes", "--no-report", dir / "target"});
    };
    {
        // A link planted where the log goes, to a file of the user running the program: never
        // followed, the file stays as it was, and the job still runs.
        t::makeDir(reports);
        t::makeDir(logs);
        t::writeFile(dir / "victim", "untouched\n");
        makeLink(dir / "victim", logFile);
        const auto run = shredFifo();
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.exitCode << ": " << run.err;
        EXPECT_EQ(contents(dir / "victim"), "untouched\n");
        EXPECT_NE(run.err.find("symbolic link"), std::string::npos) << run.err;
        t::removeTree(dir / "target");
        t::removeTree(reports);
    }
    {
        // The log folder itself a link to a folder elsewhere: nothing is made there.
        t::makeDir(reports);
        t::makeDir(dir / "elsewhere");
        makeLink(dir / "elsewhere", logs);
        const auto run = shredFifo();
        EXPECT_TRUE(t::listNames(dir / "elsewhere").empty());
        EXPECT_NE(run.err.find("it is a symbolic link"), std::string::npos) << run.err;
        t::removeTree(dir / "target");
        t::removeTree(reports);
    }
    if (t::isRoot()) {
        // A log folder that belongs to another user (who chose where it leads) is not used.
        t::makeDir(reports);
        t::makeDir(logs);
        ASSERT_EQ(::chown(logs.c_str(), 65534, 65534), 0);
        const auto run = shredFifo();
        EXPECT_TRUE(t::listNames(logs).empty());
        EXPECT_NE(run.err.find("belongs to user 65534"), std::string::npos) << run.err;
        t::removeTree(dir / "target");
        t::removeTree(reports);
    }
    if (t::isRoot()) {
        // A log file that belongs to another user is not written either.
        t::makeDir(reports);
        t::makeDir(logs);
        t::writeFile(logFile, "");
        ASSERT_EQ(::chown(logFile.c_str(), 65534, 65534), 0);
        const auto run = shredFifo();
        EXPECT_EQ(contents(logFile), "");
        EXPECT_NE(run.err.find("belongs to user 65534"), std::string::npos) << run.err;
        t::removeTree(dir / "target");
        t::removeTree(reports);
    }
    {
        // No log yet: the folders made for it are the user's alone, and so is the file, whatever
        // the umask; the folder that existed keeps its mode. The name's line break is escaped.
        const auto run = shredFifo();
        struct stat info = {};
        ASSERT_EQ(::stat(logFile.c_str(), &info), 0) << run.err;
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        ASSERT_EQ(::stat(logs.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        ASSERT_EQ(::stat(reports.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        ASSERT_EQ(::stat((dir / "shared").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0755u) << "a folder that existed keeps its mode";
        const std::string text = contents(logFile);
        EXPECT_NE(text.find("x\\x0a" + forged), std::string::npos) << text;
        EXPECT_EQ(text.find("\n" + forged), std::string::npos) << "a name made a line of its own:\n" << text;
    }
    ::umask(oldMask);
    OwnHome::setAutoSave(false);
}

TEST(CliShred, EmptyPathsAreUsageErrorsWhereverPathsComeIn)
{
    // An unset shell variable must never mean the working folder.
    t::TempDir dir;
    t::writeFile(dir / "f", "data");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"shred", "--yes", ""},
                                               {"shred", "--yes", dir / "f", ""},
                                               {"scan", ""},
                                               {"overwrite", "--method", "16", ""},
                                               {"wipe-free", "--yes", ""},
                                               {"shred", "--yes", "--exclude", "", dir / "f"},
                                               {"shred", "--yes", "--exclude=", dir / "f"},
                                               {"shred", "--yes", "--report-dir", "", dir / "f"},
                                               {"shred", "--yes", "--volume", "", dir / "f"}}) {
        const auto run = cliIn(dir.path(), args);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(args) << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"f"});
    EXPECT_EQ(contents(dir / "f"), "data");
}

TEST(CliShred, DotOperandsAndSlashesOnFilesAreRefusedLikeRmRefusesThem)
{
    // w/inner is the working folder; w/other and the files are what ".." would have reached.
    t::TempDir dir;
    const std::string w = dir / "w";
    t::makeDir(w);
    t::makeDir(w + "/inner");
    t::makeDir(w + "/inner/d");
    t::makeDir(w + "/other");
    t::writeFile(w + "/other/f", "other");
    t::writeFile(w + "/inner/file", "file");
    t::writeFile(w + "/inner/d/g", "g");
    const std::string inner = w + "/inner";
    const auto untouched = [&] {
        EXPECT_EQ(contents(w + "/other/f"), "other");
        EXPECT_EQ(contents(inner + "/file"), "file");
        EXPECT_EQ(contents(inner + "/d/g"), "g");
        EXPECT_EQ(t::listNames(inner), (std::vector<std::string>{"d", "file"}));
    };
    for (const std::string& operand : std::vector<std::string>{"..", "../", "d/..", "d/../", ".", "./", "d/.",
                                                               "d/./", "d//.//", inner + "/.."}) {
        // The other operand must not be processed either: the command does nothing at all.
        const auto run = cliIn(inner, {"shred", "--yes", "file", operand});
        EXPECT_EQ(run.exitCode, 2) << operand << ": " << run.err;
        EXPECT_NE(run.err.find("'" + operand + "'"), std::string::npos) << "names the operand: " << run.err;
        EXPECT_NE(run.err.find("refusing"), std::string::npos) << run.err;
        untouched();
    }
    for (const std::string operand : {"file/", "file/.", "file//", "./file/"}) {
        const auto run = cliIn(inner, {"shred", "--yes", operand});
        EXPECT_EQ(run.exitCode, 2) << operand << ": " << run.err;
        EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;
        EXPECT_EQ(cliIn(inner, {"scan", operand}).exitCode, 2) << operand;
        EXPECT_EQ(cliIn(inner, {"overwrite", "--method", "16", operand}).exitCode, 2) << operand;
        untouched();
    }
    EXPECT_EQ(cliIn(inner, {"scan", ".."}).exitCode, 2) << "a scan shows what a shred would take";

    // Relative operands still start at the working folder, whatever their spelling.
    const auto run = cliIn(inner, {"shred", "--yes", "./d//", "../inner/file"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(t::listNames(inner).empty());
    EXPECT_EQ(contents(w + "/other/f"), "other");
}

TEST(CliShred, TargetsAndExcludesCompareThroughTheLinksOfTheirFolders)
{
    t::TempDir dir;
    const auto makeTree = [&] {
        t::makeDir(dir / "real");
        t::makeDir(dir / "real/sub");
        t::writeFile(dir / "real/sub/keep", "keep");
        t::writeFile(dir / "real/sub/gone", "gone");
    };
    makeTree();
    makeLink("real", dir / "lnk");
    for (const auto& [exclude, target] :
         std::vector<std::pair<std::string, std::string>>{{dir / "real/sub/keep", dir / "lnk/sub"},
                                                          {dir / "lnk/sub/keep", dir / "real/sub"},
                                                          {"lnk/sub/../sub/keep", "lnk//sub/"}}) {
        const auto run = cliIn(dir.path(), {"shred", "--yes", "--exclude", exclude, target});
        EXPECT_EQ(run.exitCode, 0) << exclude << " " << target << ": " << run.err;
        EXPECT_EQ(contents(dir / "real/sub/keep"), "keep")
            << "the excluded file was shredded: " << exclude << " " << target;
        EXPECT_FALSE(t::exists(dir / "real/sub/gone")) << exclude << " " << target;
        t::removeTree(dir / "real");
        makeTree();
    }

    // An exclude that matches nothing is a typo: refused before anything is touched.
    t::writeFile(dir / "elsewhere", "e");
    for (const std::string& exclude :
         std::vector<std::string>{dir / "real/sub/keeep", dir / "elsewhere", dir / "real/sub/keep/"}) {
        const auto run = cliIn(dir.path(), {"shred", "--yes", "--exclude", exclude, dir / "lnk/sub"});
        EXPECT_EQ(run.exitCode, 2) << exclude << ": " << run.err;
        EXPECT_NE(run.err.find(exclude), std::string::npos) << "names the exclude: " << run.err;
        EXPECT_EQ(cli({"scan", "--exclude", exclude, dir / "real"}).exitCode, 2) << exclude;
        EXPECT_TRUE(t::exists(dir / "real/sub/gone")) << exclude;
    }
    // An exclude above the target keeps all of it; one given as "." keeps the working folder.
    EXPECT_EQ(cliIn(dir / "real/sub", {"shred", "--yes", "--exclude", ".", dir / "lnk/sub/gone"}).exitCode,
              0);
    EXPECT_TRUE(t::exists(dir / "real/sub/gone"));
}

TEST(CliShred, OverlappingTargetsAreFoldedIntoTheOuterOne)
{
    t::TempDir dir;
    const std::string t = dir / "t";
    t::makeDir(t);
    t::makeDir(t + "/sub");
    t::makeDir(t + "/x");
    t::writeFile(t + "/a", std::string(10, 'a'));
    t::writeFile(t + "/sub/b", std::string(20, 'b'));
    makeLink("t", dir / "lnk");
    const auto run = cliIn(dir.path(), {"shred", "--yes", "--json", "t/sub", "t", "t/sub/b", "lnk/sub",
                                        "t/x/../sub", "./t/", dir / "t//sub"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(at(result, "fileCountTotal").toInt(), 2);
    EXPECT_EQ(at(result, "bytesCountTotal").toInt(), 30) << "each file counted once";
    EXPECT_EQ(at(result, "bytesCountFinished").toInt(), 30) << "each file overwritten once";
    EXPECT_EQ(historyCounts(result), (std::map<std::string, int>{{t + "/a", 1}, {t + "/sub/b", 1}}));
    EXPECT_EQ(at(result, "errorCount").toInt(), 0);
    EXPECT_EQ(at(result, "paths").toArray().size(), 1);
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"lnk"});
}

TEST(CliShred, TheWholeVolumeGuardHoldsThroughLinks)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::makeDir(dir / "t");
    t::makeDir(dir / "t/mp");
    t::TmpfsMount mount(dir / "t/mp", "1m");
    ASSERT_TRUE(mount.available());
    t::writeFile(dir / "t/mp/data", "data");
    makeLink("t", dir / "lnk");
    makeLink(dir / "lnk", dir / "lnk2");
    for (const std::string& operand :
         std::vector<std::string>{"lnk/mp", "lnk/mp/", "lnk2//mp", "t/../lnk/mp", dir / "lnk/mp"}) {
        const auto run = cliIn(dir.path(), {"shred", "--yes", operand});
        EXPECT_EQ(run.exitCode, 2) << operand << ": " << run.err;
        EXPECT_NE(run.err.find("--volume"), std::string::npos) << operand << ": " << run.err;
        EXPECT_EQ(contents(dir / "t/mp/data"), "data") << operand;
    }
}

TEST(CliShred, KernelFilesAreUsageErrorsForEveryCommandAndNeverWritten)
{
    // The only kernel file aimed at is the name of a process of the test's own: a broken guard
    // would rename it, and that is seen.
    t::SleepingProcess sleeper;
    ASSERT_TRUE(sleeper.running());
    const std::string comm = sleeper.procFolder() + "/comm";
    t::TempDir dir;
    const auto refuse = [&](const std::vector<std::string>& args, const std::string& sentence) {
        const auto run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(args) << ": " << run.err;
        EXPECT_NE(run.err.find(sentence), std::string::npos)
            << ::testing::PrintToString(args) << ": " << run.err;
        EXPECT_EQ(sleeper.comm(), "sleep") << ::testing::PrintToString(args);
    };
    const std::string onProc = comm + " lies on the kernel's proc file system, not data";
    refuse({"overwrite", "--method", "16", comm}, onProc);
    refuse({"scan", comm}, onProc);
    refuse({"shred", "--yes", "--json", comm}, onProc);
    refuse({"shred", "--yes", dir.path(), comm}, onProc);
    refuse({"wipe-free", "--yes", comm}, onProc);

    if (!t::isRoot())
        GTEST_SKIP() << "the process's folder is bind-mounted by root only";
    // The process's folder mounted into the test's own: no name tells it from data there.
    const std::string bound = dir / "pid";
    t::makeDir(bound);
    ASSERT_EQ(::mount(sleeper.procFolder().c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &bound, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });
    const std::string mountPoint = bound + " is the kernel's proc file system, not data";
    for (const char* option : {"delete", "complete"})
        refuse({"shred", "--yes", "--volume", option, bound}, mountPoint);
    refuse({"shred", "--yes", bound}, mountPoint);
    refuse({"wipe-free", "--yes", bound}, mountPoint);
    refuse({"scan", bound}, mountPoint);
    refuse({"shred", "--yes", bound + "/comm"},
           bound + "/comm lies on the kernel's proc file system, not data");
    refuse({"overwrite", "--method", "16", bound + "/comm"}, "/comm lies on the kernel's proc file system");
    EXPECT_TRUE(t::exists(bound + "/comm"));
}

TEST(CliShred, TheSystemsRuntimeMountsAreNoVolumesToEmpty)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting needs root";
    // Each in a mount namespace of its own in which every mount is read-only, with a tmpfs of its
    // own over the runtime folder: a regression could change nothing, it would only fail.
    t::TempDir dir;
    for (const std::string runtime : {"/run", "/dev/shm", "/sys/fs/cgroup"}) {
        if (!t::exists(runtime))
            continue;
        t::ProcessOptions options;
        options.beforeExec = [&] {
            return t::enterReadOnlyMountNamespace([&] {
                return ::mount("cindervault-test", runtime.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                               "size=1m") == 0 &&
                       ::close(::creat((runtime + "/file").c_str(), 0644)) == 0;
            });
        };
        for (const char* option : {"delete", "complete"}) {
            const auto run = cli({"shred", "--yes", "--volume", option, runtime}, options);
            EXPECT_EQ(run.exitCode, 2) << runtime << " " << option << ": " << run.err;
            EXPECT_NE(run.err.find("a volume the system runs from"), std::string::npos) << run.err;
        }
    }
}

TEST(CliShred, TheStartupVolumeAndTheSystemsVolumesAreNeverEmptied)
{
    if (!t::isRoot())
        GTEST_SKIP() << "bind mounts need root";
    // Every case runs in a mount namespace of its own in which every mount is read-only: a
    // regression could not delete anything, it would only fail with exit status 1.
    t::TempDir dir;
    t::writeFile(dir / "marker", "marker");
    t::makeDir(dir / "root");
    t::makeDir(dir / "boot");
    t::makeDir(dir / "part");
    t::makeDir(dir / "partbind");
    t::makeDir(dir / "stick");
    const auto inNamespace = [&](std::vector<std::string> args) {
        t::ProcessOptions options;
        options.beforeExec = [&] {
            return t::enterReadOnlyMountNamespace([&] {
                // "/" seen again at dir/root; a folder of the root file system at dir/partbind; a
                // tmpfs over /boot (in this namespace only), also seen at dir/boot; a user's stick.
                return ::mount("/", (dir / "root").c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                       ::mount((dir / "part").c_str(), (dir / "partbind").c_str(), nullptr, MS_BIND,
                               nullptr) == 0 &&
                       ::mount("cindervault-test", "/boot", "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0 &&
                       ::mount("/boot", (dir / "boot").c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                       ::mount("cindervault-test", (dir / "stick").c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                               "size=1m") == 0 &&
                       ::close(::creat((dir / "stick/file").c_str(), 0644)) == 0;
            });
        };
        return cli(std::move(args), options);
    };
    for (const std::string& volume :
         std::vector<std::string>{dir / "root", dir / "root/", "/boot", dir / "boot", dir / "partbind"}) {
        for (const char* option : {"delete", "complete"}) {
            const auto run = inNamespace({"shred", "--yes", "--volume", option, volume});
            EXPECT_EQ(run.exitCode, 2) << volume << " " << option << ": " << run.err;
            EXPECT_FALSE(run.err.empty());
        }
    }
    const auto startup = inNamespace({"shred", "--yes", dir / "root"});
    EXPECT_EQ(startup.exitCode, 2) << startup.err;
    EXPECT_NE(startup.err.find("startup volume"), std::string::npos) << startup.err;
    // The namespace works, and a user's volume is taken: the job starts and meets a read-only file.
    const auto stick = inNamespace({"shred", "--yes", "--volume", "delete", dir / "stick"});
    EXPECT_TRUE(stick.exitCode == 0 || stick.exitCode == 1) << stick.exitCode << ": " << stick.err;
    EXPECT_EQ(contents(dir / "marker"), "marker");
    EXPECT_EQ(t::listNames(dir.path()),
              (std::vector<std::string>{"boot", "marker", "part", "partbind", "root", "stick"}));
}

TEST(CliShred, TheReportIsInTheWindowsLanguageAndTheTerminalInTheStoredOne)
{
    t::TempDir dir;
    // Runs a shred with the desktop's language and the stored one (empty: none stored); the
    // method's name in the JSON, and the report's text.
    const auto shred = [&](const std::string& desktop, const std::string& stored) {
        const std::string settings =
            std::string(std::getenv("XDG_CONFIG_HOME")) + "/Ostrevane/Cindervault.ini";
        t::writeFile(settings, "[General]\nkSettingsDeletionReportAutoSave=true\n" +
                                   (stored.empty() ? std::string() : "AppleLanguages=" + stored + "\n"));
        t::writeFile(dir / "f", "data");
        const auto run = t::runProcess({"env", "LANG=" + desktop,
                                        "LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", "LC_TIME=", CINDERVAULT_CLI,
                                        "shred", "--yes", "--json", "--report-format", "html", "--report-dir",
                                        dir / "reports", dir / "f"});
        OwnHome::setAutoSave(false);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const QJsonObject result = parse(run.out);
        return std::pair(at(at(result, "method"), "name").toString().toStdString(),
                         contents(at(result, "reportPath").toString().toStdString()));
    };
    struct Case
    {
        const char* trace;
        const char* locale;
        const char* stored;
        const char* terminalName;
        const char* reportLanguage;
    };
    for (const Case& c : {
             Case{"English everywhere", "en_US.UTF-8", "", "1 pass: random data", "en"},
             Case{"a German desktop, nothing stored: the window shows German, so does the report (the "
                  "terminal stays English)",
                  "de_DE.UTF-8", "", "1 pass: random data", "de"},
             Case{"German stored, on an English desktop: German in the terminal and in the report",
                  "en_US.UTF-8", "de", "1 Runde: Zufallswerte", "de"},
             Case{"English stored, on a German desktop: English everywhere, dates included", "de_DE.UTF-8",
                  "en", "1 pass: random data", "en"},
         }) {
        SCOPED_TRACE(c.trace);
        const auto [name, report] = shred(c.locale, c.stored);
        EXPECT_EQ(name, c.terminalName);
        EXPECT_NE(report.find(std::string("<html lang=\"") + c.reportLanguage + "\">"), std::string::npos);
        if (std::string(c.reportLanguage) == "de") {
            EXPECT_NE(report.find("1 Runde: Zufallswerte"), std::string::npos);
            // The status word comes from the tables the window reads, also where the terminal stays English.
            EXPECT_NE(report.find("Erfolgreich"), std::string::npos);
        } else
            EXPECT_FALSE(QRegularExpression(QStringLiteral("\\b\\d\\d\\.\\d\\d\\.\\d\\d"))
                             .match(QString::fromStdString(report))
                             .hasMatch())
                << "no German date in an English report";
    }
}

TEST(CliShred, TheReportAndHelperModuleUsesTheProgramsLogSettingsAndTexts)
{
    // A module with copies of its own would keep a second settings store, a log that writes nowhere
    // and engine texts bound to no table (reasons in a German report in English): it must define
    // none of them and take the program's.
    const auto symbols = t::runProcess({"nm", "-D", "-C", "--defined-only", CINDERVAULT_CLI_PLUGIN});
    ASSERT_EQ(symbols.exitCode, 0) << symbols.err;
    ASSERT_NE(symbols.out.find("cv::ReportBuilder"), std::string::npos) << "the module holds the report step";
    for (const char* own : {"cv::SettingsManager::sharedManager()", "cv::setLogDescriptor(int)",
                            "cv::logLine(", "cv::setLanguageLocalizer(", "cv::localizedIn"})
        EXPECT_EQ(symbols.out.find(own), std::string::npos) << own;
    const auto program = t::runProcess({"nm", "-D", "-C", "--defined-only", CINDERVAULT_CLI});
    for (const char* shared : {"cv::SettingsManager::sharedManager()", "cv::logLine(", "cv::localizedIn"})
        EXPECT_NE(program.out.find(shared), std::string::npos) << "the program exports " << shared;
}

TEST(CliShred, AReportRendererThatCrashesNeverCostsTheJobsResult)
{
    OwnHome::setAutoSave(true);
    t::TempDir dir;
    const auto expectResultWithoutReport =
        [&](const std::function<t::ProcessResult(const std::string&)>& shred, const char* reason) {
            const std::string victim = dir / "victim";
            t::writeFile(victim, "data");
            const auto run = shred(victim);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            const QJsonObject result = parse(run.out);
            EXPECT_FALSE(at(result, "canceled").toBool());
            EXPECT_EQ(at(result, "fileCountFinished").toInt(), 1);
            EXPECT_FALSE(result.contains(QLatin1String("reportPath")));
            EXPECT_NE(run.err.find(std::string("No report saved: ") + reason), std::string::npos) << run.err;
            EXPECT_FALSE(t::exists(victim));
            EXPECT_TRUE(t::listNames(dir / "reports").empty());
        };
    const std::vector<std::string> shredArgs{"shred", "--yes",        "--json",       "--report-format",
                                             "pdf",   "--report-dir", dir / "reports"};
    {
        SCOPED_TRACE("a renderer that aborts");
        const std::string renderer = dir / "abort.sh";
        t::writeFile(renderer, "#!/bin/sh\nkill -ABRT $$\n");
        ::chmod(renderer.c_str(), 0755);
        ::setenv("CINDERVAULT_RENDERER", renderer.c_str(), 1);
        expectResultWithoutReport(
            [&](const std::string& victim) {
                auto args = shredArgs;
                args.push_back(victim);
                return cli(args);
            },
            "the report renderer crashed");
        ::unsetenv("CINDERVAULT_RENDERER");
    }
    if (!t::isRoot() || t::runProcess({"mountpoint", "-q", "/dev/shm"}).exitCode != 0) {
        OwnHome::setAutoSave(false);
        GTEST_SKIP() << "a read-only /dev/shm in a private mount namespace needs root and a /dev/shm mount";
    }
    {
        SCOPED_TRACE("the real renderer without a writable /dev/shm, in a mount namespace of its own");
        expectResultWithoutReport(
            [&](const std::string& victim) {
                std::vector<std::string> args{
                    "unshare", "-m", "sh", "-c",
                    // Other tests' mounts are let go, so that this copy keeps none of them busy.
                    "mount --make-rprivate / && "
                    "for m in $(awk '$5 ~ /\\/cindervault-test-/ {print $5}' /proc/self/mountinfo | sort "
                    "-r); "
                    "do umount -l \"$m\" 2>/dev/null; done; "
                    "mount -o remount,bind,ro /dev/shm && exec \"$0\" \"$@\"",
                    CINDERVAULT_CLI};
                args.insert(args.end(), shredArgs.begin(), shredArgs.end());
                args.push_back(victim);
                return t::runProcess(args);
            },
            "the report renderer crashed");
    }
    OwnHome::setAutoSave(false);
}

TEST(CliShred, SignalsWhileTheReportIsMadeWaitForTheResult)
{
    OwnHome::setAutoSave(true);
    t::TempDir dir;
    t::writeFile(dir / "victim", "data");
    // The renderer says that it runs and waits for the test's word, so that the signals surely
    // come while the report is made (it goes on by itself after a minute).
    const std::string renderer = dir / "slow.sh";
    const std::string rendering = dir / "rendering";
    const std::string go = dir / "go";
    t::writeFile(renderer,
                 "#!/bin/sh\n: > '" + rendering + "'\ni=0\nwhile [ ! -e '" + go +
                     "' ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\nexec '" +
                     std::string(CINDERVAULT_CLI).substr(0, std::string(CINDERVAULT_CLI).rfind('/')) +
                     "/cindervault-render' \"$@\"\n");
    ::chmod(renderer.c_str(), 0755);
    ::setenv("CINDERVAULT_RENDERER", renderer.c_str(), 1);

    int errPipe[2];
    ASSERT_EQ(::pipe(errPipe), 0);
    const std::string out = dir / "out.json";
    const pid_t pid = startCli({"shred", "--yes", "--json", "--verbose", "--report-format", "pdf",
                                "--report-dir", dir / "reports", dir / "victim"},
                               out, errPipe[1]);
    ::close(errPipe[1]);
    ::unsetenv("CINDERVAULT_RENDERER");
    // The job logs "Finished" once its result is made; the report follows.
    std::string err;
    const auto readErr = [&](const char* until) { // up to the text, or to the end
        char buffer[4096];
        for (ssize_t got; (!until || err.find(until) == std::string::npos) &&
                          (got = ::read(errPipe[0], buffer, sizeof buffer)) > 0;)
            err.append(buffer, static_cast<std::size_t>(got));
    };
    readErr("] Finished\n");
    ASSERT_NE(err.find("] Finished\n"), std::string::npos) << err;
    // Past the moment the job's own signal handling ends, inside the report's making.
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         !t::exists(rendering) && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(t::exists(rendering)) << "the renderer never started";
    ::kill(pid, SIGINT);
    ::kill(pid, SIGTERM);
    t::writeFile(go, "");
    readErr(nullptr); // to the end of the stream
    ::close(errPipe[0]);
    OwnHome::setAutoSave(false);

    EXPECT_EQ(waitExit(pid), 0) << "a finished job exits with its own status\n" << err;
    const QJsonObject result = parse(contents(out));
    EXPECT_FALSE(at(result, "canceled").toBool());
    const std::string reportPath = at(result, "reportPath").toString().toStdString();
    EXPECT_EQ(reportPath.rfind(dir / "reports/deletionReport_", 0), 0u) << err;
    EXPECT_TRUE(t::exists(reportPath));
    EXPECT_FALSE(t::exists(dir / "victim"));
}

TEST(CliShred, AFileThatCannotBeRemovedIsOverwrittenButNeverReportedDeleted)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting an ext4 image needs root";
    t::TempDir dir;
    const std::string volume = dir / "ext4";
    t::makeDir(volume);
    t::LoopMount ext4(dir / "ext4.img", volume, "ext4", "16M");
    if (!ext4.available())
        GTEST_SKIP() << "no ext4 loop mount here";
    const std::string target = volume + "/T";
    t::makeDir(target);
    t::makeDir(target + "/append");
    t::writeFile(target + "/append/kept", "secret");
    t::writeFile(target + "/gone", "gone");
    // Entries of an append-only folder cannot be renamed or removed, even by root.
    ASSERT_EQ(t::runProcess({"chattr", "+a", target + "/append"}).exitCode, 0);
    OwnHome::setAutoSave(true);
    const auto run =
        cli({"shred", "--yes", "--json", "--report-format", "html", "--report-dir", dir / "reports", target});
    OwnHome::setAutoSave(false);
    t::runProcess({"chattr", "-a", target + "/append"});

    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(contents(target + "/append/kept"), "secret") << "overwritten all the same";
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(at(result, "status").toString(), QStringLiteral("errors"));
    EXPECT_EQ(at(result, "errorCount").toInt(), 1);
    EXPECT_EQ(at(result, "fileCountRemoved").toInt(), 1);
    std::map<std::string, std::string> states;
    for (const auto& item : at(result, "history").toArray())
        states[at(item, "path").toString().toStdString()] =
            at(item, "state").toString().toStdString() + ": " + at(item, "error").toString().toStdString();
    EXPECT_EQ(states, (std::map<std::string, std::string>{
                          {target + "/gone", "deleted: "},
                          {target + "/append/kept",
                           "overwritten: Overwritten, but could not be deleted: Operation not permitted"}}));
    // The report says the same, row by row, and in its state.
    const std::string html = contents(at(result, "reportPath").toString().toStdString());
    const auto row = html.find(target + "/append/kept");
    ASSERT_NE(row, std::string::npos);
    const std::string keptRow = html.substr(row, html.find("</tr>", row) - row);
    EXPECT_EQ(keptRow.find("Deleted"), std::string::npos) << keptRow;
    EXPECT_NE(keptRow.find("could not be deleted"), std::string::npos) << keptRow;
    EXPECT_NE(html.find("<td>Errors</td>"), std::string::npos) << "the report state";
    EXPECT_NE(html.find(">Errors</div>"), std::string::npos) << "the status title";
}

TEST(CliShred, VerifyReadsPassesBackAndSaysSoInTheJsonAndTheReport)
{
    t::TempDir dir;
    const auto makeTree = [&](const std::string& target) {
        t::makeDir(target);
        t::writeFile(target + "/a.bin", std::string(300000, 'a'));
        t::writeFile(target + "/b.bin", std::string(5000, 'b'));
    };
    OwnHome::setAutoSave(true);
    const auto shred = [&](const std::string& target, const std::vector<std::string>& verify) {
        std::vector<std::string> args{"shred",           "--yes", "--json",       "--method",     "3",
                                      "--report-format", "html",  "--report-dir", dir / "reports"};
        args.insert(args.end(), verify.begin(), verify.end());
        args.push_back(target);
        return cli(args);
    };
    struct Case
    {
        std::vector<std::string> options;
        const char* json;
        const char* block;
        bool verified;
    };
    const Case cases[] = {
        {{"--verify"}, "last pass", "<th>Verification</th><td>last pass read back</td>", true},
        {{"--verify=all"}, "all passes", "<th>Verification</th><td>all passes read back</td>", true},
        {{}, "off", "<th>Verification</th><td>off</td>", false},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        const std::string target = dir / ("T" + std::to_string(++number));
        makeTree(target);
        const auto run = shred(target, c.options);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonObject result = parse(run.out);
        EXPECT_EQ(at(result, "verification").toString(), QLatin1String(c.json));
        EXPECT_EQ(at(result, "bytesCountFinished").toInt(), 305000) << "reads are not counted as written";
        const QJsonArray history = at(result, "history").toArray();
        ASSERT_EQ(history.size(), 2);
        for (const auto& entry : history) {
            EXPECT_EQ(at(entry, "verified").toBool(), c.verified);
            EXPECT_EQ(at(entry, "state").toString(), QStringLiteral("deleted"));
        }
        EXPECT_FALSE(t::exists(target));
        const std::string html = contents(at(result, "reportPath").toString().toStdString());
        EXPECT_NE(html.find(c.block), std::string::npos);
        EXPECT_EQ(html.find("<td>Deleted, verified</td>") != std::string::npos, c.verified);
    }
    OwnHome::setAutoSave(false);

    const auto refused = cli({"shred", "--yes", "--verify=some", dir / "T1"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--verify takes last or all"), std::string::npos) << refused.err;

    // overwrite reads back too, and keeps the file.
    t::writeFile(dir / "kept.bin", std::string(70000, 'k'));
    const auto overwritten = cli({"overwrite", "--method", "16", "--verify=all", dir / "kept.bin"});
    EXPECT_EQ(overwritten.exitCode, 0) << overwritten.err;
    EXPECT_EQ(t::readFile(dir / "kept.bin").size(), 70000u);
    EXPECT_NE(contents(dir / "kept.bin"), std::string(70000, 'k'));
}

TEST(CliShred, WipeFreeWithVerifyReadsItsFillFilesBack)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::TmpfsMount mount(dir.path(), "8m");
    ASSERT_TRUE(mount.available());
    const auto wiped =
        cli({"wipe-free", "--yes", "--json", "--no-report", "--verify", "--method", "11", dir.path()});
    ASSERT_EQ(wiped.exitCode, 0) << wiped.err;
    const QJsonObject result = parse(wiped.out);
    EXPECT_EQ(at(result, "verification").toString(), QStringLiteral("last pass"));
    EXPECT_EQ(at(result, "otherErrorCount").toInt(), 0);
    EXPECT_TRUE(at(at(result, "volumes").toArray().at(0), "freeSpaceWiped").toBool());
    // One-pass bytes: neither the three passes nor the read-back multiply what was wiped.
    EXPECT_LE(at(result, "bytesCountFinished").toDouble(), 8.0 * 1048576);
    EXPECT_GT(at(result, "bytesCountFinished").toDouble(), 7.0 * 1048576);
    EXPECT_TRUE(t::listNames(dir.path()).empty());
}

namespace {

// Runs the command line on a terminal of its own (a pseudo-terminal for standard input, output
// and error) and returns everything it wrote there.
std::string cliOnTerminal(const std::vector<std::string>& args)
{
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(CINDERVAULT_CLI)};
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n > 0)
            output.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break; // EIO once the command has ended and closed its side
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return output;
}

} // namespace

TEST(CliShred, NamesOnATerminalHaveTheirControlCharactersEscaped)
{
    // A name that sets the terminal's title and one that forges a result line: on a terminal
    // both are written as the log writes them.
    t::TempDir dir;
    const std::string title = "a\x1b]0;owned\x07";
    const std::string forged = "b\nDone: 0 of 0 files";
    const std::string target = dir / "target";
    t::makeDir(target);
    // A file with a hard link outside the target is not overwritten: its name is listed.
    t::writeFile(target + "/" + title, "linked");
    ASSERT_EQ(::link((target + "/" + title).c_str(), (dir / "outside").c_str()), 0);
    const std::string scanned = cliOnTerminal({"scan", dir / forged});
    const std::string shredded = cliOnTerminal({"shred", "--yes", "--no-report", target});
    for (const std::string& output : {scanned, shredded}) {
        EXPECT_EQ(output.find("\x1b]0;"), std::string::npos) << output;
        EXPECT_EQ(output.find("\x07"), std::string::npos) << output;
    }
    EXPECT_NE(scanned.find("b\\x0aDone: 0 of 0 files: no such file"), std::string::npos) << scanned;
    EXPECT_NE(shredded.find("a\\x1b]0;owned\\x07"), std::string::npos) << shredded;
}

// The progress line is led by the engine's action, German when the stored language is German: its
// amounts and the word between them follow that language, as the window writes them ("120,6 MB von
// 123,5 MB", "Null KB"); in English the line stays as it was. A narrow terminal keeps the path's end
// and never gets half a letter.
TEST(CliProgress, TheLinesAmountsFollowTheLanguageOfItsAction)
{
    cv::ShredState state;
    state.bytesProgress = 120'600'000;
    state.bytesCount = 123'456'789;
    state.timeSinceStart = 65;
    state.path = "/data/holiday/big.iso";
    state.curAction = cv::localized("Erasing Data");
    EXPECT_EQ(cv::cli::JobRunner::progressLine(state, 200),
              "Erasing Data   97%  120.6 MB of 123.5 MB  00:01:05  /data/holiday/big.iso");

    // As main binds the engine's texts for a stored German.
    const auto english = qScopeGuard([] {
        cv::setLocalizer({});
        cv::cli::LineAmounts::setEngineLanguage("en");
    });
    cv::cli::LineAmounts::setEngineLanguage(
        cv::AppTranslator::bindEngineTexts(QStringLiteral("de")).toStdString());
    ASSERT_EQ(cv::cli::LineAmounts::engineLanguage(), "de");
    state.curAction = cv::localized("Erasing Data");
    EXPECT_EQ(cv::cli::JobRunner::progressLine(state, 200),
              "Daten werden gelöscht   97%  120,6 MB von 123,5 MB  00:01:05  /data/holiday/big.iso");
    state.bytesProgress = 0;
    const std::string narrow = cv::cli::JobRunner::progressLine(state, 75);
    EXPECT_EQ(narrow.size(), 75u);
    EXPECT_NE(narrow.find("Null KB von 123,5 MB"), std::string::npos) << narrow;
    EXPECT_TRUE(narrow.ends_with("...ay/big.iso")) << narrow;
    EXPECT_EQ(cv::cli::JobRunner::progressLine(state, 17), "Daten werden gel") << "never half a letter";
}
