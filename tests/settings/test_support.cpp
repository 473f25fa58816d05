#include "LogCapture.h"
#include "LoopbackHttpServer.h"
#include "net/ServiceEndpoints.h"
#include "settings/SupportFormModel.h"
#include "settings/SupportMessageSender.h"

#include <QSignalSpy>
#include <QTcpServer>

#include <gtest/gtest.h>

using cv::ServiceEndpoints;
using cv::SupportFormModel;
using cv::SupportMessage;
using cv::SupportMessageSender;
using cv::test::LoopbackHttpServer;
using FieldState = cv::SupportFormModel::FieldState;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

SupportMessage sampleMessage()
{
    return {u"Jörg Müller & Co"_s,
            u"j.mueller+support@example.com"_s,
            u"Rendmark Mac 2® - 1.0.0 (1)\n"_s,
            u"Hello = world?\nLine 2: 100% sure / 50+50"_s,
            u"Rendmark Mac 2® - 1.0.0 (1)\n"_s,
            u"Debian GNU/Linux 12 (bookworm)"_s,
            u"ThinkPad X1 Carbon"_s};
}

} // namespace

TEST(SupportMessage, ExactFormBody)
{
    EXPECT_EQ(SupportMessageSender::messageText(sampleMessage()),
              u"Hello = world?\nLine 2: 100% sure / 50+50\n\n\n--------------------------------\n\n"
              "Rendmark Mac 2® - 1.0.0 (1)\nOS Version: Debian GNU/Linux 12 (bookworm)\n"
              "Model Identifier: ThinkPad X1 Carbon\n"_s);
    // Keys in ascending order; UTF-8 bytes, "&", "=", "+", "%", blanks and line breaks encoded.
    EXPECT_EQ(
        SupportMessageSender::formBody(sampleMessage()),
        QByteArray("email=j.mueller%2Bsupport%40example.com"
                   "&key=Qh7tWm2xKp9LbR4nZc8V"
                   "&message=Hello%20%3D%20world?%0ALine%202%3A%20100%25%20sure%20/%2050%2B50%0A%0A%0A"
                   "--------------------------------%0A%0ARendmark%20Mac%202%C2%AE%20-%201.0.0%20%281%29%0A"
                   "OS%20Version%3A%20Debian%20GNU/Linux%2012%20%28bookworm%29%0A"
                   "Model%20Identifier%3A%20ThinkPad%20X1%20Carbon%0A"
                   "&name=J%C3%B6rg%20M%C3%BCller%20%26%20Co"
                   "&subject=Rendmark%20Mac%202%C2%AE%20-%201.0.0%20%281%29%0A"
                   "&system-info=Debian%20GNU/Linux%2012%20%28bookworm%29"));
    EXPECT_EQ(SupportFormModel::versionLine(u"1.0.0"_s, u"1"_s), u"Rendmark Mac 2® - 1.0.0 (1)\n"_s);
}

// A sender on a loopback server, with plain HTTP to it allowed.
class SupportServer : public testing::Test
{
protected:
    void SetUp() override
    {
        ServiceEndpoints::setLoopbackHttpAllowed(true);
        ASSERT_TRUE(server.listen());
        sender.setEndpoint(ServiceEndpoints::supportServiceFrom(server.url(QString()).toString()));
        ASSERT_TRUE(sender.isConfigured());
        sender.setLimits({.timeout = 500ms});
    }
    void TearDown() override { ServiceEndpoints::setLoopbackHttpAllowed(false); }

    // Sends the sample message; the outcome and the reason.
    std::pair<bool, QString> send()
    {
        QSignalSpy finished(&sender, &SupportMessageSender::finished);
        EXPECT_TRUE(sender.send(sampleMessage()));
        EXPECT_TRUE(finished.wait(10000)) << "the send never ended";
        EXPECT_EQ(finished.count(), 1);
        if (finished.isEmpty())
            return {false, QString()};
        return {finished.at(0).at(0).toBool(), finished.at(0).at(1).toString()};
    }

    LoopbackHttpServer server;
    SupportMessageSender sender;
};

TEST_F(SupportServer, SuccessOnlyOnExactlyMessageSent)
{
    cv::test::LogCapture log;
    server.answer(200, "Message sent!");
    EXPECT_EQ(send(), std::pair(true, QString()));
    ASSERT_EQ(server.requests().size(), 1);
    const auto& request = server.requests()[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/support");
    EXPECT_EQ(request.headers.value("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.body, SupportMessageSender::formBody(sampleMessage()));
    EXPECT_TRUE(log.contains("response Message sent!"));

    for (const QByteArray& other : {QByteArray("Message sent!\n"), QByteArray("message sent!"), QByteArray(),
                                    QByteArray("Error: spam"), QByteArray(" Message sent!")}) {
        server.answer(200, other);
        const auto [success, reason] = send();
        EXPECT_FALSE(success) << "accepted the answer \"" << other.toStdString() << '"';
        EXPECT_FALSE(reason.isEmpty());
    }
}

TEST_F(SupportServer, ErrorsOfTheServerAndTheNetwork)
{
    cv::test::LogCapture log;
    const auto expectError = [&](const char* what, const QString& reasonPart) {
        const auto [success, reason] = send();
        EXPECT_FALSE(success) << what;
        EXPECT_TRUE(reason.contains(reasonPart)) << what << ": " << reason.toStdString();
        EXPECT_FALSE(sender.isSending());
    };

    server.answer(500, "Message sent!");
    expectError("status 500", u"500"_s);
    EXPECT_TRUE(log.contains("Error: HTTP status 500"));

    // A message sent on would have to be sent again: never followed.
    server.redirect(307, "/api/support/v2");
    const qsizetype before = server.requests().size();
    expectError("redirect", u"/api/support/v2"_s);
    EXPECT_EQ(server.requests().size() - before, 1);

    server.setMode(LoopbackHttpServer::Mode::Silent);
    expectError("no answer", u"did not answer in time"_s);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    sender.setEndpoint(
        ServiceEndpoints::supportServiceFrom(u"http://127.0.0.1:%1"_s.arg(closed.serverPort())));
    closed.close();
    expectError("refused connection", u"could not be reached"_s);
}

TEST_F(SupportServer, OneMessageAtATime)
{
    server.setMode(LoopbackHttpServer::Mode::Silent);
    QSignalSpy sending(&sender, &SupportMessageSender::sendingChanged);
    QSignalSpy finished(&sender, &SupportMessageSender::finished);
    QSignalSpy received(&server, &LoopbackHttpServer::requestReceived);
    ASSERT_TRUE(sender.send(sampleMessage()));
    EXPECT_TRUE(sender.isSending());
    ASSERT_TRUE(received.wait(10000));
    EXPECT_FALSE(sender.send(sampleMessage())) << "a second message while one is on its way";
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(sending.count(), 2);

    // Without a configured service nothing is sent.
    SupportMessageSender unconfigured;
    unconfigured.setEndpoint(ServiceEndpoints::supportServiceFrom(QString()));
    QSignalSpy unconfiguredFinished(&unconfigured, &SupportMessageSender::finished);
    EXPECT_FALSE(unconfigured.send(sampleMessage()));
    EXPECT_EQ(unconfiguredFinished.count(), 0);
}

TEST(SupportForm, EmailExpression)
{
    for (const QString& valid :
         {u"user@example.com"_s, u"USER@EXAMPLE.COM"_s, u"First.Last+tag@mail.example.co.uk"_s,
          u"o'brien@example.ie"_s, u"\"john..doe\"@example.com"_s, u"user@[192.168.0.1]"_s, u"a@b.c"_s,
          u"x_y-z@sub-domain.example.org"_s})
        EXPECT_TRUE(SupportFormModel::validateEmail(valid)) << valid.toStdString();
    for (const QString& invalid :
         {u" user@example.com"_s, u"user@example.com "_s, u"user@localhost"_s, u"user@example..com"_s,
          u"user.@example.com"_s, u".user@example.com"_s, u"@example.com"_s, u"user@"_s, u"user"_s,
          u"user@@example.com"_s, u"user@example.com\n"_s, u"user@example.com\nbcc@example.com"_s,
          u"user@exa mple.com"_s, u"user@-example.com"_s, u"user@example-.com"_s, u"user@[300.1.1.1]"_s,
          u"jörg@example.com"_s, u""_s})
        EXPECT_FALSE(SupportFormModel::validateEmail(invalid)) << invalid.toStdString();

    // Long input ends, with an answer (no runaway backtracking that would freeze the window).
    EXPECT_FALSE(SupportFormModel::validateEmail(u"a@"_s + QString(100000, u'a') + u'!'));
    EXPECT_FALSE(SupportFormModel::validateEmail(QString(100000, u'a') + u"@example"_s));
    EXPECT_FALSE(SupportFormModel::validateEmail(u"a@"_s + u"a-"_s.repeated(50000) + u".com-"_s));
}

TEST(SupportForm, ValidationAndSend)
{
    ServiceEndpoints::setLoopbackHttpAllowed(true);
    LoopbackHttpServer server;
    ASSERT_TRUE(server.listen());
    SupportMessageSender sender;
    sender.setEndpoint(ServiceEndpoints::supportServiceFrom(server.url(QString()).toString()));
    SupportFormModel form(sender);
    EXPECT_EQ(form.subject(), SupportFormModel::versionLine()) << "the subject starts as the version line";
    EXPECT_EQ(form.nameState(), FieldState::Unchecked);
    EXPECT_FALSE(form.canSend());

    QSignalSpy canSend(&form, &SupportFormModel::canSendChanged);
    QSignalSpy nameStates(&form, &SupportFormModel::nameStateChanged);
    form.setName(u" \t "_s);
    EXPECT_EQ(form.nameState(), FieldState::Invalid) << "blanks only";
    form.setEmail(u"user@example.com"_s);
    EXPECT_EQ(form.emailState(), FieldState::Valid);
    EXPECT_FALSE(form.canSend());
    form.setName(u" Jörg"_s);
    EXPECT_EQ(form.nameState(), FieldState::Valid) << "blanks are trimmed only to test for emptiness";
    EXPECT_TRUE(form.canSend());
    EXPECT_EQ(nameStates.count(), 2);
    form.setEmail(u" user@example.com"_s);
    EXPECT_EQ(form.emailState(), FieldState::Invalid);
    EXPECT_FALSE(form.canSend());
    form.setEmail(u"   "_s);
    EXPECT_EQ(form.emailState(), FieldState::Invalid);
    form.setEmail(u"USER@EXAMPLE.COM"_s);
    ASSERT_TRUE(form.canSend());
    EXPECT_EQ(canSend.count(), 3);

    // The message may be empty. While it is on its way, Send is disabled and a send refused.
    server.setMode(LoopbackHttpServer::Mode::Silent);
    sender.setLimits({.timeout = 300ms});
    QSignalSpy finished(&sender, &SupportMessageSender::finished);
    QSignalSpy changed(&form, &SupportFormModel::messageChanged);
    form.setMachineFacts(u"Debian 12"_s, u"Model"_s);
    EXPECT_EQ(changed.count(), 1) << "the facts sent along are shown as soon as they are known";
    const SupportMessage shown = form.outgoingMessage();
    ASSERT_TRUE(form.send());
    EXPECT_FALSE(form.canSend());
    EXPECT_FALSE(form.send());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(form.canSend()) << "Send is enabled again once the answer is in";
    EXPECT_EQ(form.name(), u" Jörg"_s) << "the fields keep their contents";
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].body.startsWith("email=USER%40EXAMPLE.COM&key="));
    // Exactly what was shown before Send went out: every field, the facts appended to the message.
    EXPECT_EQ(server.requests()[0].body, SupportMessageSender::formBody(shown));
    QStringList keys;
    for (const auto& [key, value] : SupportMessageSender::formFields(shown))
        keys << key;
    EXPECT_EQ(keys,
              (QStringList{u"email"_s, u"key"_s, u"message"_s, u"name"_s, u"subject"_s, u"system-info"_s}));
    EXPECT_TRUE(SupportMessageSender::messageText(shown).contains(u"Model Identifier: Model"_s));

    // A form opened with a name and address it already knows can be sent at once; without a
    // configured service it cannot.
    SupportFormModel prefilled(sender);
    prefilled.setName(u"Jörg"_s);
    prefilled.setEmail(u"joerg@example.com"_s);
    EXPECT_TRUE(prefilled.canSend());
    SupportMessageSender unconfigured;
    unconfigured.setEndpoint(ServiceEndpoints::supportServiceFrom(QString()));
    SupportFormModel offline(unconfigured);
    offline.setName(u"Jörg"_s);
    offline.setEmail(u"joerg@example.com"_s);
    EXPECT_FALSE(offline.canSend());
    ServiceEndpoints::setLoopbackHttpAllowed(false);
}
