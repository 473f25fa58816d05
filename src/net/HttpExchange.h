#pragma once

#include "common/Expected.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkReply;

namespace cv {

// One HTTP request to an outside service with the guards every such request needs: the address,
// and every address a redirect leads to, must be one ServiceEndpoints allows (HTTPS), and is checked
// before it is asked (redirects are followed here, step by step, a GET only); the answer is
// read as it comes and the request is ended once it grows past a size limit; a deadline ends the
// whole request, so that a server that never answers or answers slowly forever cannot hold it.
// Exactly one finished() follows every request that was started. One request at a time.
class HttpExchange : public QObject
{
    Q_OBJECT

public:
    enum class Failure
    {
        RefusedAddress,   // the address itself is not allowed
        InsecureRedirect, // a redirect led to an address that is not allowed
        Redirected,       // too many redirects, or a redirect of a POST (never sent twice)
        TimedOut,
        TooLarge,   // the answer grew past the limit
        HttpStatus, // the server answered with a status outside 200 to 299
        Network,    // no connection, refused, reset, TLS, ...
        Canceled,
    };

    struct Limits
    {
        std::chrono::milliseconds timeout{30000}; // for the whole request
        qint64 maxBodyBytes = 1'000'000;
        int maxRedirects = 5; // of a GET; a POST is never sent on
    };

    struct Response
    {
        int status = 0;
        QByteArray body;
    };

    struct Error
    {
        Failure failure = Failure::Network;
        int status = 0; // the HTTP status, when the server sent one
        QString text;   // for the user (translated)
        QString detail; // for the log (English)
    };

    using Result = Expected<Response, Error>;

    explicit HttpExchange(QObject* parent = nullptr);
    ~HttpExchange() override;

    // Start a request; false (and nothing happens) while one is running. A refused address ends
    // the request without a connection, finished() following from the event loop.
    bool get(const QUrl& url, const Limits& limits);
    bool post(const QUrl& url, const QByteArray& contentType, const QByteArray& body, const Limits& limits);

    bool isRunning() const { return m_running; }
    // Ends the running request with Failure::Canceled.
    void cancel();

signals:
    void finished(const cv::HttpExchange::Result& result);

private:
    bool start(const QUrl& url, const std::optional<QByteArray>& contentType, const QByteArray& body,
               const Limits& limits);
    void send(const QUrl& url, const std::optional<QByteArray>& contentType, const QByteArray& body);
    void readAvailable();
    void onMetaData();
    void onReplyFinished();
    void redirect(const QUrl& location);
    void failTooLarge(const QString& detail);
    void fail(Failure failure, const QString& text, const QString& detail, int status = 0);
    void finish(const Result& result);

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    Limits m_limits;
    QUrl m_url; // of the step running now
    QByteArray m_body;
    int m_redirects = 0;
    bool m_posting = false;
    bool m_running = false;
};

} // namespace cv
