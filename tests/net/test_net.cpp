#include "LoopbackHttpServer.h"
#include "net/HttpExchange.h"
#include "net/ServiceEndpoints.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <optional>

using cv::HttpExchange;
using cv::ServiceEndpoints;
using cv::test::LoopbackHttpServer;
using namespace Qt::StringLiterals;

namespace {

using State = ServiceEndpoints::Endpoint::State;

// Switches plain HTTP to loopback addresses on for the life of the object.
struct LoopbackHttp
{
    LoopbackHttp() { ServiceEndpoints::setLoopbackHttpAllowed(true); }
    ~LoopbackHttp() { ServiceEndpoints::setLoopbackHttpAllowed(false); }
};

// Runs one request to its end and returns its result.
std::optional<HttpExchange::Result> run(HttpExchange& exchange, const QUrl& url,
                                        const HttpExchange::Limits& limits = {})
{
    QSignalSpy finished(&exchange, &HttpExchange::finished);
    std::optional<HttpExchange::Result> result;
    QObject::connect(&exchange, &HttpExchange::finished, &exchange,
                     [&result](const HttpExchange::Result& r) { result = r; });
    if (!exchange.get(url, limits) || !finished.wait(10000))
        return std::nullopt;
    EXPECT_EQ(finished.count(), 1);
    QObject::disconnect(&exchange, &HttpExchange::finished, &exchange, nullptr);
    return result;
}

} // namespace

TEST(ServiceEndpoints, OnlyHttpsOutsideTests)
{
    ASSERT_FALSE(ServiceEndpoints::loopbackHttpAllowed())
        << "plain HTTP must be off unless a test switches it on";
    EXPECT_TRUE(ServiceEndpoints::isAllowedUrl(QUrl(u"https://updates.example.com/appcast.xml"_s)));
    EXPECT_TRUE(ServiceEndpoints::isAllowedUrl(QUrl(u"HTTPS://updates.example.com:8443/a"_s)));
    for (const QString& text : {u"http://updates.example.com/appcast.xml"_s, u"http://127.0.0.1:8080/feed"_s,
                                u"ftp://updates.example.com/appcast.xml"_s, u"file:///etc/passwd"_s,
                                u"updates.example.com/appcast.xml"_s, u"https:///appcast.xml"_s, u""_s})
        EXPECT_FALSE(ServiceEndpoints::isAllowedUrl(QUrl(text))) << text.toStdString();

    LoopbackHttp loopback;
    EXPECT_TRUE(ServiceEndpoints::isAllowedUrl(QUrl(u"http://127.0.0.1:8080/feed"_s)));
    EXPECT_TRUE(ServiceEndpoints::isAllowedUrl(QUrl(u"http://[::1]:8080/feed"_s)));
    for (const QString& text : {u"http://updates.example.com/appcast.xml"_s, u"http://localhost:8080/feed"_s,
                                u"http://127.0.0.1.example.com/feed"_s, u"http://192.168.1.1/feed"_s})
        EXPECT_FALSE(ServiceEndpoints::isAllowedUrl(QUrl(text)))
            << "test mode is for loopback addresses only: " << text.toStdString();
}

TEST(ServiceEndpoints, AddressesFromTheBuildOrTheEnvironment)
{
    {
        const auto feed = ServiceEndpoints::updateFeedFrom(QString());
        EXPECT_EQ(feed.state, State::NotConfigured);
        EXPECT_FALSE(feed.problem.isEmpty()) << "the pane shows why there are no update checks";
        EXPECT_EQ(ServiceEndpoints::supportServiceFrom(QString()).state, State::NotConfigured);
    }
    {
        const auto feed =
            ServiceEndpoints::updateFeedFrom(u"https://updates.example.com/cindervault/appcast.xml"_s);
        ASSERT_EQ(feed.state, State::Ready);
        EXPECT_EQ(feed.url, QUrl(u"https://updates.example.com/cindervault/appcast.xml"_s));
        const auto insecure = ServiceEndpoints::updateFeedFrom(u"http://updates.example.com/appcast.xml"_s);
        EXPECT_EQ(insecure.state, State::Invalid);
        EXPECT_FALSE(insecure.problem.isEmpty());
    }
    {
        // The support address names the server; messages go to its path /api/support.
        const auto support = ServiceEndpoints::supportServiceFrom(u"https://support.example.com"_s);
        ASSERT_EQ(support.state, State::Ready);
        EXPECT_EQ(support.url, QUrl(u"https://support.example.com/api/support"_s));
        EXPECT_EQ(ServiceEndpoints::supportServiceFrom(u"https://support.example.com:8443/other?x=1#y"_s).url,
                  QUrl(u"https://support.example.com:8443/api/support"_s));
        EXPECT_EQ(ServiceEndpoints::supportServiceFrom(u"http://support.example.com"_s).state,
                  State::Invalid);
    }
    {
        // The environment overrides the build; set but empty, it leaves the service unconfigured.
        qputenv(ServiceEndpoints::kUpdateFeedVariable, "https://mirror.example.org/appcast.xml");
        qputenv(ServiceEndpoints::kSupportVariable, "");
        EXPECT_EQ(ServiceEndpoints::updateFeed().url, QUrl(u"https://mirror.example.org/appcast.xml"_s));
        EXPECT_EQ(ServiceEndpoints::supportService().state, State::NotConfigured);
        qputenv(ServiceEndpoints::kUpdateFeedVariable, "http://127.0.0.1:1/appcast.xml");
        EXPECT_EQ(ServiceEndpoints::updateFeed().state, State::Invalid)
            << "the environment cannot allow plain HTTP";
        qunsetenv(ServiceEndpoints::kUpdateFeedVariable);
        qunsetenv(ServiceEndpoints::kSupportVariable);
    }
}

TEST(HttpExchange, RedirectsAreCheckedBeforeTheyAreFollowed)
{
    LoopbackHttp loopback;
    LoopbackHttpServer server;
    ASSERT_TRUE(server.listen());
    HttpExchange exchange;

    {
        // To another path of the same (allowed) server: followed.
        server.redirect(302, "/moved");
        QObject::connect(&server, &LoopbackHttpServer::requestReceived, &server, [&server] {
            if (server.requests().size() == 1)
                QMetaObject::invokeMethod(
                    &server, [&server] { server.answer(200, "here"); }, Qt::QueuedConnection);
        });
        const auto result = run(exchange, server.url(u"/feed"_s));
        ASSERT_TRUE(result.has_value());
        ASSERT_TRUE(*result) << result->error().detail.toStdString();
        EXPECT_EQ((*result)->body, "here");
        ASSERT_EQ(server.requests().size(), 2);
        EXPECT_EQ(server.requests()[1].path, "/moved");
        QObject::disconnect(&server, &LoopbackHttpServer::requestReceived, &server, nullptr);
    }
    {
        // To plain HTTP elsewhere: refused, never asked.
        server.redirect(302, "http://192.0.2.1/feed");
        const auto result = run(exchange, server.url(u"/feed"_s));
        ASSERT_TRUE(result.has_value());
        ASSERT_FALSE(*result);
        EXPECT_EQ(result->error().failure, HttpExchange::Failure::InsecureRedirect);
        EXPECT_TRUE(result->error().text.contains(u"http://192.0.2.1/feed"_s))
            << result->error().text.toStdString();
    }
    {
        // Around in a circle: ended after the allowed number of redirects.
        server.redirect(302, "/feed");
        const qsizetype before = server.requests().size();
        const auto result = run(exchange, server.url(u"/feed"_s), {.maxRedirects = 3});
        ASSERT_TRUE(result.has_value());
        ASSERT_FALSE(*result);
        EXPECT_EQ(result->error().failure, HttpExchange::Failure::Redirected);
        EXPECT_EQ(server.requests().size() - before, 4) << "the first request and three redirects";
    }
}

TEST(HttpExchange, RefusedAddressEndsWithoutConnecting)
{
    // Plain HTTP to a listening loopback server, with the test switch off.
    LoopbackHttpServer server;
    ASSERT_TRUE(server.listen());
    server.answer(200, "served");
    HttpExchange exchange;
    QSignalSpy finished(&exchange, &HttpExchange::finished);
    std::optional<HttpExchange::Result> result;
    QObject::connect(&exchange, &HttpExchange::finished, &exchange,
                     [&result](const HttpExchange::Result& r) { result = r; });
    ASSERT_TRUE(exchange.get(server.url(u"/feed"_s), {}));
    EXPECT_EQ(finished.count(), 0) << "the end is reported from the event loop, after get() returned";
    EXPECT_TRUE(exchange.isRunning());
    EXPECT_FALSE(exchange.get(QUrl(u"https://example.com/"_s), {})) << "one request at a time";
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(finished.count(), 1);
    ASSERT_TRUE(result.has_value());
    ASSERT_FALSE(*result);
    EXPECT_EQ(result->error().failure, HttpExchange::Failure::RefusedAddress);
    EXPECT_FALSE(exchange.isRunning());
    QTest::qWait(100); // a request that was made all the same would reach the server now
    EXPECT_TRUE(server.requests().isEmpty()) << "a refused address was asked all the same";
}
