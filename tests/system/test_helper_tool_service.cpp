// The helper's client on its own: without a bus, without a helper, and against a stand-in helper
// that answers only its version. The client's work with the real helper is tested in tests/helper.
#include "PrivateBus.h"
#include "ReplyCatcher.h"
#include "TempDir.h"
#include "common/HelperToolProtocol.h"
#include "system/HelperToolService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <atomic>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using cv::HelperToolService;
using cv::test::PrivateBus;
using cv::test::ReplyCatcher;
using cv::test::TempDir;

namespace {

const cv::ExaminedEntry kEntry{"/tmp", "x", 1, 2};

// openFileForWriting of kEntry, its outcome handed to a plain reply (the descriptor closed).
void openFile(HelperToolService& service, const HelperToolService::Reply& reply)
{
    service.openFileForWriting(kEntry,
                               [reply](cv::Expected<cv::UniqueFd, std::string> outcome) {
                                   if (outcome)
                                       reply({});
                                   else
                                       reply(cv::Unexpected(outcome.error()));
                               },
                               {});
}

// The four operations that answer through a reply, by name for messages.
const std::vector<std::pair<const char*, std::function<void(HelperToolService&, HelperToolService::Reply)>>>
    kOperations = {
        {"openFileForWriting", [](HelperToolService& s, HelperToolService::Reply r) { openFile(s, r); }},
        {"deleteFileAtPath",
         [](HelperToolService& s, HelperToolService::Reply r) { s.deleteFileAtPath(kEntry, r, {}); }},
        {"reformatVolumeAt",
         [](HelperToolService& s, HelperToolService::Reply r) {
             s.reformatVolumeAt("/tmp/x", cv::ConfirmedVolume{1, 2, "u", "l"}, r, {});
         }},
        {"deleteSnapshotsWithReply",
         [](HelperToolService& s, HelperToolService::Reply r) { s.deleteSnapshotsWithReply(r); }},
};

// A helper on its own connection that answers getVersion with a given version, and every other
// call with the next of its answers: an error name, or "" for success (none left: no answer).
class StandInHelper : public QDBusVirtualObject
{
public:
    StandInHelper(const QString& address, QString version)
        : m_connection(QDBusConnection::connectToBus(address, QStringLiteral("stand-in-helper"))),
          m_version(std::move(version))
    {
        m_connection.registerVirtualObject(QLatin1String(cv::HelperToolProtocol::objectPath), this);
        m_registered = m_connection.registerService(QLatin1String(cv::HelperToolProtocol::serviceName));
    }
    ~StandInHelper() override
    {
        m_connection.unregisterObject(QLatin1String(cv::HelperToolProtocol::objectPath));
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-in-helper"));
    }
    bool registered() const { return m_registered; }
    std::deque<QString> answers;
    int calls = 0;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() == QLatin1String("getVersion")) {
            connection.send(message.createReply(QVariant(m_version)));
            return true;
        }
        ++calls;
        if (answers.empty())
            return true;
        const QString answer = answers.front();
        answers.pop_front();
        connection.send(answer.isEmpty() ? message.createReply()
                                         : message.createErrorReply(answer, QStringLiteral("stand-in")));
        return true;
    }

private:
    QDBusConnection m_connection;
    QString m_version;
    bool m_registered = false;
};

// Makes the service's install step write marker, so that the test sees whether it ran.
void installWritesMarker(HelperToolService& service, const std::string& marker)
{
    service.setInstallCommand(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("echo yes > ") + QString::fromStdString(marker)});
    // Whatever this machine has installed: no package's helper, unless a test says so.
    service.setPackagedHelperActivation(QString::fromStdString(marker + ".no-package"));
}

} // namespace

TEST(HelperToolService, AnswersEveryCallWithAnErrorWhenThereIsNoBus)
{
    TempDir dir;
    HelperToolService service(QString::fromStdString("unix:path=" + dir.path() + "/no-bus-here"));

    for (const auto& [name, operation] : kOperations) {
        ReplyCatcher catcher;
        operation(service, catcher.reply());
        // Never inside the call: a caller may hold what its reply needs.
        EXPECT_EQ(catcher.count(), 0) << name;
        ASSERT_TRUE(catcher.wait()) << name << " never answered";
        EXPECT_TRUE(catcher.error().has_value()) << name;
        EXPECT_NE(catcher.errorText().find("cannot be reached"), std::string::npos) << catcher.errorText();
    }

    // The way per-file shredding calls: from a worker that blocks for at most 5 seconds while the
    // service's own thread goes on running its events.
    std::atomic<bool> workerDone = false;
    bool answered = false;
    ReplyCatcher fromWorker;
    std::thread worker([&] {
        openFile(service, fromWorker.reply());
        answered = fromWorker.waitBlocking(5000);
        workerDone = true;
    });
    EXPECT_TRUE(cv::test::waitUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(fromWorker.error().has_value());
    cv::test::waitUntil([] { return false; }, 100); // a second reply would come now
    EXPECT_EQ(fromWorker.count(), 1);

    // Without a bus and without pkexec, the update check ends in a failed installation, not a hang.
    service.setInstallCommand(QString::fromStdString(dir / "no-such-pkexec"), {});
    QSignalSpy checked(&service, &HelperToolService::updateChecked);
    QSignalSpy installed(&service, &HelperToolService::installFinished);
    service.installIfNeeded();
    ASSERT_TRUE(cv::test::waitUntil([&] { return installed.count() > 0; }));
    ASSERT_EQ(checked.count(), 1);
    EXPECT_FALSE(checked.at(0).at(0).toBool());
    EXPECT_FALSE(installed.at(0).at(0).toBool());
}

TEST(HelperToolService, AnswersErrorsWhenNoHelperIsInstalled)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    HelperToolService service(bus.address());

    for (const auto& [name, operation] : kOperations) {
        ReplyCatcher catcher;
        operation(service, catcher.reply());
        ASSERT_TRUE(catcher.wait()) << name << " never answered";
        EXPECT_NE(catcher.errorText().find("org.freedesktop.DBus.Error.ServiceUnknown"), std::string::npos)
            << name << ": " << catcher.errorText();
    }

    // A helper that is not there is installed: the install step runs.
    const std::string marker = bus.folder() + "/installed";
    installWritesMarker(service, marker);
    QSignalSpy installed(&service, &HelperToolService::installFinished);
    service.updateIfNeeded();
    ASSERT_TRUE(cv::test::waitUntil([&] { return installed.count() > 0; }));
    EXPECT_TRUE(installed.at(0).at(0).toBool());
    EXPECT_TRUE(cv::test::exists(marker));
    ASSERT_EQ(::unlink(marker.c_str()), 0);

    // With the package's helper installed, a build uses it and never installs its own beside it.
    const std::string packaged = bus.folder() + "/packaged.service";
    cv::test::writeFile(packaged, std::string("[D-BUS Service]\n"));
    service.setPackagedHelperActivation(QString::fromStdString(packaged));
    service.installAction();
    ASSERT_TRUE(cv::test::waitUntil([&] { return installed.count() > 1; }));
    EXPECT_FALSE(installed.at(1).at(0).toBool());
    EXPECT_FALSE(cv::test::exists(marker)) << "installed beside the package's helper";

    // A failing install step is reported as failed.
    service.setPackagedHelperActivation(QString::fromStdString(marker + ".no-package"));
    service.setInstallCommand(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 126")});
    service.installAction();
    ASSERT_TRUE(cv::test::waitUntil([&] { return installed.count() > 2; }));
    EXPECT_FALSE(installed.at(2).at(0).toBool());
}

TEST(HelperToolService, InstallsOnlyWhenTheHelperAnswersAnotherVersion)
{
    for (const auto& [version, upToDate] :
         {std::pair{cv::HelperToolProtocol::version, true}, std::pair{"1.0", false}}) {
        PrivateBus bus;
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        StandInHelper helper(bus.address(), QString::fromLatin1(version));
        ASSERT_TRUE(helper.registered());

        HelperToolService service(bus.address());
        const std::string marker = bus.folder() + "/installed";
        installWritesMarker(service, marker);
        QSignalSpy checked(&service, &HelperToolService::updateChecked);
        QSignalSpy installed(&service, &HelperToolService::installFinished);
        service.updateIfNeeded();
        ASSERT_TRUE(cv::test::waitUntil([&] { return checked.count() > 0; })) << version;
        EXPECT_EQ(checked.at(0).at(0).toBool(), upToDate) << version;
        if (!upToDate) {
            ASSERT_TRUE(cv::test::waitUntil([&] { return installed.count() > 0; })) << version;
        }
        EXPECT_EQ(installed.count(), upToDate ? 0 : 1) << version;
        EXPECT_EQ(cv::test::exists(marker), !upToDate) << version;
    }
}

TEST(HelperToolService, SendsACallAgainWhileTheHelperIsBusyWithAnEarlierOne)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    StandInHelper helper(bus.address(), QLatin1String(cv::HelperToolProtocol::version));
    ASSERT_TRUE(helper.registered());
    HelperToolService service(bus.address());
    const QString busy = QLatin1String(cv::HelperToolProtocol::errorBusy);

    // Polkit is still asking about an earlier call (the user types the password): this one waits.
    helper.answers = {busy, busy, QString()};
    ReplyCatcher waited;
    service.deleteFileAtPath(kEntry, waited.reply(), {});
    ASSERT_TRUE(waited.wait());
    EXPECT_FALSE(waited.error().has_value()) << waited.errorText();
    EXPECT_EQ(helper.calls, 3);

    // Any other answer is handed on at once.
    helper.answers = {QLatin1String(cv::HelperToolProtocol::errorAccessDenied), QString()};
    ReplyCatcher refused;
    openFile(service, refused.reply());
    ASSERT_TRUE(refused.wait());
    EXPECT_NE(refused.errorText().find("AccessDenied"), std::string::npos) << refused.errorText();
    EXPECT_EQ(helper.calls, 4);
}

TEST(HelperToolService, HasWhoeverAsksTheUserReadyBeforeEachCallThatMayAskAndOnlyThen)
{
    // The command line starts its text agent here: an agent started late leaves polkit nobody to
    // ask, one started for nothing (a check, or --no-ask-password) runs a program on the terminal
    // for no question.
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    StandInHelper helper(bus.address(), QLatin1String(cv::HelperToolProtocol::version));
    ASSERT_TRUE(helper.registered());

    for (const bool askingAllowed : {true, false}) {
        HelperToolService service(bus.address());
        service.setInteractiveAuthorizationAllowed(askingAllowed);
        // The number of calls the helper had seen each time the hook ran.
        std::vector<int> seenAtHook;
        service.setBeforeAsking([&] { seenAtHook.push_back(helper.calls); });
        helper.answers.assign(kOperations.size() + 1, QString());

        ReplyCatcher checked;
        service.checkReformatVolumeAt("/tmp/x", checked.reply());
        ASSERT_TRUE(checked.wait());
        EXPECT_TRUE(seenAtHook.empty()) << "a check asks nobody";

        for (const auto& [name, operation] : kOperations) {
            const int callsBefore = helper.calls;
            const std::size_t hooksBefore = seenAtHook.size();
            ReplyCatcher catcher;
            operation(service, catcher.reply());
            ASSERT_TRUE(catcher.wait()) << name << " never answered";
            if (!askingAllowed) {
                EXPECT_TRUE(seenAtHook.empty()) << name << " with asking not allowed";
                continue;
            }
            ASSERT_EQ(seenAtHook.size(), hooksBefore + 1) << name;
            EXPECT_EQ(seenAtHook.back(), callsBefore) << name << " reached the helper before the hook ran";
        }
    }
}

TEST(HelperToolService, OnlyABuildRunFromItsFolderInstallsItsHelper)
{
    // Installed, the package put the helper in place: the window runs nothing as root itself, also
    // where a build's install step exists.
    EXPECT_TRUE(HelperToolService::installerPath(QStringLiteral("/usr/bin")).isEmpty());
    EXPECT_TRUE(
        HelperToolService::installerPath(QStringLiteral(CINDERVAULT_BUILD_DIR "-copy/src/app")).isEmpty());
    // Run from the build folder: the build's own install step.
    EXPECT_EQ(HelperToolService::installerPath(QStringLiteral(CINDERVAULT_BUILD_DIR "/src/app")),
              QStringLiteral(CINDERVAULT_BUILD_DIR "/helper-bundle/cindervault-helper-install"));
}
