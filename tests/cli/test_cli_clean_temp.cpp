// cindervault-cli clean-temp and volumes, end to end, on category folders the test makes (named
// through the environment; the system's logs and caches are never reached).
#include "ProcessRunner.h"
#include "ProgramsForNobody.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "Unprivileged.h"
#include "tempdata/TempCategories.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

namespace t = cv::test;

namespace {

class OwnHomeAndFolders : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_home = std::make_unique<t::TempDir>();
        ::setenv("HOME", m_home->path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (*m_home / ".config").c_str(), 1);
        t::makeDir(*m_home / ".config");
        t::makeDir(*m_home / ".config/Ostrevane");
        t::writeFile(*m_home / ".config/Ostrevane/Cindervault.ini",
                     "[General]\nkSettingsDeletionReportAutoSave=false\n");
        // Every category searches only what a test names: a run without category options (all of
        // them for root) must never reach the system's folders or the user's Trash.
        for (const cv::TempCategories::Row& row : cv::TempCategories::rows())
            ::setenv(row.folderVariable, "", 1);
        // No system bus: the snapshot removal must fail at once, never ask anyone.
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + *m_home / "no-bus").c_str(), 1);
    }
    void TearDown() override { m_home.reset(); }

private:
    std::unique_ptr<t::TempDir> m_home;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new OwnHomeAndFolders);

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

int number(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toInt();
}

} // namespace

TEST(CliCleanTemp, CleansTheNamedCategoriesFilesAndKeepsEveryFolder)
{
    t::TempDir dir;
    for (const char* folder : {"log", "log/sub", "log/sub/empty", "cache", "cache/pkg", "user"})
        t::makeDir(dir / folder);
    t::writeFile(dir / "log/syslog", std::string(3000, 'l'));
    t::writeFile(dir / "log/sub/old.1", std::string(1000, 'l'));
    t::writeFile(dir / "cache/pkg/a.deb", std::string(500, 'c'));
    t::writeFile(dir / "user/.thumb", std::string(200, 'u'));
    // A category folder that is not there (no X server logs) is nothing to clean, no error.
    ::setenv("CINDERVAULT_TEMP_LOGS", (dir / "log:" + dir / "no-xorg").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_CACHES", (dir / "cache").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_USER_CACHES", (dir / "user").c_str(), 1);

    EXPECT_EQ(cli({"clean-temp", "--json", "--logs"}).exitCode, 2) << "without a terminal it needs --yes";
    EXPECT_EQ(cli({"clean-temp", "--yes", dir / "log"}).exitCode, 2) << "categories, not paths";
    EXPECT_EQ(cli({"clean-temp", "--yes", "--method", "0"}).exitCode, 2) << "the placeholder is no method";
    EXPECT_EQ(t::listNames(dir / "log"), (std::vector<std::string>{"sub", "syslog"}));

    auto run = cli({"clean-temp", "--yes", "--json", "--logs", "--user-caches"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonObject result = parse(run.out);
    EXPECT_EQ(number(result, "fileCountRemoved"), 3);
    EXPECT_EQ(number(result, "bytesCountRemoved"), 4200);
    EXPECT_EQ(number(result, "errorCount"), 0);
    EXPECT_EQ(t::listNames(dir / "log"), std::vector<std::string>{"sub"});
    EXPECT_EQ(t::listNames(dir / "log/sub"), std::vector<std::string>{"empty"});
    EXPECT_TRUE(t::listNames(dir / "user").empty());
    EXPECT_EQ(t::listNames(dir / "cache/pkg"), std::vector<std::string>{"a.deb"}) << "not named, not touched";

    // No category named: every category for root; for a user, the user's own caches and Trash
    // alone, and the system's caches stay.
    const bool root = ::geteuid() == 0;
    run = cli({"clean-temp", "--yes", "--json", "--method", "13"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    result = parse(run.out);
    EXPECT_EQ(number(result, "fileCountRemoved"), root ? 1 : 0);
    EXPECT_EQ(result.value(QLatin1String("method")).toObject().value(QLatin1String("id")).toInt(), 13);
    EXPECT_EQ(t::listNames(dir / "cache"), std::vector<std::string>{"pkg"});
    EXPECT_EQ(t::listNames(dir / "cache/pkg").empty(), root);

    // Snapshots without a reachable helper: the files still go, but the step the user asked for
    // failed, and so did the job.
    t::writeFile(dir / "user/again", "x");
    run = cli({"clean-temp", "--yes", "--json", "--user-caches", "--snapshots"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("snapshots: Snapshots could not be deleted: "), std::string::npos) << run.err;
    // Said once, with --json too: without --verbose no log line repeats the error.
    EXPECT_EQ(run.err.find("cannot be reached"), run.err.rfind("cannot be reached")) << run.err;
    result = parse(run.out);
    EXPECT_EQ(result.value(QLatin1String("status")).toString(), QLatin1String("errors"));
    EXPECT_EQ(number(result, "errorCount"), 0);
    EXPECT_EQ(number(result, "otherErrorCount"), 1);
    EXPECT_TRUE(t::listNames(dir / "user").empty());
}

// Without category options a user who is not root cleans only what is theirs: the user's caches
// and the Trash. The system's logs and caches are root's; a user's job over them would end in one
// error per file. Run as nobody (root drops to it), in a home and folders of nobody's.
TEST(CliCleanTemp, WithoutCategoriesAUserCleansOnlyTheirOwnCachesAndTrash)
{
    t::TempDir dir;
    for (const char* folder : {"home", "home/.config", "home/.config/Ostrevane", "log", "user", "trash",
                               "trash/files", "trash/info"})
        t::makeDir(dir / folder);
    t::writeFile(dir / "home/.config/Ostrevane/Cindervault.ini",
                 "[General]\nkSettingsDeletionReportAutoSave=false\n");
    t::writeFile(dir / "log/syslog", std::string(3000, 'l'));
    t::writeFile(dir / "user/thumb", std::string(200, 'u'));
    t::writeFile(dir / "trash/files/old", std::string(50, 't'));
    t::writeFile(dir / "trash/info/old.trashinfo", "[Trash Info]\nPath=/home/u/old\n");
    for (const char* entry :
         {"", "/home", "/home/.config", "/home/.config/Ostrevane", "/home/.config/Ostrevane/Cindervault.ini",
          "/log", "/log/syslog", "/user", "/user/thumb", "/trash", "/trash/files", "/trash/files/old",
          "/trash/info", "/trash/info/old.trashinfo"})
        t::giveToNobody(dir.path() + entry);
    ::setenv("CINDERVAULT_TEMP_LOGS", (dir / "log").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_USER_CACHES", (dir / "user").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_TRASH", (dir / "trash").c_str(), 1);
    const std::string home = dir / "home";
    t::ProcessOptions asNobody;
    asNobody.beforeExec = [&home] {
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        if (::geteuid() != 0)
            return true;
        return ::setgroups(0, nullptr) == 0 &&
               ::setresgid(t::kNogroupGid, t::kNogroupGid, t::kNogroupGid) == 0 &&
               ::setresuid(t::kNobodyUid, t::kNobodyUid, t::kNobodyUid) == 0;
    };
    // As root the job runs as nobody, from copies nobody may run wherever the build tree lies.
    std::string program = CINDERVAULT_CLI;
    std::optional<t::ProgramsForNobody> programs;
    if (::geteuid() == 0) {
        programs.emplace(dir.path(), std::vector<std::string>{CINDERVAULT_CLI},
                         std::vector<std::string>{"libcindervault-cli-qt"});
        if (!programs->whyNot().empty())
            GTEST_SKIP() << programs->whyNot();
        program = (*programs)[CINDERVAULT_CLI];
    }
    const auto run = t::runProcess({program, "clean-temp", "--yes", "--json"}, asNobody);
    for (const char* variable :
         {"CINDERVAULT_TEMP_LOGS", "CINDERVAULT_TEMP_USER_CACHES", "CINDERVAULT_TEMP_TRASH"})
        ::setenv(variable, "", 1);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(number(result, "errorCount"), 0);
    EXPECT_EQ(number(result, "fileCountRemoved"), 3) << "the cache file, the trashed item and its record";
    EXPECT_EQ(t::listNames(dir / "log"), std::vector<std::string>{"syslog"}) << "the system's logs untouched";
    EXPECT_TRUE(t::listNames(dir / "user").empty());
    EXPECT_TRUE(t::listNames(dir / "trash/files").empty());

    // The help says how it chooses.
    const auto help = cli({"clean-temp", "--help"});
    EXPECT_NE((help.out + help.err).find("the user's caches and the Trash for anyone else"),
              std::string::npos)
        << help.out << help.err;
}

TEST(CliCleanTemp, TheSystemsStateUnderTheCachesIsKeptAndNamed)
{
    t::TempDir dir;
    for (const char* folder : {"cache", "cache/debconf", "cache/apt", "cache/bind"})
        t::makeDir(dir / folder);
    // debconf's database: every answer given to the package system; nothing regenerates it.
    for (const char* name : {"config.dat", "passwords.dat", "templates.dat", "config.dat-old"})
        t::writeFile(dir / "cache/debconf/" + name, std::string("state of ") + name);
    t::writeFile(dir / "cache/bind/managed-keys.bind", "trust anchors");
    t::writeFile(dir / "cache/apt/pkgcache.bin", std::string(700, 'p'));
    ::setenv("CINDERVAULT_TEMP_CACHES", (dir / "cache").c_str(), 1);
    const auto run = cli({"clean-temp", "--yes", "--json", "--caches"});
    ::setenv("CINDERVAULT_TEMP_CACHES", "", 1);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(number(result, "fileCountTotal"), 1) << "the kept files are not in the category's totals";
    EXPECT_EQ(number(result, "bytesCountTotal"), 700);
    EXPECT_EQ(number(result, "fileCountRemoved"), 1);
    EXPECT_TRUE(t::listNames(dir / "cache/apt").empty());
    EXPECT_EQ(t::listNames(dir / "cache/debconf").size(), 4u);
    const std::string passwords = "state of passwords.dat";
    EXPECT_EQ(t::readFile(dir / "cache/debconf/passwords.dat"),
              std::vector<std::uint8_t>(passwords.begin(), passwords.end()));
    EXPECT_EQ(t::listNames(dir / "cache/bind"), std::vector<std::string>{"managed-keys.bind"});
    std::map<std::string, std::string> kept;
    for (const auto& entry : result.value(QLatin1String("kept")).toArray()) {
        const QJsonObject object = entry.toObject();
        kept[object.value(QLatin1String("path")).toString().toStdString()] =
            object.value(QLatin1String("reason")).toString().toStdString();
    }
    EXPECT_EQ(kept, (std::map<std::string, std::string>{
                        {dir / "cache/bind", "The name server's zones and keys (BIND working folder)"},
                        {dir / "cache/debconf", "The package system's answers (debconf database)"}}));
}

TEST(CliCleanTemp, TheTrashGoesItemByItemEachRecordAfterItsItem)
{
    t::TempDir dir;
    const std::string trash = dir / "Trash";
    for (const char* folder : {"", "/files", "/info", "/files/folder", "/files/folder/sub"})
        t::makeDir(trash + folder);
    t::writeFile(dir / "outside", "not in the Trash");
    t::writeFile(trash + "/files/a.txt", std::string(100, 'a'));
    t::writeFile(trash + "/info/a.txt.trashinfo", "[Trash Info]\nPath=/home/u/a.txt\n");
    t::writeFile(trash + "/files/folder/sub/inner", std::string(50, 'i'));
    t::writeFile(trash + "/info/folder.trashinfo", "[Trash Info]\nPath=/home/u/folder\n");
    ASSERT_EQ(::symlink((dir / "outside").c_str(), (trash + "/files/link").c_str()), 0);
    t::writeFile(trash + "/info/link.trashinfo", "[Trash Info]\nPath=/home/u/link\n");
    t::writeFile(trash + "/files/no-record", "n");
    t::writeFile(trash + "/info/gone.trashinfo", "[Trash Info]\nPath=/home/u/gone\n");
    t::writeFile(trash + "/directorysizes", "50 1700000000 folder\n");
    // An item that cannot be shredded: a trashed folder with another file system mounted in it.
    std::unique_ptr<t::TmpfsMount> mounted;
    if (t::isRoot()) {
        t::makeDir(trash + "/files/held");
        t::makeDir(trash + "/files/held/mnt");
        t::writeFile(trash + "/info/held.trashinfo", "[Trash Info]\nPath=/home/u/held\n");
        mounted = std::make_unique<t::TmpfsMount>(trash + "/files/held/mnt", "1m");
        ASSERT_TRUE(mounted->available());
    }
    ::setenv("CINDERVAULT_TEMP_TRASH", trash.c_str(), 1);
    const auto run = cli({"empty-trash", "--yes", "--json"});
    ::setenv("CINDERVAULT_TEMP_TRASH", "", 1);

    EXPECT_EQ(run.exitCode, t::isRoot() ? 1 : 0) << run.err;
    EXPECT_EQ(t::readFile(dir / "outside").size(), 16u) << "a link's target is never touched";
    EXPECT_EQ(t::listNames(trash + "/files"),
              t::isRoot() ? std::vector<std::string>{"held"} : std::vector<std::string>{});
    EXPECT_EQ(t::listNames(trash + "/info"),
              t::isRoot() ? std::vector<std::string>{"held.trashinfo"} : std::vector<std::string>{})
        << "each record went with its item; the item that stays keeps its record";
    EXPECT_EQ(t::listNames(trash), (std::vector<std::string>{"files", "info"})) << "directorysizes is gone";
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(number(result, "errorCount"), 0);
    EXPECT_EQ(number(result, "otherErrorCount"), t::isRoot() ? 1 : 0) << "the mount point";
    // The log and cache categories are not part of empty-trash.
    EXPECT_EQ(result.value(QLatin1String("paths")).toArray().size(), t::isRoot() ? 7 : 6);
}

TEST(CliCleanTemp, AFileThatCannotBeWrittenIsAnErrorAndStays)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::makeDir(dir / "logs");
    t::TmpfsMount tmpfs(dir / "logs", "1m");
    ASSERT_TRUE(tmpfs.available());
    t::writeFile(dir / "logs/auth.log", std::string(700, 'a'));
    // Read-only for this mount point alone, as a log the user may not write is.
    ASSERT_EQ(::mount(nullptr, (dir / "logs").c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
              0);
    ::setenv("CINDERVAULT_TEMP_LOGS", (dir / "logs").c_str(), 1);
    ::setenv("CINDERVAULT_TEMP_CACHES", "", 1);
    ::setenv("CINDERVAULT_TEMP_USER_CACHES", "", 1);
    const auto run = cli({"clean-temp", "--yes", "--json"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(number(result, "errorCount"), 1);
    EXPECT_EQ(number(result, "fileCountRemoved"), 0) << "never reported as cleaned";
    EXPECT_EQ(t::listNames(dir / "logs"), std::vector<std::string>{"auth.log"});
    ::setenv("CINDERVAULT_TEMP_LOGS", "", 1);
}

TEST(CliCleanTemp, VerifyReadsEachFileBackBeforeItGoes)
{
    t::TempDir dir;
    t::makeDir(dir / "log");
    t::writeFile(dir / "log/syslog", std::string(3000, 'l'));
    ::setenv("CINDERVAULT_TEMP_LOGS", (dir / "log").c_str(), 1);
    const auto run = cli({"clean-temp", "--yes", "--json", "--no-report", "--logs", "--verify"});
    ::setenv("CINDERVAULT_TEMP_LOGS", "", 1);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject result = parse(run.out);
    EXPECT_EQ(result.value(QLatin1String("verification")).toString(), QStringLiteral("last pass"));
    const QJsonArray history = result.value(QLatin1String("history")).toArray();
    ASSERT_EQ(history.size(), 1);
    EXPECT_TRUE(history.at(0).toObject().value(QLatin1String("verified")).toBool());
    EXPECT_TRUE(t::listNames(dir / "log").empty());
}

TEST(CliVolumes, ListsWhatTheFreeSpaceTabLists)
{
    auto run = cli({"volumes", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonParseError error;
    auto volumes = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    for (const auto& volume : volumes) {
        const QString path = volume.toObject().value(QLatin1String("path")).toString();
        EXPECT_FALSE(path.startsWith(QLatin1String("/proc")) || path.startsWith(QLatin1String("/sys")))
            << "pseudo mounts are left out: " << path.toStdString();
        if (path == QLatin1String("/")) {
            EXPECT_TRUE(
                volume.toObject().value(QLatin1String("name")).toString().startsWith(QLatin1String("/")));
        }
    }
    EXPECT_EQ(cli({"volumes", "/"}).exitCode, 2);
    if (!t::isRoot())
        return;
    // A volume mounted now is listed at once, with its size.
    t::TempDir dir;
    t::makeDir(dir / "v");
    t::TmpfsMount tmpfs(dir / "v", "2m");
    ASSERT_TRUE(tmpfs.available());
    run = cli({"volumes", "--json"});
    volumes = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    bool listed = false;
    for (const auto& volume : volumes) {
        const QJsonObject object = volume.toObject();
        if (object.value(QLatin1String("path")).toString().toStdString() == dir / "v") {
            listed = true;
            EXPECT_EQ(object.value(QLatin1String("size")).toInteger(), 2 * 1024 * 1024);
        }
    }
    EXPECT_TRUE(listed) << run.out;
}
