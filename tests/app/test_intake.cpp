// The file intake: files wait while no shred screen takes them, and a second start hands its
// files to the running instance over a private session bus.
#include "AppTestMain.h"
#include "PrivateBus.h"
#include "ProcessRunner.h"
#include "ShredScreenHarness.h"
#include "app/intake/ApplicationBus.h"
#include "app/intake/SystemService.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

struct RecordingDropTarget : DropProtocol
{
    std::vector<std::vector<std::string>> drops;
    void droppedLocations(const std::vector<std::string>& paths) override { drops.push_back(paths); }
    void startDragging() override {}
    void stopDragging() override {}
};

} // namespace

TEST(Intake, FilesWaitUntilAShredScreenIsReadyAndThenGoDirectly)
{
    SystemService intake;
    RecordingDropTarget screen;

    // Before the window: opened files and erase requests queue up, in order.
    intake.openFile("/x/one");
    intake.openFile("/x/two");
    intake.erase({"/x/three", "/x/four"});
    intake.erase({}); // nothing
    EXPECT_EQ(intake.files(), (std::vector<std::string>{"/x/one", "/x/two", "/x/three", "/x/four"}));

    // The shred screen loads: everything arrives together, in arrival order.
    intake.setDelegate(&screen);
    intake.readyToRun();
    ASSERT_EQ(screen.drops.size(), 1u);
    EXPECT_EQ(screen.drops[0], (std::vector<std::string>{"/x/one", "/x/two", "/x/three", "/x/four"}));
    EXPECT_TRUE(intake.files().empty());
    EXPECT_TRUE(intake.readyToReceiveFiles());

    // Ready: one drop per opened file, one per erase request.
    intake.openFile("/y/a");
    intake.erase({"/y/b", "/y/c"});
    ASSERT_EQ(screen.drops.size(), 3u);
    EXPECT_EQ(screen.drops[1], std::vector<std::string>{"/y/a"});
    EXPECT_EQ(screen.drops[2], (std::vector<std::string>{"/y/b", "/y/c"}));

    // A job runs: both kinds wait for the next shred screen rather than reach the replaced one.
    intake.setReadyToReceiveFiles(false);
    intake.openFile("/z/a");
    intake.erase({"/z/b"});
    EXPECT_EQ(screen.drops.size(), 3u);
    EXPECT_EQ(intake.files(), (std::vector<std::string>{"/z/a", "/z/b"}));
}

TEST(Intake, AFileOpenedDuringAJobIsListedOnTheNextShredScreen)
{
    ShredScreenHarness h;
    writeFile(h.dir / "later", std::string(10, 'l'));
    EXPECT_TRUE(h.intake.readyToReceiveFiles());
    EXPECT_EQ(h.intake.delegate(), h.screen);
    h.intake.setReadyToReceiveFiles(false); // what the shred screen does when the job starts
    h.intake.openFile(h.dir / "later");
    EXPECT_TRUE(h.screen->selection().locations().empty()) << "the running job's screen does not get it";

    DropFilesViewController* next = h.makeScreen();
    QSignalSpy scanned(next, &DropFilesViewController::scanFinished);
    h.window.shredTab()->replace(next);
    ASSERT_TRUE(scanned.wait(10000));
    EXPECT_EQ(next->selection().locations(), std::vector<std::string>{h.dir / "later"});
    EXPECT_TRUE(h.intake.files().empty());
    EXPECT_TRUE(h.intake.readyToReceiveFiles());
}

TEST(Intake, ASecondStartHandsItsFilesToTheRunningInstance)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const QDBusConnection first = QDBusConnection::connectToBus(bus.address(), u"first"_s);
    const QDBusConnection second = QDBusConnection::connectToBus(bus.address(), u"second"_s);
    ASSERT_TRUE(first.isConnected() && second.isConnected());

    SystemService intake;
    ApplicationBus instance(intake, first);
    ASSERT_EQ(instance.registerInstance(), ApplicationBus::Registration::Registered);
    SystemService otherIntake;
    ApplicationBus other(otherIntake, second);
    EXPECT_EQ(other.registerInstance(), ApplicationBus::Registration::AnotherInstance);

    // The interfaces as the desktop sees them.
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        QString::fromLatin1(ApplicationBus::kServiceName), QString::fromLatin1(ApplicationBus::kObjectPath),
        u"org.freedesktop.DBus.Introspectable"_s, u"Introspect"_s);
    const QDBusMessage xml = second.call(introspect, QDBus::BlockWithGui, 5000);
    ASSERT_EQ(xml.type(), QDBusMessage::ReplyMessage);
    const QString description = xml.arguments().value(0).toString();
    EXPECT_TRUE(description.contains(u"org.freedesktop.Application"_s));
    EXPECT_TRUE(description.contains(u"<method name=\"Erase\">"_s));
    EXPECT_TRUE(description.contains(u"type=\"aay\""_s)) << "Erase takes paths as bytes";

    QSignalSpy activated(&instance, &ApplicationBus::activateRequested);
    QSignalSpy received(&instance, &ApplicationBus::filesReceived);
    const std::string odd = "/tmp/odd\xFF\xFE name#1";
    EXPECT_TRUE(ApplicationBus::forwardOpen(second, {"/tmp/a b", odd}));
    EXPECT_TRUE(ApplicationBus::forwardErase(second, {odd, "/tmp/c"}));
    EXPECT_TRUE(ApplicationBus::forwardActivate(second));
    // The calls reach the instance through the bus daemon, on the instance's event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.count() >= 2 && activated.count() >= 1; }, 60000));
    EXPECT_EQ(intake.files(), (std::vector<std::string>{"/tmp/a b", odd, odd, "/tmp/c"}));
    EXPECT_EQ(received.count(), 2);
    EXPECT_EQ(activated.count(), 1);

    // Empty, relative or NUL-carrying paths are refused at the bus.
    QDBusMessage erase = QDBusMessage::createMethodCall(
        QString::fromLatin1(ApplicationBus::kServiceName), QString::fromLatin1(ApplicationBus::kObjectPath),
        QString::fromLatin1(ApplicationBus::kServicesInterface), u"Erase"_s);
    erase << QVariant::fromValue(QByteArrayList{"relative/x", "", QByteArray("/a\0b", 4), "/ok"});
    ASSERT_EQ(second.call(erase, QDBus::BlockWithGui, 5000).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(intake.files().back(), "/ok");
    EXPECT_EQ(intake.files().size(), 5u);
    QDBusMessage open = QDBusMessage::createMethodCall(QString::fromLatin1(ApplicationBus::kServiceName),
                                                       QString::fromLatin1(ApplicationBus::kObjectPath),
                                                       u"org.freedesktop.Application"_s, u"Open"_s);
    open << QStringList{u"relative/x"_s, QString(), u"file:"_s, u"file://"_s, u"file:///opened"_s}
         << QVariantMap();
    ASSERT_EQ(second.call(open, QDBus::BlockWithGui, 5000).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(intake.files().back(), "/opened");
    EXPECT_EQ(intake.files().size(), 6u);
}

TEST(Intake, TheRealProgramForwardsItsArgumentsAndEnds)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    const QDBusConnection first = QDBusConnection::connectToBus(bus.address(), u"instance"_s);
    SystemService intake;
    ApplicationBus instance(intake, first);
    ASSERT_EQ(instance.registerInstance(), ApplicationBus::Registration::Registered);

    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8().constData(), 1);
    const auto run = [](std::vector<std::string> argv) {
        // The program runs on a thread of its own while this one answers its bus calls.
        auto result = std::async(std::launch::async, [argv] { return runProcess(argv); });
        while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QTest::qWait(10);
        return result.get();
    };
    const std::string odd = "/tmp/name\xFFnot-utf8";
    // Under a time limit: should the program fail to see the instance, it must not stay running.
    const ProcessResult erase = run({"timeout", "30", CINDERVAULT_APP_BINARY, "--erase", odd, "relative"});
    EXPECT_EQ(erase.exitCode, 0) << erase.err;
    const ProcessResult open = run({"timeout", "30", CINDERVAULT_APP_BINARY, "/tmp/opened"});
    EXPECT_EQ(open.exitCode, 0) << open.err;
    // Arguments that name nothing, or a parent folder, end the program before anything is sent.
    for (const std::string argument : {"", "..", "/tmp/.", "./"}) {
        const ProcessResult refused =
            run({"timeout", "30", CINDERVAULT_APP_BINARY, "--erase", "/tmp/x", argument});
        EXPECT_EQ(refused.exitCode, 2) << argument << ": " << refused.err;
        EXPECT_NE(refused.err.find("'" + argument + "'"), std::string::npos) << refused.err;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + appTestHome() + "/no-bus").c_str(), 1);

    char folder[4096];
    ASSERT_NE(::getcwd(folder, sizeof folder), nullptr);
    EXPECT_EQ(intake.files(),
              (std::vector<std::string>{odd, std::string(folder) + "/relative", "/tmp/opened"}));
}

} // namespace cv::test
