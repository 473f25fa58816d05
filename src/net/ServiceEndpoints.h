#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringView>
#include <QUrl>

namespace cv {

// Where the program talks to outside services: the update feed and the support service. Both are
// named when the program is built (-DCINDERVAULT_UPDATE_FEED_URL=, -DCINDERVAULT_SUPPORT_URL=), and
// the environment variables of the same names override them; a variable that is set but empty
// leaves the service not configured. Only HTTPS addresses are taken. Plain HTTP to a loopback
// address (127.0.0.1, ::1) is taken only after a test program switched it on for itself: nothing
// outside the program can switch it on.
class ServiceEndpoints
{
    Q_DECLARE_TR_FUNCTIONS(cv::ServiceEndpoints)

public:
    // One service's address, or why there is none.
    struct Endpoint
    {
        enum class State
        {
            NotConfigured, // the build names no address, or the environment emptied it
            Invalid,       // an address is named, but it is not one the program may use
            Ready,
        };
        State state = State::NotConfigured;
        QUrl url;        // when Ready
        QString problem; // when not Ready: a sentence for the user (translated)

        bool isReady() const { return state == State::Ready; }
    };

    static constexpr const char* kUpdateFeedVariable = "CINDERVAULT_UPDATE_FEED_URL";
    static constexpr const char* kSupportVariable = "CINDERVAULT_SUPPORT_URL";
    // The support service takes messages at this path of its server.
    static constexpr QStringView kSupportPath = u"/api/support";

    // The appcast's address: the environment's, else the build's.
    static Endpoint updateFeed();
    // The support service's address: the server named by the environment, else by the build, with
    // the path /api/support.
    static Endpoint supportService();

    // The same for an address text, without looking at the environment or the build.
    static Endpoint updateFeedFrom(const QString& text);
    static Endpoint supportServiceFrom(const QString& text);

    // Whether the program may send a request to url, or follow a redirect to it: HTTPS to a named
    // host; plain HTTP only to a loopback address, and only while loopbackHttpAllowed().
    static bool isAllowedUrl(const QUrl& url);

    // For test programs that serve on 127.0.0.1 without certificates. Off at start.
    static void setLoopbackHttpAllowed(bool allowed);
    static bool loopbackHttpAllowed();
};

} // namespace cv
