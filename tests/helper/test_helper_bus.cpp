// The real helper on a private bus of the test's own, called through the application's client:
// the installed helper refuses every privileged call when polkit is not there and asks polkit about
// the very caller when it is; the test build of the helper (whose authorizer allows everything)
// shows what the operations do to files, folders, links, a loop-mounted volume and snapper.
#include "PrivateBus.h"
#include "ProcessRunner.h"
#include "ReplyCatcher.h"
#include "TempDir.h"
#include "common/UniqueFd.h"
#include "helper/MountTable.h"
#include "system/HelperToolProtocol.h"
#include "system/HelperToolService.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using cv::HelperToolProtocol;
using cv::HelperToolService;
using cv::test::PrivateBus;
using cv::test::ReplyCatcher;
using cv::test::TempDir;

namespace {

const QString kInstalledHelper = QStringLiteral(CINDERVAULT_HELPER);
const QString kTestHelper = QStringLiteral(CINDERVAULT_TEST_HELPER);
const QStringList kShortIdle = {QStringLiteral("--idle-exit"), QStringLiteral("2")};

const std::string kInvalidArgument = HelperToolProtocol::errorInvalidArgument;
const std::string kAccessDenied = HelperToolProtocol::errorAccessDenied;

// Calls one operation of the client and waits for its reply: "" on success, else the error text.
std::string call(const std::function<void(HelperToolService::Reply)>& operation)
{
    ReplyCatcher catcher;
    operation(catcher.reply());
    if (!catcher.wait(60000))
        return "no reply";
    return catcher.errorText();
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Calls the helper directly on connection, running the event loop meanwhile (a stand-in service
// in this process may have to answer the helper first).
QDBusMessage callDirectly(QDBusConnection& connection, const QString& method,
                          const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(HelperToolProtocol::serviceName), QLatin1String(HelperToolProtocol::objectPath),
        QLatin1String(HelperToolProtocol::interfaceName), method);
    message.setArguments(arguments);
    QDBusPendingCall pending = connection.asyncCall(message, 30000);
    cv::test::waitUntil([&] { return pending.isFinished(); }, 40000);
    return pending.reply();
}

QByteArray bytes(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

mode_t modeOf(const std::string& path)
{
    struct stat info = {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A connection of the test's own on the private bus, gone with the object.
class BusConnection
{
public:
    BusConnection(const QString& address, const QString& name)
        : m_name(name), m_connection(QDBusConnection::connectToBus(address, name))
    {}
    ~BusConnection() { QDBusConnection::disconnectFromBus(m_name); }
    QDBusConnection& operator*() { return m_connection; }
    QDBusConnection* operator->() { return &m_connection; }

private:
    QString m_name;
    QDBusConnection m_connection;
};

// polkit's authority, standing in on the private bus: records what the helper asks and answers
// yes, no, or an error, one answer per question in the order given.
class FakePolkitAuthority : public QDBusVirtualObject
{
public:
    enum class Answer
    {
        Yes,
        No,
        Error,
    };
    struct Question
    {
        QString subjectKind;
        QString subjectName;
        QString actionId;
        uint flags = 0;
    };

    explicit FakePolkitAuthority(const QString& address)
        : m_connection(address, QStringLiteral("fake-polkit"))
    {
        m_connection->registerVirtualObject(QStringLiteral("/org/freedesktop/PolicyKit1/Authority"), this);
        m_registered = m_connection->registerService(QStringLiteral("org.freedesktop.PolicyKit1"));
    }
    ~FakePolkitAuthority() override
    {
        m_connection->unregisterObject(QStringLiteral("/org/freedesktop/PolicyKit1/Authority"));
    }

    bool registered() const { return m_registered; }
    std::deque<Answer> answers;
    std::vector<Question> questions;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("CheckAuthorization") || message.arguments().size() != 5)
            return false;
        Question question;
        const QDBusArgument subject = message.arguments().at(0).value<QDBusArgument>();
        QVariantMap details;
        subject.beginStructure();
        subject >> question.subjectKind >> details;
        subject.endStructure();
        question.subjectName = details.value(QStringLiteral("name")).toString();
        question.actionId = message.arguments().at(1).toString();
        question.flags = message.arguments().at(3).toUInt();
        questions.push_back(question);

        const Answer answer = answers.empty() ? Answer::No : answers.front();
        if (!answers.empty())
            answers.pop_front();
        if (answer == Answer::Error) {
            connection.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.PolicyKit1.Error.Failed"),
                                         QStringLiteral("the authority broke down")));
            return true;
        }
        QDBusArgument result; // (bba{ss})
        result.beginStructure();
        result << (answer == Answer::Yes) << false;
        result.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
        result.endMap();
        result.endStructure();
        connection.send(message.createReply(QVariant::fromValue(result)));
        return true;
    }

private:
    BusConnection m_connection;
    bool m_registered = false;
};

// An ext4 image with a label, mounted with "mount -o loop" on a folder of the test for the life of
// the object (so its loop device clears itself when unmounted, as desktop mounts do); unmounted and
// its loop device detached at the end, whatever happened in between.
class LoopVolume
{
public:
    LoopVolume(const std::string& folder, const std::string& label) : m_image(folder + "/volume.img")
    {
        m_mountPoint = folder + "/mnt";
        cv::test::makeDir(m_mountPoint);
        if (cv::test::runProcess({"truncate", "-s", "16M", m_image}).exitCode != 0 ||
            cv::test::runProcess({"mkfs.ext4", "-q", "-L", label, m_image}).exitCode != 0 ||
            cv::test::runProcess({"mount", "-o", "loop", m_image, m_mountPoint}).exitCode != 0)
            return;
        const auto mounts = cv::MountTable::readCurrent();
        for (const auto& entry : mounts.value_or(std::vector<cv::MountEntry>{})) {
            if (entry.mountPoint == m_mountPoint)
                m_device = entry.source;
        }
        m_mounted = !m_device.empty();
    }
    ~LoopVolume()
    {
        while (::umount2(m_mountPoint.c_str(), 0) == 0) {
        }
        if (!m_device.empty() && cv::test::runProcess({"losetup", "-j", m_image}).out.find(m_device) == 0)
            cv::test::runProcess({"losetup", "-d", m_device});
    }
    bool mounted() const { return m_mounted; }
    const std::string& mountPoint() const { return m_mountPoint; }
    const std::string& device() const { return m_device; }

private:
    std::string m_image;
    std::string m_mountPoint;
    std::string m_device;
    bool m_mounted = false;
};

} // namespace

TEST(InstalledHelper, RefusesEveryPrivilegedCallWithoutPolkit)
{
    PrivateBus bus(kInstalledHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const std::string file = bus.folder() + "/protected";
    cv::test::writeFile(file, std::string("keep me"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);

    BusConnection caller(bus.address(), QStringLiteral("caller"));
    const QDBusMessage version = callDirectly(*caller, QStringLiteral("getVersion"));
    ASSERT_EQ(version.type(), QDBusMessage::ReplyMessage) << qPrintable(version.errorMessage());
    EXPECT_EQ(version.arguments().value(0).toString(), QStringLiteral("1.0"));

    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;
    EXPECT_PRED2(contains, call([&](Reply r) { service.allowWriteOperationsOnPath(file, r); }),
                 kAccessDenied);
    EXPECT_PRED2(contains, call([&](Reply r) { service.deleteFileAtPath(file, r); }), kAccessDenied);
    EXPECT_PRED2(contains, call([&](Reply r) { service.reformatVolumeAt(bus.folder(), r); }), kAccessDenied);
    EXPECT_PRED2(contains, call([&](Reply r) { service.deleteSnapshotsWithReply(r); }), kAccessDenied);
    // Refused before its argument is even looked at.
    EXPECT_PRED2(contains, call([&](Reply r) { service.deleteFileAtPath("relative", r); }), kAccessDenied);

    EXPECT_TRUE(cv::test::exists(file));
    EXPECT_EQ(modeOf(file), 0400u);
}

TEST(InstalledHelper, AsksPolkitAboutTheCallerForEveryCall)
{
    PrivateBus bus(kInstalledHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    polkit.answers = {FakePolkitAuthority::Answer::Yes, FakePolkitAuthority::Answer::No,
                      FakePolkitAuthority::Answer::Error};
    const std::string first = bus.folder() + "/first";
    const std::string second = bus.folder() + "/second";
    cv::test::writeFile(first, std::string("1"));
    cv::test::writeFile(second, std::string("2"));

    BusConnection caller(bus.address(), QStringLiteral("caller"));
    const QDBusMessage allowed = callDirectly(*caller, QStringLiteral("deleteFileAtPath"), {bytes(first)});
    EXPECT_EQ(allowed.type(), QDBusMessage::ReplyMessage) << qPrintable(allowed.errorMessage());
    EXPECT_FALSE(cv::test::exists(first));

    const QDBusMessage denied = callDirectly(*caller, QStringLiteral("deleteFileAtPath"), {bytes(second)});
    EXPECT_EQ(denied.errorName().toStdString(), kAccessDenied);
    const QDBusMessage broken = callDirectly(*caller, QStringLiteral("deleteFileAtPath"), {bytes(second)});
    EXPECT_EQ(broken.errorName().toStdString(), kAccessDenied) << "an error of polkit is a refusal";
    EXPECT_TRUE(cv::test::exists(second));

    ASSERT_EQ(polkit.questions.size(), 3u) << "asked on every call, not once";
    for (const auto& question : polkit.questions) {
        EXPECT_EQ(question.subjectKind, QStringLiteral("system-bus-name"));
        EXPECT_EQ(question.subjectName, caller->baseService()) << "the caller, not the helper";
        EXPECT_EQ(question.actionId, QStringLiteral("com.Ostrevane.CindervaultForMac.adminPermission"));
        EXPECT_EQ(question.flags, 1u) << "the user may be asked for a password";
    }
}

TEST(HelperOperations, OpensARootFileUpForAnUnprivilegedCaller)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the helper changes a root-owned file for the user nobody";
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const std::string file = bus.folder() + "/root-only";
    cv::test::writeFile(file, std::string("root's content"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);

    const auto asNobody = [&](const std::string& command, const std::string& argument = std::string()) {
        std::vector<std::string> argv = {
            "setpriv",        "--reuid=nobody",         "--regid=nogroup",
            "--clear-groups", CINDERVAULT_HELPER_PROBE, bus.address().toStdString(),
            command};
        if (!argument.empty())
            argv.push_back(argument);
        return cv::test::runProcess(argv);
    };
    const auto before = asNobody("can-write", file);
    ASSERT_EQ(before.exitCode, 1) << "nobody must not be able to write it yet: " << before.err;
    const auto opened = asNobody("allow-write", file);
    EXPECT_EQ(opened.exitCode, 0) << opened.err;

    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u) << "the caller's user, as the bus knows it";
    EXPECT_EQ(info.st_mode & 0600, 0600u);
    EXPECT_EQ(cv::test::readFile(file), (std::vector<std::uint8_t>{'r', 'o', 'o', 't', '\'', 's', ' ', 'c',
                                                                   'o', 'n', 't', 'e', 'n', 't'}));

    // The bus policy: nobody may call the helper (above), but not take its name.
    const auto own = asNobody("own-name");
    EXPECT_EQ(own.exitCode, 0) << own.err;
}

TEST(HelperOperations, RefusesLinksSpecialFilesAndPathsThroughLinks)
{
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;
    const std::string target = bus.folder() + "/target";
    cv::test::writeFile(target, std::string("x"));
    ASSERT_EQ(::chmod(target.c_str(), 0400), 0);
    const std::string link = bus.folder() + "/link";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = bus.folder() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    cv::test::makeDir(bus.folder() + "/real");
    cv::test::writeFile(bus.folder() + "/real/file", std::string("x"));
    ASSERT_EQ(::chmod((bus.folder() + "/real/file").c_str(), 0400), 0);
    ASSERT_EQ(::symlink("real", (bus.folder() + "/linked-folder").c_str()), 0);

    for (const auto& path : {link, fifo, bus.folder(), bus.folder() + "/linked-folder/file"}) {
        const std::string error = call([&](Reply r) { service.allowWriteOperationsOnPath(path, r); });
        EXPECT_PRED2(contains, error, kInvalidArgument) << path;
    }
    EXPECT_EQ(modeOf(target), 0400u) << "the link's target is untouched";
    EXPECT_EQ(modeOf(bus.folder() + "/real/file"), 0400u);
    EXPECT_EQ(modeOf(link), 0777u);

    const std::string through =
        call([&](Reply r) { service.deleteFileAtPath(bus.folder() + "/linked-folder/file", r); });
    EXPECT_PRED2(contains, through, kInvalidArgument);
    EXPECT_TRUE(cv::test::exists(bus.folder() + "/real/file"));
}

TEST(HelperOperations, RefusesRelativePathsDotDotAndWhatIsNoMountPoint)
{
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;
    cv::test::makeDir(bus.folder() + "/sub");
    const std::string victim = bus.folder() + "/victim";
    cv::test::writeFile(victim, std::string("x"));
    ASSERT_EQ(::chmod(victim.c_str(), 0400), 0);

    const std::vector<std::string> refused = {"victim", "./victim", "", bus.folder() + "/sub/../victim",
                                              std::string("/tmp/x\0/..", 10)};
    for (const auto& path : refused) {
        EXPECT_PRED2(contains, call([&](Reply r) { service.allowWriteOperationsOnPath(path, r); }),
                     kInvalidArgument)
            << path;
        EXPECT_PRED2(contains, call([&](Reply r) { service.deleteFileAtPath(path, r); }), kInvalidArgument)
            << path;
        EXPECT_PRED2(contains, call([&](Reply r) { service.reformatVolumeAt(path, r); }), kInvalidArgument)
            << path;
    }
    EXPECT_TRUE(cv::test::exists(victim));
    EXPECT_EQ(modeOf(victim), 0400u);

    const std::string root = call([&](Reply r) { service.reformatVolumeAt("/", r); });
    EXPECT_PRED2(contains, root, "startup volume");
    const std::string folder = call([&](Reply r) { service.reformatVolumeAt(bus.folder(), r); });
    EXPECT_PRED2(contains, folder, "not a mount point");
    EXPECT_PRED2(contains, call([&](Reply r) { service.deleteFileAtPath("/", r); }), kInvalidArgument);
}

TEST(HelperOperations, DeletesLinksAndFoldersButNeverWhatLinksPointTo)
{
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;
    const std::string outside = bus.folder() + "/outside";
    cv::test::makeDir(outside);
    cv::test::writeFile(outside + "/keep", std::string("keep"));
    const std::string link = bus.folder() + "/link";
    ASSERT_EQ(::symlink((outside + "/keep").c_str(), link.c_str()), 0);
    const std::string tree = bus.folder() + "/tree";
    cv::test::makeDir(tree);
    cv::test::makeDir(tree + "/sub");
    cv::test::writeFile(tree + std::string("/sub/caf\xe9 \x01"), std::string("not UTF-8"));
    ASSERT_EQ(::symlink(outside.c_str(), (tree + "/sub/to-outside").c_str()), 0);
    const std::string oddName = bus.folder() + std::string("/na\xefve\xff");
    cv::test::writeFile(oddName, std::string("x"));

    EXPECT_EQ(call([&](Reply r) { service.deleteFileAtPath(link, r); }), "");
    EXPECT_FALSE(cv::test::exists(link));
    EXPECT_TRUE(cv::test::exists(outside + "/keep"));

    EXPECT_EQ(call([&](Reply r) { service.deleteFileAtPath(tree, r); }), "");
    EXPECT_FALSE(cv::test::exists(tree));
    EXPECT_TRUE(cv::test::exists(outside + "/keep"));

    EXPECT_EQ(call([&](Reply r) { service.deleteFileAtPath(oddName, r); }), "") << "names travel as bytes";
    EXPECT_FALSE(cv::test::exists(oddName));
    EXPECT_EQ(call([&](Reply r) { service.deleteFileAtPath(bus.folder() + "/never-there", r); }), "");
}

TEST(HelperOperations, ReformatsALoopMountedVolumeKeepingItsLabelAndMountPoint)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount a loop image";
    TempDir dir;
    LoopVolume volume(dir.path(), "CVLABEL");
    if (!volume.mounted())
        GTEST_SKIP() << "no loop devices here";
    cv::test::writeFile(volume.mountPoint() + "/data.txt", std::string("shredded already"));
    cv::test::makeDir(volume.mountPoint() + "/folder");

    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;

    // A volume in use is left as it is: the unmount fails before anything is made.
    {
        cv::UniqueFd busy(::open((volume.mountPoint() + "/data.txt").c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(busy);
        const std::string inUse = call([&](Reply r) { service.reformatVolumeAt(volume.mountPoint(), r); });
        EXPECT_PRED2(contains, inUse, "Cannot unmount");
        EXPECT_TRUE(cv::test::exists(volume.mountPoint() + "/data.txt"));
    }

    EXPECT_EQ(call([&](Reply r) { service.reformatVolumeAt(volume.mountPoint() + "/", r); }), "");

    const auto mounts = cv::MountTable::readCurrent();
    ASSERT_TRUE(mounts);
    const auto mounted = std::find_if(mounts->rbegin(), mounts->rend(), [&](const cv::MountEntry& entry) {
        return entry.mountPoint == volume.mountPoint();
    });
    ASSERT_NE(mounted, mounts->rend()) << "mounted again at the same place";
    EXPECT_EQ(mounted->fsType, "ext4");
    EXPECT_EQ(mounted->source, volume.device());
    const auto label = cv::test::runProcess({"blkid", "-p", "-o", "value", "-s", "LABEL", volume.device()});
    EXPECT_EQ(label.out, "CVLABEL\n");
    EXPECT_EQ(cv::test::listNames(volume.mountPoint()), (std::vector<std::string>{"lost+found"}))
        << "a new, empty file system";
}

TEST(HelperOperations, DeletesSnapperSnapshotsOrNamesTheMissingTool)
{
    TempDir tools;
    PrivateBus bus(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("2"),
                                 QStringLiteral("--tool-path"), QString::fromStdString(tools.path())});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());
    using Reply = HelperToolService::Reply;

    const std::string missing = call([&](Reply r) { service.deleteSnapshotsWithReply(r); });
    EXPECT_PRED2(contains, missing, HelperToolProtocol::errorToolMissing);
    EXPECT_PRED2(contains, missing, "snapper");

    // A snapper of the test's own that lists three snapshots beside the live system (0).
    const std::string log = tools / "calls";
    cv::test::writeFile(tools / "snapper",
                        "#!/bin/sh\necho \"$*\" >> " + log +
                            "\ncase \"$*\" in *list*) printf 'number\\n0\\n3\\n4\\n7\\n';; esac\n");
    ASSERT_EQ(::chmod((tools / "snapper").c_str(), 0755), 0);
    EXPECT_EQ(call([&](Reply r) { service.deleteSnapshotsWithReply(r); }), "");
    const auto calls = cv::test::readFile(log);
    EXPECT_EQ(std::string(calls.begin(), calls.end()),
              "--no-dbus --csvout -c root list --columns number\n--no-dbus -c root delete 3 4 7\n");

    // snapper's own failure comes back with its message.
    cv::test::writeFile(tools / "snapper", std::string("#!/bin/sh\necho 'Unknown config.' >&2\nexit 1\n"));
    const std::string failed = call([&](Reply r) { service.deleteSnapshotsWithReply(r); });
    EXPECT_PRED2(contains, failed, "Unknown config.");
}

TEST(HelperLifetime, LeavesWhenIdleAndIsStartedAgainByTheNextCall)
{
    PrivateBus bus(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("0.3")});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    BusConnection caller(bus.address(), QStringLiteral("caller"));
    const QString name = QLatin1String(HelperToolProtocol::serviceName);

    ASSERT_EQ(callDirectly(*caller, QStringLiteral("getVersion")).type(), QDBusMessage::ReplyMessage);
    const QString first = caller->interface()->serviceOwner(name).value();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(
        cv::test::waitUntil([&] { return !caller->interface()->isServiceRegistered(name).value(); }, 20000))
        << "the helper never left";

    const QDBusMessage again = callDirectly(*caller, QStringLiteral("getVersion"));
    EXPECT_EQ(again.arguments().value(0).toString(), QStringLiteral("1.0"));
    EXPECT_NE(caller->interface()->serviceOwner(name).value(), first) << "a new helper answered";
}

TEST(HelperOperations, SurvivesDeletingAFolderNestedDeeperThanItWalks)
{
    // As many descriptors as the system lets this test have: the helper started by the bus inherits
    // them, and a walk that is bounded only by them runs out of stack first.
    rlimit files = {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlimit before = files;
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    ::getrlimit(RLIMIT_NOFILE, &files);
    const std::size_t depth = static_cast<std::size_t>(std::clamp<rlim_t>(files.rlim_cur, 400, 30200) - 200);

    PrivateBus bus(kTestHelper, kShortIdle);
    ::setrlimit(RLIMIT_NOFILE, &before);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const std::string top = bus.folder() + "/deep";
    cv::test::makeDir(top);
    {
        cv::UniqueFd folder(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        for (std::size_t i = 0; i < depth && folder; ++i) {
            ASSERT_EQ(::mkdirat(folder.get(), "d", 0700), 0);
            folder = cv::UniqueFd(::openat(folder.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        }
        ASSERT_TRUE(folder);
    }

    BusConnection caller(bus.address(), QStringLiteral("caller"));
    ASSERT_EQ(callDirectly(*caller, QStringLiteral("getVersion")).type(), QDBusMessage::ReplyMessage);
    const QString helper = caller->interface()->serviceOwner(QLatin1String(HelperToolProtocol::serviceName));
    const QDBusMessage answer = callDirectly(*caller, QStringLiteral("deleteFileAtPath"), {bytes(top)});
    EXPECT_NE(answer.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NoReply"))
        << "depth " << depth << ": " << qPrintable(answer.errorMessage());
    if (depth > 1024) {
        EXPECT_PRED2(contains, answer.errorMessage().toStdString(), "nested folders") << "depth " << depth;
    }
    EXPECT_EQ(caller->interface()->serviceOwner(QLatin1String(HelperToolProtocol::serviceName)).value(),
              helper)
        << "the helper died";

    // What the helper left in place, removed bottom-up through descriptors (the paths are too long
    // for the usual removal).
    std::vector<cv::UniqueFd> chain;
    chain.emplace_back(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ::setrlimit(RLIMIT_NOFILE, &files);
    while (chain.back()) {
        cv::UniqueFd next(::openat(chain.back().get(), "d", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next)
            break;
        chain.push_back(std::move(next));
    }
    while (chain.size() > 1) {
        chain.pop_back();
        ::unlinkat(chain.back().get(), "d", AT_REMOVEDIR);
    }
    ::setrlimit(RLIMIT_NOFILE, &before);
}
