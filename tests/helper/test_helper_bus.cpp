// The real helper on a private bus of the test's own, called through the application's client:
// the installed helper refuses every privileged call when polkit is not there and asks polkit about
// the very caller when it is; the test build of the helper (whose authorizer allows everything)
// shows what the operations do to files, folders, links, a loop-mounted volume and snapper.
#include "PrivateBus.h"
#include "ProcessRunner.h"
#include "ProgramsForNobody.h"
#include "ReplyCatcher.h"
#include "TempDir.h"
#include "common/ConfirmedVolume.h"
#include "common/HelperToolProtocol.h"
#include "common/MountTable.h"
#include "common/UniqueFd.h"
#include "engine/HelperWait.h"
#include "helper/ArgumentCheck.h"
#include "helper/FileOperations.h"
#include "helper/HelperTool.h"
#include "system/HelperToolService.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <pty.h>
#include <pwd.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
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

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// mayAsk: the call lets the user be asked for a password, as the window's and the command line's do.
QDBusPendingCall callLater(QDBusConnection& connection, const QString& method, const QVariantList& arguments,
                           int timeoutMs = 60000, bool mayAsk = true)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(HelperToolProtocol::serviceName), QLatin1String(HelperToolProtocol::objectPath),
        QLatin1String(HelperToolProtocol::interfaceName), method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(mayAsk);
    return connection.asyncCall(message, timeoutMs);
}

// Calls the helper directly on connection, running the event loop meanwhile (a stand-in service
// in this process may have to answer the helper first).
QDBusMessage callDirectly(QDBusConnection& connection, const QString& method,
                          const QVariantList& arguments = {}, int timeoutMs = 30000, bool mayAsk = true)
{
    QDBusPendingCall pending = callLater(connection, method, arguments, timeoutMs, mayAsk);
    cv::test::waitUntil([&] { return pending.isFinished(); }, timeoutMs + 10000);
    return pending.reply();
}

// The process that serves the helper's name on the bus now, or 0.
qint64 helperPid(QDBusConnection& connection)
{
    const QDBusReply<uint> pid =
        connection.interface()->servicePid(QLatin1String(HelperToolProtocol::serviceName));
    return pid.isValid() ? pid.value() : 0;
}

// The most memory the process pid has held at once, in kB (VmHWM of /proc/PID/status), or -1.
long peakResidentKb(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

QByteArray bytes(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

// The entry at path as the engine examines it: its folder, its name, its device and inode (0 when
// there is nothing).
cv::ExaminedEntry examined(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    cv::ExaminedEntry entry;
    if (slash == std::string::npos) {
        entry.name = path;
    } else {
        entry.folder = slash == 0 ? std::string("/") : path.substr(0, slash);
        entry.name = path.substr(slash + 1);
    }
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0) {
        entry.device = info.st_dev;
        entry.inode = info.st_ino;
    }
    return entry;
}

// The arguments of a file method of the helper for the entry at path.
QVariantList entryArguments(const std::string& path)
{
    const cv::ExaminedEntry entry = examined(path);
    return {bytes(entry.folder), bytes(entry.name), QVariant::fromValue<qulonglong>(entry.device),
            QVariant::fromValue<qulonglong>(entry.inode)};
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

// The real helper on a private bus of the test's own, called through the application's client;
// each call waits for its reply and answers "" on success, else the error text.
class HelperOnBus : public PrivateBus
{
public:
    explicit HelperOnBus(const QString& helper, const QStringList& arguments = kShortIdle)
        : PrivateBus(helper, arguments),
          // Never the system bus, should the private one not have started.
          m_service(address().isEmpty() ? QStringLiteral("unix:path=/nonexistent") : address())
    {}

    // The file at path opened by the helper: "" and the descriptor in file, or the error text.
    std::string openFile(const std::string& path, cv::UniqueFd* file = nullptr)
    {
        auto handed = std::make_shared<cv::UniqueFd>();
        const std::string error =
            call([&](Reply r) { m_service.openFileForWriting(examined(path), keeping(r, handed), {}); });
        if (file)
            *file = std::move(*handed);
        return error;
    }
    // One question for the entries at paths: "" and the answer per entry in reasons, or the error.
    std::string allow(const std::vector<std::string>& paths, std::vector<std::string>* reasons = nullptr)
    {
        std::vector<cv::ExaminedEntry> entries;
        for (const auto& path : paths)
            entries.push_back(examined(path));
        auto answered = std::make_shared<std::vector<std::string>>();
        const std::string error =
            call([&](Reply r) { m_service.allowEntries(entries, keeping(r, answered), {}); });
        if (reasons)
            *reasons = *answered;
        return error;
    }
    void forgetAllowed() { m_service.forgetAllowedEntries(); }
    std::string remove(const std::string& path)
    {
        return call([&](Reply r) { m_service.deleteFileAtPath(examined(path), r, {}); });
    }
    // A reformat of the volume at path as it is mounted now (a made-up device where none is).
    std::string reformat(const std::string& path)
    {
        std::string point = path;
        while (point.size() > 1 && point.back() == '/')
            point.pop_back();
        return reformat(path, cv::ConfirmedVolume::of(point).value_or(cv::ConfirmedVolume{1, 0, {}, {}}));
    }
    std::string reformat(const std::string& path, const cv::ConfirmedVolume& confirmed)
    {
        return call([&](Reply r) { m_service.reformatVolumeAt(path, confirmed, r, {}); });
    }
    std::string checkReformat(const std::string& path)
    {
        return call([&](Reply r) { m_service.checkReformatVolumeAt(path, r); });
    }
    std::string deleteSnapshots()
    {
        return call([&](Reply r) { m_service.deleteSnapshotsWithReply(r); });
    }

private:
    using Reply = HelperToolService::Reply;
    // A reply carrying a value: the value is kept in kept, and r is answered as for a plain call.
    template <typename T>
    static std::function<void(cv::Expected<T, std::string>)> keeping(Reply r, std::shared_ptr<T> kept)
    {
        return [r = std::move(r), kept = std::move(kept)](cv::Expected<T, std::string> outcome) {
            if (!outcome) {
                r(cv::Unexpected(outcome.error()));
                return;
            }
            *kept = std::move(*outcome);
            r({});
        };
    }
    static std::string call(const std::function<void(Reply)>& operation)
    {
        ReplyCatcher catcher;
        operation(catcher.reply());
        return catcher.wait(60000) ? catcher.errorText() : "no reply";
    }

    HelperToolService m_service;
};

// polkit's authority, standing in on the private bus: records what the helper asks and answers
// yes, no or an error at once, or says that a password would do (a challenge) and then, asked with
// the user, answers yes or never (a password prompt nobody answers). Records the questions
// withdrawn with CancelCheckAuthorization, and keeps their calls open so that a test can answer them
// late.
class FakePolkitAuthority : public QDBusVirtualObject
{
public:
    enum class Answer
    {
        Yes,
        No,
        Error,
        AskThenNever,
        AskThenYes,
    };
    struct Question
    {
        QString subjectKind;
        QString subjectName;
        QString actionId;
        QMap<QString, QString> details;
        uint flags = 0;
        QString cancellationId;
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
    // Answers in turn; when none are left, the answer for the subject, else otherwise.
    std::deque<Answer> answers;
    std::map<QString, Answer> answerFor;
    Answer otherwise = Answer::No;
    std::vector<Question> questions;
    std::vector<QString> cancelled;
    // The members of every message, in the order they came.
    std::vector<QString> members;
    // Questions asked with the user and not answered, by cancellation id.
    std::map<QString, QDBusMessage> open;

    std::size_t questionsAbout(const QString& subject) const
    {
        return static_cast<std::size_t>(std::count_if(
            questions.begin(), questions.end(), [&](const Question& q) { return q.subjectName == subject; }));
    }
    std::size_t questionsWithTheUser() const
    {
        return static_cast<std::size_t>(std::count_if(questions.begin(), questions.end(),
                                                      [](const Question& q) { return q.flags == 1; }));
    }
    // Answers an open question now, however late.
    void answerLate(const QString& cancellationId, bool yes)
    {
        const auto found = open.find(cancellationId);
        if (found == open.end())
            return;
        m_connection->send(found->second.createReply(result(yes, false)));
        open.erase(found);
    }

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        members.push_back(message.member());
        // A text agent registers, and leaves.
        if (message.member().startsWith(QLatin1String("RegisterAuthenticationAgent")) ||
            message.member() == QLatin1String("UnregisterAuthenticationAgent")) {
            connection.send(message.createReply());
            return true;
        }
        if (message.member() == QLatin1String("CancelCheckAuthorization") &&
            message.arguments().size() == 1) {
            cancelled.push_back(message.arguments().at(0).toString());
            connection.send(message.createReply());
            return true;
        }
        if (message.member() != QLatin1String("CheckAuthorization") || message.arguments().size() != 5)
            return false;
        Question question;
        const QDBusArgument subject = message.arguments().at(0).value<QDBusArgument>();
        QVariantMap subjectDetails;
        subject.beginStructure();
        subject >> question.subjectKind >> subjectDetails;
        subject.endStructure();
        question.subjectName = subjectDetails.value(QStringLiteral("name")).toString();
        question.actionId = message.arguments().at(1).toString();
        message.arguments().at(2).value<QDBusArgument>() >> question.details;
        question.flags = message.arguments().at(3).toUInt();
        question.cancellationId = message.arguments().at(4).toString();
        questions.push_back(question);

        Answer answer = otherwise;
        if (const auto found = answerFor.find(question.subjectName); found != answerFor.end())
            answer = found->second;
        if (question.flags == 1) {
            // The follow-up of a challenge: with the user.
            if (const auto found = m_challenged.find(question.subjectName); found != m_challenged.end()) {
                answer = found->second;
                m_challenged.erase(found);
            }
            if (answer == Answer::AskThenNever) {
                open[question.cancellationId] = message;
                return true;
            }
            connection.send(
                message.createReply(result(answer == Answer::AskThenYes || answer == Answer::Yes, false)));
            return true;
        }
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        if (answer == Answer::Error) {
            connection.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.PolicyKit1.Error.Failed"),
                                         QStringLiteral("the authority broke down")));
            return true;
        }
        const bool challenge = answer == Answer::AskThenNever || answer == Answer::AskThenYes;
        if (challenge)
            m_challenged[question.subjectName] = answer;
        connection.send(message.createReply(result(answer == Answer::Yes, challenge)));
        return true;
    }

private:
    static QVariant result(bool authorized, bool challenge)
    {
        QDBusArgument result; // (bba{ss})
        result.beginStructure();
        result << authorized << challenge;
        result.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
        result.endMap();
        result.endStructure();
        return QVariant::fromValue(result);
    }

    BusConnection m_connection;
    bool m_registered = false;
    std::map<QString, Answer> m_challenged;
};

// An ext4 image with a label, mounted with "mount -o loop" on a new folder of the test for the life
// of the object (so its loop device clears itself when unmounted, as desktop mounts do); unmounted
// and its loop device detached at the end, whatever happened in between. The helper reformats only
// volumes mounted below /media, /run/media or /mnt, so tests mount theirs in a folder below /media.
class LoopVolume
{
public:
    LoopVolume(const std::string& mountPoint, const std::string& image, const std::string& label)
        : m_image(image), m_mountPoint(mountPoint)
    {
        cv::test::makeDir(m_mountPoint);
        if (cv::test::runProcess({"truncate", "-s", "16M", m_image}).exitCode != 0 ||
            cv::test::runProcess({"mkfs.ext4", "-q", "-L", label, m_image}).exitCode != 0 ||
            cv::test::runProcess({"mount", "-o", "loop", m_image, m_mountPoint}).exitCode != 0)
            return;
        for (const auto& entry : cv::MountTable::read()) {
            if (entry.mountPoint == m_mountPoint)
                m_device = entry.source;
        }
        m_mounted = !m_device.empty();
    }
    ~LoopVolume()
    {
        while (::umount2(m_mountPoint.c_str(), 0) == 0) {
        }
        for (const auto& other : m_alsoMountedAt) {
            while (::umount2(other.c_str(), 0) == 0) {
            }
        }
        if (!m_device.empty() && cv::test::runProcess({"losetup", "-j", m_image}).out.find(m_device) == 0)
            cv::test::runProcess({"losetup", "-d", m_device});
    }
    bool mounted() const { return m_mounted; }
    const std::string& mountPoint() const { return m_mountPoint; }
    const std::string& device() const { return m_device; }
    // Where the volume may end up mounted too, for the clean-up.
    void mayBeMountedAt(const std::string& path) { m_alsoMountedAt.push_back(path); }
    // The mount point of the volume now, or "" when it is not mounted.
    std::string mountedAt() const
    {
        for (const auto& entry : cv::MountTable::read()) {
            if (entry.source == m_device)
                return entry.mountPoint;
        }
        return std::string();
    }
    std::string label() const
    {
        return cv::test::runProcess({"blkid", "-p", "-o", "value", "-s", "LABEL", m_device}).out;
    }

private:
    std::string m_image;
    std::string m_mountPoint;
    std::string m_device;
    std::vector<std::string> m_alsoMountedAt;
    bool m_mounted = false;
};

using cv::test::ProgramsForNobody;

} // namespace

TEST(InstalledHelper, RefusesEveryPrivilegedCallWithoutPolkit)
{
    HelperOnBus helper(kInstalledHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    const std::string file = helper.folder() + "/protected";
    cv::test::writeFile(file, std::string("keep me"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);

    BusConnection caller(helper.address(), QStringLiteral("caller"));
    const QDBusMessage version = callDirectly(*caller, QStringLiteral("getVersion"));
    ASSERT_EQ(version.type(), QDBusMessage::ReplyMessage) << qPrintable(version.errorMessage());
    EXPECT_EQ(version.arguments().value(0).toString(), QLatin1String(HelperToolProtocol::version));

    // Refused from its arguments and the file system, before polkit would be asked.
    EXPECT_PRED2(contains, helper.reformat(helper.folder()), kInvalidArgument);
    EXPECT_PRED2(contains, helper.remove("relative"), kInvalidArgument);
    // A helper started by a user cannot open the caller's read-only file itself; as root it
    // can, and then polkit refuses.
    if (cv::test::isRoot()) {
        EXPECT_PRED2(contains, helper.openFile(file), kAccessDenied);
    }
    EXPECT_PRED2(contains, helper.remove(file), kAccessDenied);

    EXPECT_TRUE(cv::test::exists(file));
    EXPECT_EQ(modeOf(file), 0400u);
}

TEST(InstalledHelper, AsksPolkitAboutTheCallerForEveryCall)
{
    PrivateBus bus(kInstalledHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    const std::string first = bus.folder() + "/first";
    const std::string second = bus.folder() + "/second";
    const std::string third = bus.folder() + "/third";
    for (const auto& file : {first, second, third})
        cv::test::writeFile(file, std::string("x"));

    BusConnection caller(bus.address(), QStringLiteral("caller"));
    BusConnection other(bus.address(), QStringLiteral("other"));
    polkit.answers = {FakePolkitAuthority::Answer::Yes, FakePolkitAuthority::Answer::Yes,
                      FakePolkitAuthority::Answer::No};
    for (const auto& file : {first, second}) {
        const QDBusMessage allowed =
            callDirectly(*caller, QStringLiteral("deleteFileAtPath"), entryArguments(file));
        EXPECT_EQ(allowed.type(), QDBusMessage::ReplyMessage) << qPrintable(allowed.errorMessage());
        EXPECT_FALSE(cv::test::exists(file));
    }

    const QDBusMessage denied =
        callDirectly(*caller, QStringLiteral("deleteFileAtPath"), entryArguments(third));
    EXPECT_EQ(denied.errorName().toStdString(), kAccessDenied);
    // A user just refused is refused again without a new question (and a new password prompt),
    // on any of the user's connections.
    for (auto* connection : {&caller, &other}) {
        const QDBusMessage again =
            callDirectly(**connection, QStringLiteral("deleteFileAtPath"), entryArguments(third));
        EXPECT_EQ(again.errorName().toStdString(), kAccessDenied);
    }
    EXPECT_TRUE(cv::test::exists(third));

    ASSERT_EQ(polkit.questions.size(), 3u) << "asked on every call, a yes never kept by the helper";
    EXPECT_EQ(polkit.questionsAbout(caller->baseService()), 3u) << "the caller, not the helper";
    for (const auto& question : polkit.questions) {
        EXPECT_EQ(question.subjectKind, QStringLiteral("system-bus-name"));
        EXPECT_EQ(question.actionId, QStringLiteral("com.Ostrevane.CindervaultForMac.adminPermission"));
        EXPECT_EQ(question.flags, 0u) << "asked without the user first; this polkit needs no password";
    }
}

TEST(InstalledHelper, SaysWhenTheUserIsAskedAndNeverCarriesOutAWithdrawnCall)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "the helper runs as root: only then may it open a file its caller may not write";
    HelperOnBus bus(kInstalledHelper);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::AskThenNever;
    const std::string file = bus.folder() + "/protected";
    cv::test::writeFile(file, std::string("keep me"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);
    const std::string other = bus.folder() + "/other";
    cv::test::writeFile(other, std::string("keep me too"));

    // The client is told before the user is asked; the call waits for the user.
    HelperToolService service(bus.address());
    ReplyCatcher catcher;
    std::atomic<int> asked{0};
    service.openFileForWriting(
        examined(file),
        [reply = catcher.reply()](cv::Expected<cv::UniqueFd, std::string> outcome) {
            reply(outcome ? cv::Expected<void, std::string>() : cv::Unexpected(outcome.error()));
        },
        [&] { ++asked; });
    ASSERT_TRUE(cv::test::waitUntil([&] { return asked.load() == 1 && polkit.open.size() == 1; }, 20000))
        << "asked " << asked.load() << ", open questions " << polkit.open.size();
    EXPECT_EQ(catcher.count(), 0) << "answered while the user is still being asked";
    const QString question = polkit.open.begin()->first;
    EXPECT_FALSE(question.isEmpty()) << "a question with the user carries a cancellation id";

    // Withdrawn: the question is cancelled, the call answered, and a late yes changes nothing.
    service.withdrawCalls();
    ASSERT_TRUE(catcher.wait(20000));
    EXPECT_PRED2(contains, catcher.errorText(), HelperToolProtocol::errorWithdrawn);
    ASSERT_TRUE(cv::test::waitUntil([&] { return polkit.cancelled.size() == 1; }, 20000));
    EXPECT_EQ(polkit.cancelled.front(), question);
    polkit.answerLate(question, true);
    cv::test::waitUntil([] { return false; }, 500);
    EXPECT_EQ(modeOf(file), 0400u);
    EXPECT_EQ(cv::test::readFile(file), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    // A caller that leaves the bus takes its calls with it.
    auto leaving = std::make_unique<BusConnection>(bus.address(), QStringLiteral("leaving"));
    QDBusPendingCall pending =
        callLater(**leaving, QStringLiteral("deleteFileAtPath"), entryArguments(other));
    ASSERT_TRUE(cv::test::waitUntil([&] { return polkit.open.size() == 1; }, 20000));
    const QString leftBehind = polkit.open.begin()->first;
    leaving.reset();
    ASSERT_TRUE(cv::test::waitUntil([&] { return polkit.cancelled.size() == 2; }, 20000))
        << "the question of a caller that left was not withdrawn";
    EXPECT_EQ(polkit.cancelled.back(), leftBehind);
    polkit.answerLate(leftBehind, true);
    cv::test::waitUntil([] { return false; }, 500);
    EXPECT_TRUE(cv::test::exists(other)) << "deleted for a caller that had left";
}

TEST(InstalledHelper, NeverHasTheUserAskedForACallThatSaysNotTo)
{
    HelperOnBus bus(kInstalledHelper);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::AskThenYes;
    const std::string file = bus.folder() + "/protected";
    cv::test::writeFile(file, std::string("keep me"));

    // A script's call (--no-ask-password): refused at once, nobody asked, nothing done.
    BusConnection script(bus.address(), QStringLiteral("script"));
    const QDBusMessage refused =
        callDirectly(*script, QStringLiteral("deleteFileAtPath"), entryArguments(file), 30000, false);
    EXPECT_EQ(refused.errorName().toStdString(), kAccessDenied);
    EXPECT_PRED2(contains, refused.errorMessage().toStdString(), "asked not to be asked");
    EXPECT_EQ(polkit.questionsWithTheUser(), 0u);
    EXPECT_TRUE(polkit.open.empty());
    EXPECT_TRUE(cv::test::exists(file));

    // The window's and the terminal's calls let polkit ask; a client told not to never does.
    HelperToolService quiet(bus.address());
    quiet.setInteractiveAuthorizationAllowed(false);
    ReplyCatcher refusedToo;
    quiet.deleteFileAtPath(examined(file), refusedToo.reply(), {});
    ASSERT_TRUE(refusedToo.wait(20000));
    EXPECT_PRED2(contains, refusedToo.errorText(), "asked not to be asked");
    EXPECT_EQ(polkit.questionsWithTheUser(), 0u);

    HelperToolService asking(bus.address());
    ReplyCatcher allowed;
    asking.deleteFileAtPath(examined(file), allowed.reply(), {});
    ASSERT_TRUE(allowed.wait(20000));
    EXPECT_FALSE(allowed.error()) << allowed.errorText();
    EXPECT_EQ(polkit.questionsWithTheUser(), 1u);
    EXPECT_FALSE(cv::test::exists(file));
}

namespace {

// Sends what this process and the processes it starts from now on write to standard error into a
// file of its own, until it goes.
class StderrCapture
{
public:
    StderrCapture() : m_file(std::tmpfile()), m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        if (m_file)
            ::dup2(fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { release(); }
    // Standard error goes back where it went; what was written stays readable.
    void release()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    std::string text() const
    {
        std::string all;
        if (!m_file)
            return all;
        std::rewind(m_file);
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, m_file))
            all.append(buffer, n);
        return all;
    }

private:
    std::FILE* m_file;
    int m_saved;
};

} // namespace

TEST(InstalledHelper, LogsOnlyAFewLinesAboutAUserItRefuses)
{
    StderrCapture capture;
    std::size_t lines = 0;
    {
        // No polkit: the first call is refused after asking, the rest at once.
        PrivateBus bus(kInstalledHelper, kShortIdle);
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        const std::string file = bus.folder() + "/file";
        cv::test::writeFile(file, std::string("x"));
        BusConnection caller(bus.address(), QStringLiteral("caller"));
        ASSERT_EQ(callDirectly(*caller, QStringLiteral("deleteFileAtPath"), entryArguments(file))
                      .errorName()
                      .toStdString(),
                  kAccessDenied);
        std::vector<QDBusPendingCall> calls;
        for (int i = 0; i < 100; ++i)
            calls.push_back(callLater(*caller, QStringLiteral("deleteFileAtPath"), entryArguments(file)));
        ASSERT_TRUE(cv::test::waitUntil([&] {
            return std::all_of(calls.begin(), calls.end(),
                               [](const QDBusPendingCall& c) { return c.isFinished(); });
        }));
        EXPECT_TRUE(cv::test::exists(file));
    }
    capture.release();
    std::istringstream text(capture.text());
    std::string line;
    while (std::getline(text, line)) {
        if (line.find("cindervault-helper") != std::string::npos &&
            line.find(" refused: ") != std::string::npos)
            ++lines;
    }
    EXPECT_GE(lines, 1u);
    EXPECT_LE(lines, static_cast<std::size_t>(cv::HelperTool::kRefusalLinesPerPeriod)) << capture.text();
}

TEST(InstalledHelper, AnswersEveryUserWhileAnotherUserFloodsIt)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the flood comes from the user nobody";
    PrivateBus bus(kInstalledHelper, {QStringLiteral("--idle-exit"), QStringLiteral("120")});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_HELPER_PROBE});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    const std::string victim = bus.folder() + "/victim";
    const std::string mine = bus.folder() + "/mine";
    cv::test::writeFile(victim, std::string("keep"));
    cv::test::writeFile(mine, std::string("mine"));

    // Every question of the stranger is a password prompt nobody answers; the user's own calls
    // are allowed.
    BusConnection user(bus.address(), QStringLiteral("user"));
    polkit.otherwise = FakePolkitAuthority::Answer::AskThenNever;
    polkit.answerFor[user->baseService()] = FakePolkitAuthority::Answer::Yes;
    ASSERT_EQ(callDirectly(*user, QStringLiteral("getVersion")).type(), QDBusMessage::ReplyMessage);
    const qint64 helper = helperPid(*user);
    ASSERT_GT(helper, 0);

    // Six connections of nobody, 40 calls each, left open for a few seconds and then gone.
    constexpr int kConnections = 6;
    constexpr int kCalls = 40;
    cv::test::ProcessResult flood;
    std::thread stranger([&] {
        flood =
            cv::test::runProcess({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                  programs[CINDERVAULT_HELPER_PROBE], bus.address().toStdString(), "flood",
                                  std::to_string(kConnections), std::to_string(kCalls), "4", victim});
    });
    ASSERT_TRUE(cv::test::waitUntil([&] { return polkit.open.size() >= 1; }, 20000)) << "no flood";

    // The engine waits 5 seconds for a file call of the helper.
    const QDBusMessage answer =
        callDirectly(*user, QStringLiteral("deleteFileAtPath"), entryArguments(mine), 5000);
    EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage) << qPrintable(answer.errorMessage());
    EXPECT_FALSE(cv::test::exists(mine));

    const std::size_t open = polkit.open.size();
    EXPECT_LE(open, static_cast<std::size_t>(cv::HelperTool::kMaxOpenQuestionsPerUser))
        << "questions of one user at once";
    cv::test::waitUntil([&] { return false; }, 100);
    stranger.join();
    std::map<std::string, int> answers;
    std::istringstream lines(flood.out);
    std::string name;
    int count = 0;
    while (lines >> name >> count)
        answers[name] = count;
    EXPECT_EQ(answers[HelperToolProtocol::errorBusy] + answers["unanswered"] +
                  answers["org.freedesktop.DBus.Error.LimitsExceeded"],
              kConnections * kCalls)
        << flood.out << flood.err;
    EXPECT_EQ(answers["unanswered"], static_cast<int>(polkit.questionsWithTheUser())) << flood.out;

    // Gone from the bus: its questions are withdrawn, and nothing it asked for is done.
    EXPECT_TRUE(
        cv::test::waitUntil([&] { return polkit.cancelled.size() == polkit.questionsWithTheUser(); }, 20000))
        << polkit.cancelled.size() << " of " << polkit.questionsWithTheUser() << " withdrawn";
    for (const auto& [id, message] : std::map<QString, QDBusMessage>(polkit.open))
        polkit.answerLate(id, true);
    cv::test::writeFile(mine, std::string("mine again"));
    const QDBusMessage afterwards =
        callDirectly(*user, QStringLiteral("deleteFileAtPath"), entryArguments(mine), 5000);
    EXPECT_EQ(afterwards.type(), QDBusMessage::ReplyMessage) << qPrintable(afterwards.errorMessage());
    EXPECT_TRUE(cv::test::exists(victim));

    const long peakKb = peakResidentKb(helper);
    std::cout << "helper resident memory at most " << peakKb << " kB under the flood\n";
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 50 * 1024) << "VmHWM of the helper";
}

TEST(InstalledHelper, LogsABoundedNumberOfLinesAboutTheCallsOfOneUser)
{
    // Every call, its outcome and its withdrawal count in the user's lines: a user who sends
    // hundreds of calls a second does not write hundreds of lines a second.
    StderrCapture capture;
    constexpr int kFiles = 300;
    {
        HelperOnBus helper(kTestHelper);
        ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
        for (int i = 0; i < kFiles; ++i)
            cv::test::writeFile(helper.folder() + "/f" + std::to_string(i), std::string("x"));
        BusConnection caller(helper.address(), QStringLiteral("caller"));
        for (int i = 0; i < kFiles; ++i) {
            const QDBusMessage answer =
                callDirectly(*caller, QStringLiteral("deleteFileAtPath"),
                             entryArguments(helper.folder() + "/f" + std::to_string(i)));
            ASSERT_EQ(answer.type(), QDBusMessage::ReplyMessage) << qPrintable(answer.errorMessage());
        }
        for (int i = 0; i < 100; ++i)
            callDirectly(*caller, QStringLiteral("withdrawCallOn"),
                         {QStringLiteral("deleteFileAtPath"), bytes("x")});
        EXPECT_TRUE(cv::test::listNames(helper.folder()).size() < 5u) << "the files were deleted";
    }
    capture.release();
    std::istringstream text(capture.text());
    std::string line;
    std::size_t lines = 0;
    while (std::getline(text, line)) {
        if (contains(line, "cindervault-helper") && contains(line, "deleteFileAtPath"))
            ++lines;
    }
    EXPECT_GE(lines, 1u);
    EXPECT_LE(lines, static_cast<std::size_t>(cv::HelperTool::kCallLinesPerPeriod)) << capture.text();
}

TEST(InstalledHelper, OneUsersSlowChecksNeverKeepAnotherUsersCallsWaiting)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the flood comes from the user nobody, at a loop-mounted volume";
    // Each reformat check runs blkid, here one that takes two seconds: the user nobody floods the
    // helper with such checks while root's job deletes its files, each within the engine's wait.
    TempDir dir("/media");
    LoopVolume volume(dir / "vol", dir / "v.img", "SLOW");
    if (!volume.mounted())
        GTEST_SKIP() << "no loop devices here";
    TempDir tools;
    const std::string started = tools / "started";
    for (const std::string tool : {"blkid", "mkfs.ext4"}) {
        std::string found;
        for (const std::string folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
            if (found.empty() && ::access((folder + tool).c_str(), X_OK) == 0)
                found = folder + tool;
        }
        ASSERT_FALSE(found.empty()) << tool;
        const std::string slow = tool == "blkid" ? "touch " + started + "\nsleep 2\n" : "";
        cv::test::writeFile(tools / tool, "#!/bin/sh\n" + slow + "exec " + found + " \"$@\"\n");
        ASSERT_EQ(::chmod((tools / tool).c_str(), 0755), 0);
    }
    PrivateBus bus(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("120"),
                                 QStringLiteral("--tool-path"), QString::fromStdString(tools.path())});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_HELPER_PROBE});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    BusConnection user(bus.address(), QStringLiteral("user"));
    ASSERT_EQ(callDirectly(*user, QStringLiteral("getVersion")).type(), QDBusMessage::ReplyMessage);

    constexpr int kConnections = 4;
    constexpr int kCalls = 20;
    cv::test::ProcessResult flood;
    std::thread stranger([&] {
        flood = cv::test::runProcess({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                      programs[CINDERVAULT_HELPER_PROBE], bus.address().toStdString(),
                                      "flood-check", std::to_string(kConnections), std::to_string(kCalls),
                                      "10", dir / "vol"});
    });
    ASSERT_TRUE(cv::test::waitUntil([&] { return cv::test::exists(started); }, 60000)) << "no flood";

    constexpr int kFiles = 10;
    qint64 slowestMs = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string file = bus.folder() + "/mine" + std::to_string(i);
        cv::test::writeFile(file, std::string("mine"));
        QElapsedTimer timer;
        timer.start();
        // Answered while the flood goes on: a helper that queued root's call behind the stranger's
        // checks (two seconds each, 80 of them) would not answer within this minute. How long the
        // answer took depends on the machine's load and is only printed.
        const QDBusMessage answer =
            callDirectly(*user, QStringLiteral("deleteFileAtPath"), entryArguments(file), 60000);
        slowestMs = std::max(slowestMs, timer.elapsed());
        EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage)
            << i << ": " << qPrintable(answer.errorMessage());
        EXPECT_FALSE(cv::test::exists(file));
    }
    stranger.join();
    std::cout << "slowest answer to the other user under the flood: " << slowestMs << " ms\n";
    std::map<std::string, int> answers;
    std::istringstream lines(flood.out);
    std::string name;
    int count = 0;
    while (lines >> name >> count)
        answers[name] = count;
    // A few checks of the stranger at a time; the rest are answered busy at once.
    EXPECT_GE(answers[HelperToolProtocol::errorBusy], kConnections * kCalls / 2) << flood.out << flood.err;
}

TEST(InstalledHelper, TheSnapshotQuestionSurvivesASlowPasswordAndAWithdrawnFileCall)
{
    TempDir tools;
    cv::test::writeFile(tools / "snapper",
                        "#!/bin/sh\ncase \"$*\" in *list*) printf 'number\\n0\\n3\\n';; esac\n");
    ASSERT_EQ(::chmod((tools / "snapper").c_str(), 0755), 0);
    HelperOnBus helper(kTestHelper,
                       {QStringLiteral("--idle-exit"), QStringLiteral("120"), QStringLiteral("--tool-path"),
                        QString::fromStdString(tools.path()), QStringLiteral("--ask-polkit")});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(helper.address());
    ASSERT_TRUE(polkit.registered());
    // The snapshot question waits for a password that comes late; file calls are allowed.
    polkit.answers = {FakePolkitAuthority::Answer::AskThenNever};
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;
    HelperToolService service(helper.address());
    ReplyCatcher snapshots;
    service.deleteSnapshotsWithReply(snapshots.reply());
    ASSERT_TRUE(cv::test::waitUntil([&] { return polkit.open.size() == 1; }, 20000));

    // A file call of the same program while the user types: the job's clock does not run.
    const std::string file = helper.folder() + "/file";
    cv::test::writeFile(file, std::string("x"));
    std::atomic<int> end{-1};
    std::thread job([&] {
        cv::HelperWait wait;
        service.deleteFileAtPath(examined(file), wait.reply(), wait.askingUser());
        end = static_cast<int>(wait.wait(std::chrono::milliseconds(300), [] { return false; }));
    });
    EXPECT_FALSE(cv::test::waitUntil([&] { return end >= 0; }, 3000)) << "the wait ended: " << end;

    // Another file call given up on is withdrawn alone: the snapshot question stays.
    const std::string other = helper.folder() + "/other";
    cv::test::writeFile(other, std::string("x"));
    ReplyCatcher withdrawn;
    service.deleteFileAtPath(examined(other), withdrawn.reply(), {});
    service.withdrawCallsOn(examined(other));
    ASSERT_TRUE(withdrawn.wait(20000));
    EXPECT_PRED2(contains, withdrawn.errorText(), "withdrawn");
    EXPECT_TRUE(polkit.cancelled.empty()) << "a question was withdrawn";

    // The password comes: the snapshots go, then the waiting file call is carried out.
    polkit.answerLate(polkit.open.begin()->first, true);
    ASSERT_TRUE(snapshots.wait(20000));
    EXPECT_EQ(snapshots.errorText(), "");
    EXPECT_TRUE(cv::test::waitUntil([&] { return end >= 0; }, 20000));
    job.join();
    EXPECT_EQ(end, static_cast<int>(cv::HelperWait::End::Answered));
    EXPECT_FALSE(cv::test::exists(file));
    EXPECT_TRUE(cv::test::exists(other)) << "the withdrawn call was carried out";
}

TEST(HelperOperations, AsksForEachKindOfWorkItsOwnQuestionAndNeverForWhatItRefuses)
{
    TempDir tools;
    const std::string log = tools / "calls";
    cv::test::writeFile(tools / "snapper",
                        "#!/bin/sh\necho \"$*\" >> " + log +
                            "\ncase \"$*\" in *list*) printf 'number\\n0\\n3\\n';; esac\n");
    ASSERT_EQ(::chmod((tools / "snapper").c_str(), 0755), 0);
    // The system's blkid and mkfs, for the reformat's checks.
    for (const std::string tool : {"blkid", "mkfs.ext4"}) {
        std::string found;
        for (const std::string folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
            if (found.empty() && ::access((folder + tool).c_str(), X_OK) == 0)
                found = folder + tool;
        }
        if (found.empty())
            continue;
        cv::test::writeFile(tools / tool, "#!/bin/sh\nexec " + found + " \"$@\"\n");
        ASSERT_EQ(::chmod((tools / tool).c_str(), 0755), 0);
    }
    HelperOnBus helper(kTestHelper,
                       {QStringLiteral("--idle-exit"), QStringLiteral("2"), QStringLiteral("--tool-path"),
                        QString::fromStdString(tools.path()), QStringLiteral("--ask-polkit")});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(helper.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;

    // What the helper refuses anyway costs no question.
    cv::test::makeDir(helper.folder() + "/full");
    cv::test::writeFile(helper.folder() + "/full/file", std::string("x"));
    EXPECT_PRED2(contains, helper.remove(helper.folder() + "/full"), "not empty");
    EXPECT_PRED2(contains, helper.openFile(helper.folder() + "/full"), kInvalidArgument);
    EXPECT_PRED2(contains, helper.reformat(helper.folder()), "at or below /media, /run/media or /mnt");
    EXPECT_PRED2(contains, helper.reformat("/"), "startup volume");
    EXPECT_EQ(polkit.questions.size(), 0u) << "asked for work that is refused anyway";
    EXPECT_TRUE(cv::test::exists(helper.folder() + "/full/file"));

    // Snapshots have their own question.
    EXPECT_EQ(helper.deleteSnapshots(), "");
    ASSERT_EQ(polkit.questions.size(), 1u);
    EXPECT_EQ(polkit.questions.back().actionId, QLatin1String(HelperToolProtocol::snapshotAction));

    // A reformat has its own, naming the volume; a no leaves the volume as it was.
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount a loop image";
    TempDir dir("/media");
    LoopVolume volume(dir / "mnt", dir / "volume.img", "ASKME");
    if (!volume.mounted())
        GTEST_SKIP() << "no loop devices here";
    cv::test::writeFile(volume.mountPoint() + "/data.txt", std::string("stays"));
    polkit.otherwise = FakePolkitAuthority::Answer::No;
    EXPECT_PRED2(contains, helper.reformat(volume.mountPoint()), kAccessDenied);
    ASSERT_EQ(polkit.questions.size(), 2u);
    EXPECT_EQ(polkit.questions.back().actionId, QLatin1String(HelperToolProtocol::reformatAction));
    const QMap<QString, QString>& details = polkit.questions.back().details;
    EXPECT_EQ(details.value(QLatin1String(HelperToolProtocol::volumeDetail)),
              QString::fromStdString(volume.mountPoint()));
    // The question names the volume the way the window did: its label, device and size.
    EXPECT_EQ(details.value(QLatin1String(HelperToolProtocol::labelDetail)), u"ASKME"_s);
    EXPECT_EQ(details.value(QLatin1String(HelperToolProtocol::deviceDetail)),
              QString::fromStdString(volume.device()));
    EXPECT_EQ(details.value(QLatin1String(HelperToolProtocol::sizeDetail)), u"16777216 bytes"_s);
    EXPECT_TRUE(cv::test::exists(volume.mountPoint() + "/data.txt"));
    EXPECT_EQ(volume.label(), "ASKME\n");
}

TEST(HelperOperations, HandsAnUnprivilegedCallerADescriptorAndChangesNoOwnerOrMode)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the helper hands a root-owned file to the user nobody";
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_HELPER_PROBE});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    const std::string file = bus.folder() + "/root-only";
    cv::test::writeFile(file, std::string("root's content"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);

    const auto asNobody = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {"setpriv",
                                         "--reuid=nobody",
                                         "--regid=nogroup",
                                         "--clear-groups",
                                         programs[CINDERVAULT_HELPER_PROBE],
                                         bus.address().toStdString()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return cv::test::runProcess(argv);
    };
    const auto before = asNobody({"can-write", file});
    ASSERT_EQ(before.exitCode, 1) << "nobody must not be able to write it yet: " << before.err;
    const auto written = asNobody({"write", file, "nobody"});
    EXPECT_EQ(written.exitCode, 0) << written.err;

    // Written through the descriptor the helper handed over; the file stayed root's, 0400.
    EXPECT_EQ(cv::test::readFile(file), (std::vector<std::uint8_t>{'n', 'o', 'b', 'o', 'd', 'y'}));
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(info.st_mode & 07777, 0400u);
    const auto after = asNobody({"can-write", file});
    EXPECT_EQ(after.exitCode, 1) << "nobody can open it by itself now: " << after.err;

    // The bus policy: nobody may call the helper (above), but not take its name.
    const auto own = asNobody({"own-name"});
    EXPECT_EQ(own.exitCode, 0) << own.err;
}

TEST(HelperOperations, TheCommandLineHandsWhatTheUserMayNotDoToTheHelper)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the files are root's, the command line runs as nobody";
    PrivateBus bus(kTestHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_CLI}, {"libcindervault-cli-qt"});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    // A folder of nobody's holding a root-owned file and a root-owned folder with a file.
    const auto makeTree = [&](const std::string& tree) {
        cv::test::makeDir(tree);
        cv::test::makeDir(tree + "/root-folder");
        cv::test::writeFile(tree + "/root-file", std::string("root's"));
        cv::test::writeFile(tree + "/root-folder/inner", std::string("root's too"));
        struct passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(tree.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    };
    const auto shredAsNobody = [&](const std::string& busAddress, const std::string& tree) {
        return cv::test::runProcess({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
                                     "HOME=" + bus.folder(), "DBUS_SYSTEM_BUS_ADDRESS=" + busAddress,
                                     programs[CINDERVAULT_CLI], "shred", "--yes", "--no-report", "--json",
                                     tree});
    };

    const std::string tree = bus.folder() + "/tree";
    makeTree(tree);
    const auto shredded = shredAsNobody(bus.address().toStdString(), tree);
    EXPECT_EQ(shredded.exitCode, 0) << shredded.out << shredded.err;
    EXPECT_FALSE(cv::test::exists(tree)) << shredded.out;

    // Without the helper, the files are named with the reason and stay; the job fails.
    const std::string kept = bus.folder() + "/kept";
    makeTree(kept);
    const auto refused = shredAsNobody("unix:path=" + bus.folder() + "/no-bus-here", kept);
    EXPECT_EQ(refused.exitCode, 1) << refused.out << refused.err;
    EXPECT_PRED2(contains, refused.out, "cannot be reached");
    EXPECT_EQ(cv::test::readFile(kept + "/root-file"),
              (std::vector<std::uint8_t>{'r', 'o', 'o', 't', '\'', 's'}));
    EXPECT_TRUE(cv::test::exists(kept + "/root-folder/inner"));
}

TEST(InstalledHelper, ShredsTwoThousandProtectedFilesInOneJobWithOneQuestion)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the files are root's, the command line runs as nobody";
    // The helper runs with fewer descriptors than the job has files: it keeps none beyond a call.
    TempDir wrapper;
    const std::string limited = wrapper / "limited-helper";
    cv::test::writeFile(limited, "#!/bin/sh\nulimit -n 1024 || exit 1\nexec " +
                                     kInstalledHelper.toStdString() + " \"$@\"\n");
    ASSERT_EQ(::chmod(limited.c_str(), 0755), 0);
    PrivateBus bus(QString::fromStdString(limited), kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_CLI}, {"libcindervault-cli-qt"});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    // A folder of nobody's holding 2,000 files of root's that nobody may not write.
    const std::string tree = bus.folder() + "/tree";
    cv::test::makeDir(tree);
    struct passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::chown(tree.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    constexpr int kFiles = 2000;
    for (int i = 0; i < kFiles; ++i)
        cv::test::writeFile(tree + "/root-" + std::to_string(i), std::string("root's"));

    QElapsedTimer took;
    took.start();
    // The stand-in polkit answers on this thread: the job runs on another.
    cv::test::ProcessResult shredded;
    std::atomic<bool> done{false};
    std::thread job([&] {
        shredded = cv::test::runProcess(
            {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env", "HOME=" + bus.folder(),
             "DBUS_SYSTEM_BUS_ADDRESS=" + bus.address().toStdString(), programs[CINDERVAULT_CLI], "shred",
             "--yes", "--no-report", "--json", tree});
        done = true;
    });
    cv::test::waitUntil([&] { return done.load(); }, 600000);
    job.join();
    std::cerr << kFiles << " protected files shredded in " << took.elapsed() << " ms\n";
    EXPECT_EQ(shredded.exitCode, 0) << shredded.out.substr(0, 2000) << shredded.err.substr(0, 2000);
    EXPECT_FALSE(cv::test::exists(tree)) << shredded.out.substr(0, 2000);
    EXPECT_EQ(polkit.questions.size(), 1u) << "one question for the whole job";
}

TEST(HelperOperations, HandsOutNoFileOfTheSystemsFoldersNoSetIdFileAndNoFileWithOtherNames)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to hand out files of another user and to bind-mount a folder";
    // A folder of the test's own stands for the system's /etc; the same folder bind-mounted
    // elsewhere and spelled with "//" and "." is still that folder.
    TempDir root;
    const std::string etc = root / "etc";
    cv::test::makeDir(etc);
    const std::string view = root / "view";
    cv::test::makeDir(view);
    HelperOnBus helper(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("2"),
                                     QStringLiteral("--system-folders"), QString::fromStdString(etc)});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    const std::string shadow = etc + "/shadow";
    cv::test::writeFile(shadow, std::string("secret"));
    ASSERT_EQ(::chmod(shadow.c_str(), 0640), 0);
    ASSERT_EQ(::mount(etc.c_str(), view.c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &view, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });

    const std::string setUid = helper.folder() + "/set-uid";
    const std::string setGid = helper.folder() + "/set-gid";
    const std::string linked = helper.folder() + "/linked";
    const std::string plain = helper.folder() + "/plain";
    for (const auto& [file, mode] : {std::pair{setUid, 04755}, std::pair{setGid, 02755},
                                     std::pair{linked, 0600}, std::pair{plain, 0400}}) {
        cv::test::writeFile(file, std::string("root's"));
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(file.c_str(), static_cast<mode_t>(mode)), 0);
    }
    ASSERT_EQ(::link(linked.c_str(), (root / "other-name").c_str()), 0);

    for (const std::string& path : {shadow, view + "/shadow", root.path() + "//etc/./shadow"}) {
        const std::string refused = helper.openFile(path);
        EXPECT_PRED2(contains, refused, kInvalidArgument) << path;
        EXPECT_PRED2(contains, refused, "a folder of the system's own") << path;
    }
    EXPECT_PRED2(contains, helper.openFile(setUid), "set-user-ID");
    EXPECT_PRED2(contains, helper.openFile(setGid), "set-user-ID");
    EXPECT_PRED2(contains, helper.openFile(linked), "hard links");

    // The plain file is handed over open for reading and writing; its owner and mode stay.
    cv::UniqueFd file;
    ASSERT_EQ(helper.openFile(plain, &file), "");
    ASSERT_TRUE(file.valid());
    EXPECT_EQ(::fcntl(file.get(), F_GETFL) & O_ACCMODE, O_RDWR);
    ASSERT_EQ(::pwrite(file.get(), "gone..", 6, 0), 6);
    EXPECT_EQ(cv::test::readFile(plain), (std::vector<std::uint8_t>{'g', 'o', 'n', 'e', '.', '.'}));
    for (const auto& [path, mode] : {std::pair{plain, 0400u}, std::pair{setUid, 04755u},
                                     std::pair{setGid, 02755u}, std::pair{shadow, 0640u}}) {
        struct stat info = {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << path;
        EXPECT_EQ(info.st_uid, path == shadow ? 0u : 65534u) << path;
    }
    EXPECT_EQ(cv::test::readFile(shadow), (std::vector<std::uint8_t>{'s', 'e', 'c', 'r', 'e', 't'}));

    // A list is answered per entry, with the same refusals.
    std::vector<std::string> reasons;
    EXPECT_EQ(helper.allow({plain, view + "/shadow", setUid}, &reasons), "");
    ASSERT_EQ(reasons.size(), 3u);
    EXPECT_EQ(reasons[0], "");
    EXPECT_PRED2(contains, reasons[1], "a folder of the system's own");
    EXPECT_PRED2(contains, reasons[2], "set-user-ID");
}

TEST(InstalledHelper, AsksOnceForAJobsListAndOnlyForThatCaller)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the second caller runs as nobody";
    HelperOnBus helper(kInstalledHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(helper.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;
    const ProgramsForNobody programs(helper.folder(), {CINDERVAULT_HELPER_PROBE});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i) {
        files.push_back(helper.folder() + "/protected-" + std::to_string(i));
        cv::test::writeFile(files.back(), std::string("root's"));
        ASSERT_EQ(::chmod(files.back().c_str(), 0400), 0);
    }
    std::vector<std::string> reasons;
    ASSERT_EQ(helper.allow(files, &reasons), "");
    EXPECT_EQ(reasons, std::vector<std::string>(20));
    ASSERT_EQ(polkit.questions.size(), 1u);
    const QString named =
        polkit.questions.front().details.value(QLatin1String(HelperToolProtocol::filesDetail));
    EXPECT_TRUE(named.startsWith(QString::fromStdString(files[0] + ", " + files[1] + ", " + files[2])))
        << named.toStdString();
    EXPECT_TRUE(named.endsWith(u" and 17 more (20 entries)"_s)) << named.toStdString();

    // The listed entries are opened, renamed and deleted without another question.
    for (int i = 0; i < 10; ++i) {
        cv::UniqueFd file;
        EXPECT_EQ(helper.openFile(files[i], &file), "") << files[i];
        EXPECT_TRUE(file.valid());
    }
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(helper.remove(files[i]), "") << files[i];
    EXPECT_EQ(polkit.questions.size(), 1u) << "asked again for an entry of the list";

    // Another caller, of another user, is asked about the same file; the list is this caller's.
    polkit.otherwise = FakePolkitAuthority::Answer::No;
    cv::test::ProcessResult other;
    std::atomic<bool> done{false};
    std::thread probe([&] {
        other = cv::test::runProcess({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                      programs[CINDERVAULT_HELPER_PROBE], helper.address().toStdString(),
                                      "write", files[0], "nobody"});
        done = true;
    });
    cv::test::waitUntil([&] { return done.load(); }, 60000);
    probe.join();
    EXPECT_EQ(other.exitCode, 1) << other.err;
    EXPECT_EQ(polkit.questions.size(), 2u);
    EXPECT_EQ(cv::test::readFile(files[0]), (std::vector<std::uint8_t>{'r', 'o', 'o', 't', '\'', 's'}));

    // At the end of the job the list is allowed no more: the next call asks again.
    helper.forgetAllowed();
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;
    EXPECT_EQ(helper.openFile(files[1]), "");
    EXPECT_EQ(polkit.questions.size(), 3u);
}

TEST(HelperOperations, RenamesTheExaminedEntryInItsFolder)
{
    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    cv::test::makeDir(helper.folder() + "/locked");
    const std::string file = helper.folder() + "/locked/secret-name";
    cv::test::writeFile(file, std::string("x"));
    HelperToolService service(helper.address());
    const auto rename = [&](const cv::ExaminedEntry& entry, const std::string& to) {
        ReplyCatcher catcher;
        service.renameEntryAt(entry, to, catcher.reply(), {});
        return catcher.wait(30000) ? catcher.errorText() : std::string("no reply");
    };
    EXPECT_EQ(rename(examined(file), "Xy7Qa2b9Lm0"), "");
    EXPECT_EQ(cv::test::listNames(helper.folder() + "/locked"), std::vector<std::string>{"Xy7Qa2b9Lm0"});
    EXPECT_PRED2(contains, rename(examined(helper.folder() + "/locked/Xy7Qa2b9Lm0"), "../out"),
                 kInvalidArgument);
    EXPECT_EQ(cv::test::listNames(helper.folder() + "/locked"), std::vector<std::string>{"Xy7Qa2b9Lm0"});
}

TEST(HelperOperations, RefusesLinksSpecialFilesAndPathsThroughLinks)
{
    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    const std::string target = helper.folder() + "/target";
    cv::test::writeFile(target, std::string("x"));
    ASSERT_EQ(::chmod(target.c_str(), 0400), 0);
    const std::string link = helper.folder() + "/link";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = helper.folder() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    cv::test::makeDir(helper.folder() + "/real");
    cv::test::writeFile(helper.folder() + "/real/file", std::string("x"));
    ASSERT_EQ(::chmod((helper.folder() + "/real/file").c_str(), 0400), 0);
    ASSERT_EQ(::symlink("real", (helper.folder() + "/linked-folder").c_str()), 0);

    for (const auto& path : {link, fifo, helper.folder(), helper.folder() + "/linked-folder/file"}) {
        const std::string error = helper.openFile(path);
        EXPECT_PRED2(contains, error, kInvalidArgument) << path;
    }
    EXPECT_EQ(modeOf(target), 0400u) << "the link's target is untouched";
    EXPECT_EQ(modeOf(helper.folder() + "/real/file"), 0400u);
    EXPECT_EQ(modeOf(link), 0777u);

    const std::string through = helper.remove(helper.folder() + "/linked-folder/file");
    EXPECT_PRED2(contains, through, kInvalidArgument);
    EXPECT_TRUE(cv::test::exists(helper.folder() + "/real/file"));
}

TEST(HelperOperations, RefusesRelativePathsDotDotAndWhatIsNoMountPoint)
{
    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    cv::test::makeDir(helper.folder() + "/sub");
    const std::string victim = helper.folder() + "/victim";
    cv::test::writeFile(victim, std::string("x"));
    ASSERT_EQ(::chmod(victim.c_str(), 0400), 0);

    const std::vector<std::string> refused = {"victim", "./victim", "", helper.folder() + "/sub/../victim",
                                              std::string("/tmp/x\0/..", 10)};
    for (const auto& path : refused) {
        EXPECT_PRED2(contains, helper.openFile(path), kInvalidArgument) << path;
        EXPECT_PRED2(contains, helper.remove(path), kInvalidArgument) << path;
        EXPECT_PRED2(contains, helper.reformat(path), kInvalidArgument) << path;
    }
    EXPECT_TRUE(cv::test::exists(victim));
    EXPECT_EQ(modeOf(victim), 0400u);

    const std::string root = helper.reformat("/");
    EXPECT_PRED2(contains, root, "startup volume");
    const std::string elsewhere = helper.reformat(helper.folder());
    EXPECT_PRED2(contains, elsewhere, "at or below /media, /run/media or /mnt");
    EXPECT_PRED2(contains, helper.remove("/"), kInvalidArgument);
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to make a folder in /media";
    TempDir media("/media");
    const std::string folder = helper.reformat(media.path());
    EXPECT_PRED2(contains, folder, "not a mount point");
}

TEST(HelperOperations, DeletesLinksAndFoldersButNeverWhatLinksPointTo)
{
    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    const std::string outside = helper.folder() + "/outside";
    cv::test::makeDir(outside);
    cv::test::writeFile(outside + "/keep", std::string("keep"));
    const std::string link = helper.folder() + "/link";
    ASSERT_EQ(::symlink((outside + "/keep").c_str(), link.c_str()), 0);
    const std::string tree = helper.folder() + "/tree";
    cv::test::makeDir(tree);
    cv::test::makeDir(tree + "/sub");
    cv::test::writeFile(tree + std::string("/sub/caf\xe9 \x01"), std::string("not UTF-8"));
    ASSERT_EQ(::symlink(outside.c_str(), (tree + "/sub/to-outside").c_str()), 0);
    const std::string oddName = helper.folder() + std::string("/na\xefve\xff");
    cv::test::writeFile(oddName, std::string("x"));

    EXPECT_EQ(helper.remove(link), "");
    EXPECT_FALSE(cv::test::exists(link));
    EXPECT_TRUE(cv::test::exists(outside + "/keep"));

    // A folder goes only when it is empty: what it holds nobody examined, and it stays.
    EXPECT_PRED2(contains, helper.remove(tree), "not empty");
    EXPECT_TRUE(cv::test::exists(tree + std::string("/sub/caf\xe9 \x01")));
    EXPECT_EQ(helper.remove(tree + "/sub/to-outside"), "");
    EXPECT_EQ(helper.remove(tree + std::string("/sub/caf\xe9 \x01")), "");
    EXPECT_EQ(helper.remove(tree + "/sub"), "");
    EXPECT_EQ(helper.remove(tree), "");
    EXPECT_FALSE(cv::test::exists(tree));
    EXPECT_TRUE(cv::test::exists(outside + "/keep"));

    // The entry must still be the one examined.
    const std::string swapped = helper.folder() + "/swapped";
    cv::test::writeFile(swapped, std::string("examined"));
    const cv::ExaminedEntry before = examined(swapped);
    ASSERT_EQ(::rename(swapped.c_str(), (swapped + ".moved").c_str()), 0);
    cv::test::writeFile(swapped, std::string("not examined"));
    HelperToolService service(helper.address());
    ReplyCatcher catcher;
    service.deleteFileAtPath(before, catcher.reply(), {});
    ASSERT_TRUE(catcher.wait(30000));
    EXPECT_PRED2(contains, catcher.errorText(), "no longer the file that was examined");
    EXPECT_TRUE(cv::test::exists(swapped));

    EXPECT_EQ(helper.remove(oddName), "") << "names travel as bytes";
    EXPECT_FALSE(cv::test::exists(oddName));
    // Nothing there: said so, never "done".
    EXPECT_PRED2(contains, helper.remove(helper.folder() + "/never-there"),
                 "is missing; nothing was deleted");
}

TEST(HelperOperations, ReformatsALoopMountedVolumeKeepingItsLabelAndMountPoint)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount a loop image";
    TempDir dir("/media");
    LoopVolume volume(dir / "mnt", dir / "volume.img", "CVLABEL");
    if (!volume.mounted())
        GTEST_SKIP() << "no loop devices here";
    cv::test::writeFile(volume.mountPoint() + "/data.txt", std::string("shredded already"));
    cv::test::makeDir(volume.mountPoint() + "/folder");

    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";

    // A volume in use is left as it is: the unmount fails before anything is made.
    {
        cv::UniqueFd busy(::open((volume.mountPoint() + "/data.txt").c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(busy);
        const std::string inUse = helper.reformat(volume.mountPoint());
        EXPECT_PRED2(contains, inUse, "Cannot unmount");
        EXPECT_TRUE(cv::test::exists(volume.mountPoint() + "/data.txt"));
    }

    // A test running beside this one may start a process in a mount namespace of its own, which
    // takes a copy of every mount, this volume's too, for as long as it runs: the helper then
    // rightly finds the device still in use, refuses and mounts it back. Asked again until such a
    // copy has gone.
    std::string reformatted;
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);;) {
        reformatted = helper.reformat(volume.mountPoint() + "/");
        if (!contains(reformatted, "is still in use after unmounting") ||
            std::chrono::steady_clock::now() > deadline)
            break;
        cv::test::waitUntil([] { return false; }, 50);
    }
    EXPECT_EQ(reformatted, "");

    const auto mounts = cv::MountTable::readCurrent();
    ASSERT_TRUE(mounts);
    const auto mounted = std::find_if(mounts->rbegin(), mounts->rend(), [&](const cv::MountEntry& entry) {
        return entry.mountPoint == volume.mountPoint();
    });
    ASSERT_NE(mounted, mounts->rend()) << "mounted again at the same place";
    EXPECT_EQ(mounted->fsType, "ext4");
    EXPECT_EQ(mounted->source, volume.device());
    EXPECT_EQ(volume.label(), "CVLABEL\n");
    EXPECT_EQ(cv::test::listNames(volume.mountPoint()), (std::vector<std::string>{"lost+found"}))
        << "a new, empty file system";
}

TEST(HelperOperations, NeverFormatsWhenThePathToTheVolumeChangesMeanwhile)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount loop images";
    // The volume asked for is mounted at DIR/a/vol; a second volume at DIR/b/vol. Between the steps
    // of the reformat, the test's hook swaps the folder a for a link to b, as a user who may write
    // in a folder on the path could.
    TempDir dir("/media");
    cv::test::makeDir(dir / "a");
    cv::test::makeDir(dir / "b");
    LoopVolume asked(dir / "a/vol", dir / "a.img", "ASKED");
    LoopVolume other(dir / "b/vol", dir / "b.img", "OTHER");
    if (!asked.mounted() || !other.mounted())
        GTEST_SKIP() << "no loop devices here";
    asked.mayBeMountedAt(dir / "a.moved/vol");
    asked.mayBeMountedAt(dir / "b/vol");
    cv::test::writeFile(dir / "a/vol/asked.txt", std::string("still here"));
    cv::test::writeFile(dir / "b/vol/other.txt", std::string("still here"));
    const std::string hook = dir / "hook";
    HelperOnBus helper(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("2"),
                                     QStringLiteral("--reformat-hook"), QString::fromStdString(hook)});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";

    for (const std::string stage : {"resolved", "unmounted"}) {
        SCOPED_TRACE("swapped when " + stage);
        cv::test::writeFile(hook, "#!/bin/sh\ncd '" + dir.path() + "' || exit 1\n[ \"$1\" = " + stage +
                                      " ] && mv a a.moved && ln -s b a\nexit 0\n");
        ASSERT_EQ(::chmod(hook.c_str(), 0755), 0);

        const std::string error = helper.reformat(dir / "a/vol");
        EXPECT_PRED2(contains, error, "changed while it was being reformatted");
        EXPECT_PRED2(contains, error, "nothing was formatted");
        EXPECT_EQ(asked.mountedAt(), dir / "a.moved/vol") << "mounted again on its own folder";
        EXPECT_EQ(asked.label(), "ASKED\n");
        EXPECT_TRUE(cv::test::exists(dir / "a.moved/vol/asked.txt"));
        EXPECT_EQ(other.mountedAt(), dir / "b/vol") << "the link's target is untouched";
        EXPECT_EQ(other.label(), "OTHER\n");
        EXPECT_TRUE(cv::test::exists(dir / "b/vol/other.txt"));
        EXPECT_EQ(cv::test::listNames(dir / "b/vol"), (std::vector<std::string>{"lost+found", "other.txt"}));

        // Back as it was for the next round.
        ASSERT_EQ(::unlink((dir / "a").c_str()), 0);
        ASSERT_EQ(::rename((dir / "a.moved").c_str(), (dir / "a").c_str()), 0);
    }
}

TEST(HelperOperations, FormatsOnlyTheConfirmedVolumeAndSaysBeforehandWhatItRefuses)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount loop images";
    // The user confirmed the volume ASKED at DIR/vol. While polkit asks for the password, it is
    // unmounted and another volume, OTHER, is mounted at the same path (as udisks does with sticks
    // of the same label): the helper's test hook swaps them the moment the answer comes.
    TempDir dir("/media");
    LoopVolume asked(dir / "vol", dir / "a.img", "ASKED");
    if (!asked.mounted())
        GTEST_SKIP() << "no loop devices here";
    ASSERT_EQ(cv::test::runProcess({"truncate", "-s", "16M", dir / "b.img"}).exitCode, 0);
    ASSERT_EQ(cv::test::runProcess({"mkfs.ext4", "-q", "-L", "OTHER", dir / "b.img"}).exitCode, 0);
    // Held open, ASKED's loop device stays when unmounted: OTHER cannot take its number.
    const cv::UniqueFd holdAsked(::open(asked.device().c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(holdAsked);
    cv::test::writeFile(dir / "vol/asked.txt", std::string("still here"));
    const auto confirmed = cv::ConfirmedVolume::of(dir / "vol");
    ASSERT_TRUE(confirmed);
    const std::string hook = dir / "hook";
    cv::test::writeFile(hook, "#!/bin/sh\n[ \"$1\" = answered ] || exit 0\numount '" + dir / "vol" +
                                  "' && mount -o loop '" + dir / "b.img" + "' '" + dir / "vol" +
                                  "' && echo other > '" + dir / "vol/other.txt" + "'\n");
    ASSERT_EQ(::chmod(hook.c_str(), 0755), 0);
    HelperOnBus helper(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("2"),
                                     QStringLiteral("--reformat-hook"), QString::fromStdString(hook)});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";

    // The check asks nobody and changes nothing: a volume the policy allows passes, others get
    // the reason the reformat would be refused with.
    EXPECT_EQ(helper.checkReformat(dir / "vol"), "");
    EXPECT_PRED2(contains, helper.checkReformat("/"), "startup volume");
    EXPECT_PRED2(contains, helper.checkReformat(helper.folder()), "at or below /media, /run/media or /mnt");

    const std::string error = helper.reformat(dir / "vol", *confirmed);
    EXPECT_PRED2(contains, error, "not the volume that was confirmed");
    EXPECT_TRUE(cv::test::exists(dir / "vol/other.txt")) << "the volume swapped in was not formatted";
    EXPECT_EQ(cv::test::runProcess({"blkid", "-p", "-o", "value", "-s", "LABEL", dir / "b.img"}).out,
              "OTHER\n");
    while (::umount2((dir / "vol").c_str(), 0) == 0) {
    }
    EXPECT_EQ(asked.label(), "ASKED\n") << "nor the one confirmed";
}

TEST(HelperOperations, NeverTouchesKernelFilesDeviceNodesFifosOrSockets)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root to mount sysfs and proc and to make a device node";
    HelperOnBus helper(kTestHelper);
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";
    // Instances of their own in the test's folder, gone with the test.
    TempDir dir;
    std::vector<std::string> mounted;
    for (const std::string type : {"sysfs", "proc"}) {
        cv::test::makeDir(dir / type);
        if (::mount(type.c_str(), (dir / type).c_str(), type.c_str(), MS_NOSUID | MS_NODEV | MS_NOEXEC,
                    nullptr) == 0)
            mounted.push_back(dir / type);
    }
    const auto unmount = [&] {
        for (const auto& path : mounted)
            ::umount2(path.c_str(), MNT_DETACH);
    };
    if (mounted.size() != 2) {
        unmount();
        GTEST_SKIP() << "sysfs or proc cannot be mounted here";
    }
    const std::string node = dir / "null";
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socket = dir / "socket";
    ASSERT_EQ(
        cv::test::runProcess(
            {"python3", "-c", "import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])", socket})
            .exitCode,
        0);

    // Files of the kernel: an attribute in sysfs and a setting in proc, both root's and 0644.
    for (const std::string& file : {dir / "sysfs/kernel/profiling", dir / "proc/sys/kernel/hostname"}) {
        struct stat before = {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0) << file;
        const std::string opened = helper.openFile(file);
        EXPECT_PRED2(contains, opened, kInvalidArgument) << file;
        EXPECT_PRED2(contains, opened, "settings of the kernel") << file;
        const std::string deleted = helper.remove(file);
        EXPECT_PRED2(contains, deleted, kInvalidArgument) << file;
        struct stat after = {};
        EXPECT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
    }
    for (const std::string& special : {node, fifo, socket}) {
        EXPECT_PRED2(contains, helper.openFile(special), kInvalidArgument) << special;
        EXPECT_PRED2(contains, helper.remove(special), kInvalidArgument) << special;
        EXPECT_TRUE(cv::test::exists(special)) << special;
    }
    unmount();
}

TEST(HelperOperations, DeletesSnapperSnapshotsOrNamesTheMissingTool)
{
    TempDir tools;
    HelperOnBus helper(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("2"),
                                     QStringLiteral("--tool-path"), QString::fromStdString(tools.path())});
    ASSERT_FALSE(helper.address().isEmpty()) << "dbus-daemon did not start";

    const std::string missing = helper.deleteSnapshots();
    EXPECT_PRED2(contains, missing, HelperToolProtocol::errorToolMissing);
    EXPECT_PRED2(contains, missing, "snapper");

    // A snapper of the test's own that lists three snapshots beside the live system (0).
    const std::string log = tools / "calls";
    cv::test::writeFile(tools / "snapper",
                        "#!/bin/sh\necho \"$*\" >> " + log +
                            "\ncase \"$*\" in *list*) printf 'number\\n0\\n3\\n4\\n7\\n';; esac\n");
    ASSERT_EQ(::chmod((tools / "snapper").c_str(), 0755), 0);
    EXPECT_EQ(helper.deleteSnapshots(), "");
    const auto calls = cv::test::readFile(log);
    EXPECT_EQ(std::string(calls.begin(), calls.end()),
              "--no-dbus --csvout -c root list --columns number\n--no-dbus -c root delete 3 4 7\n");

    // snapper's own failure comes back with its message.
    cv::test::writeFile(tools / "snapper", std::string("#!/bin/sh\necho 'Unknown config.' >&2\nexit 1\n"));
    const std::string failed = helper.deleteSnapshots();
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
    EXPECT_EQ(again.arguments().value(0).toString(), QLatin1String(HelperToolProtocol::version));
    EXPECT_NE(caller->interface()->serviceOwner(name).value(), first) << "a new helper answered";
}

TEST(HelperLifetime, StaysWhileACallerHoldsAListAndLeavesWhenAskedToStop)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "the helper runs as root: only then may it open a file its caller may not write";
    // The package's scripts and systemctl stop a running helper with SIGTERM before removal or
    // upgrade: it holds nothing of any file to give back, and leaves.
    PrivateBus bus(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("1")});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const std::string file = bus.folder() + "/protected";
    cv::test::writeFile(file, std::string("x"));
    ASSERT_EQ(::chmod(file.c_str(), 0400), 0);
    BusConnection caller(bus.address(), QStringLiteral("caller"));
    qDBusRegisterMetaType<QByteArrayList>();
    qDBusRegisterMetaType<QList<qulonglong>>();
    const cv::ExaminedEntry entry = examined(file);
    const QDBusMessage allowed = callDirectly(*caller, QStringLiteral("allowEntriesAt"),
                                              {QVariant::fromValue(QByteArrayList{bytes(entry.folder)}),
                                               QVariant::fromValue(QByteArrayList{bytes(entry.name)}),
                                               QVariant::fromValue(QList<qulonglong>{entry.device}),
                                               QVariant::fromValue(QList<qulonglong>{entry.inode})});
    ASSERT_EQ(allowed.type(), QDBusMessage::ReplyMessage) << qPrintable(allowed.errorMessage());
    const QDBusMessage opened = callDirectly(*caller, QStringLiteral("openFileAt"), entryArguments(file));
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << qPrintable(opened.errorMessage());
    const qint64 helper = helperPid(*caller);
    ASSERT_GT(helper, 0);
    // Its own descriptors: none of the file it handed over.
    const auto holdsTheFile = [&] {
        for (const auto& name : cv::test::listNames("/proc/" + std::to_string(helper) + "/fd")) {
            std::string target(4096, '\0');
            const ssize_t length = ::readlink(("/proc/" + std::to_string(helper) + "/fd/" + name).c_str(),
                                              target.data(), target.size());
            if (length > 0 && target.substr(0, static_cast<std::size_t>(length)) == file)
                return true;
        }
        return false;
    };
    EXPECT_FALSE(holdsTheFile()) << "the helper kept a descriptor of the file it handed over";

    // Idle for three times its idle time, it stays: the caller's list would go with it.
    cv::test::waitUntil([] { return false; }, 3000);
    EXPECT_TRUE(cv::test::isProcessRunning(helper)) << "left while a caller holds a list";
    ASSERT_EQ(::kill(static_cast<pid_t>(helper), SIGTERM), 0);
    EXPECT_TRUE(cv::test::waitUntil([&] { return !cv::test::isProcessRunning(helper); }, 10000))
        << "still running 10 s after SIGTERM";
    EXPECT_EQ(modeOf(file), 0400u);
}

TEST(HelperLifetime, GetVersionDoesNotKeepTheHelperRunning)
{
    // Anyone may ask for the version; asked every few hundred milliseconds it must not keep the
    // root helper running past its idle time.
    PrivateBus bus(kTestHelper, {QStringLiteral("--idle-exit"), QStringLiteral("1")});
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    BusConnection caller(bus.address(), QStringLiteral("caller"));
    ASSERT_EQ(callDirectly(*caller, QStringLiteral("getVersion")).type(), QDBusMessage::ReplyMessage);
    const qint64 first = helperPid(*caller);
    ASSERT_GT(first, 0);
    QElapsedTimer asking;
    asking.start();
    while (asking.elapsed() < 60000 && cv::test::isProcessRunning(first)) {
        callDirectly(*caller, QStringLiteral("getVersion"), {}, 60000);
        cv::test::waitUntil([] { return false; }, 300); // the pace of a caller that only asks the version
    }
    EXPECT_FALSE(cv::test::isProcessRunning(first)) << "still running after a minute of idle time 1 s";
}

TEST(InstalledHelper, TheCommandLinesTextAgentRegistersBeforeTheFirstQuestionAndNeverWithoutAsking)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "needs root: the file is root's, the command line runs as nobody";
    if (::access("/usr/bin/pkttyagent", X_OK) != 0)
        GTEST_SKIP() << "polkit's text agent is not installed";
    PrivateBus bus(kInstalledHelper, kShortIdle);
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    FakePolkitAuthority polkit(bus.address());
    ASSERT_TRUE(polkit.registered());
    polkit.otherwise = FakePolkitAuthority::Answer::Yes;
    const ProgramsForNobody programs(bus.folder(), {CINDERVAULT_CLI}, {"libcindervault-cli-qt"});
    if (!programs.whyNot().empty())
        GTEST_SKIP() << programs.whyNot();
    struct passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);

    for (const bool askPassword : {true, false}) {
        SCOPED_TRACE(askPassword ? "asking" : "--no-ask-password");
        polkit.members.clear();
        polkit.questions.clear();
        // A folder of nobody's holding a file of root's: the helper's work, with a question.
        const std::string tree = bus.folder() + (askPassword ? "/asking" : "/not-asking");
        cv::test::makeDir(tree);
        ASSERT_EQ(::chown(tree.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        cv::test::writeFile(tree + "/root-file", std::string("root's"));
        std::vector<std::string> args{"setpriv",
                                      "--reuid=nobody",
                                      "--regid=nogroup",
                                      "--clear-groups",
                                      "env",
                                      "HOME=" + bus.folder(),
                                      "DBUS_SYSTEM_BUS_ADDRESS=" + bus.address().toStdString(),
                                      programs[CINDERVAULT_CLI],
                                      "shred",
                                      "--yes",
                                      "--no-report",
                                      tree};
        if (!askPassword)
            args.insert(args.end() - 1, "--no-ask-password");

        // On a terminal, where the text agent is wanted; the stand-in polkit answers on this thread.
        std::atomic<bool> done{false};
        int status = -1;
        std::string output;
        std::thread run([&] {
            int terminal = -1;
            const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
            if (pid == 0) {
                std::vector<char*> argv;
                for (auto& arg : args)
                    argv.push_back(arg.data());
                argv.push_back(nullptr);
                ::execvp(argv[0], argv.data());
                ::_exit(127);
            }
            char buffer[4096];
            for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);)
                output.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
            ::close(terminal);
            ::waitpid(pid, &status, 0);
            done = true;
        });
        cv::test::waitUntil([&] { return done.load(); }, 120000);
        run.join();
        ASSERT_TRUE(WIFEXITED(status)) << output;
        EXPECT_EQ(WEXITSTATUS(status), 0) << output;
        EXPECT_FALSE(cv::test::exists(tree)) << output;

        const auto registration =
            std::find_if(polkit.members.begin(), polkit.members.end(), [](const QString& member) {
                return member.startsWith(QLatin1String("RegisterAuthenticationAgent"));
            });
        const auto question =
            std::find(polkit.members.begin(), polkit.members.end(), QStringLiteral("CheckAuthorization"));
        ASSERT_NE(question, polkit.members.end()) << "the helper asked nothing";
        if (askPassword)
            EXPECT_LT(registration, question) << "no text agent before the first question: " << output;
        else
            EXPECT_EQ(registration, polkit.members.end()) << "a text agent although nobody may be asked";
    }
}
