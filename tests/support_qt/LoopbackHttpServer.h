#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <utility>

class QTcpSocket;
class QTimer;

namespace cv::test {

// A small HTTP/1.1 server on 127.0.0.1 for the tests of the update feed and the support form. It
// records every request and answers all of them the same way, as the test set it up: a plain
// answer, no answer at all, an answer that trickles in slowly forever, or an endless body.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        Answer,  // status, headers and body, then the connection is closed
        Silent,  // reads the request and never answers
        Trickle, // a header that announces a small body, then one byte of it every 50 ms, forever
        Endless, // a body without a length, sent as fast as the client reads it, until it hangs up
    };

    struct Answer
    {
        Mode mode = Mode::Answer;
        int status = 200;
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };

    struct Request
    {
        QByteArray method;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    // Listens on a free port of 127.0.0.1; false when that fails.
    bool listen();
    // http://127.0.0.1:<port><path>
    QUrl url(const QString& path) const;

    void answer(int status, const QByteArray& body, const QByteArray& contentType = "text/plain");
    void redirect(int status, const QByteArray& location);
    void setMode(Mode mode) { m_answer = Answer{mode, 200, {}, {}}; }

    const QList<Request>& requests() const { return m_requests; }
    // Body bytes handed to the sockets in the Endless and Trickle modes.
    qint64 bodyBytesSent() const { return m_bodyBytesSent; }

signals:
    void requestReceived();
    // The client closed a connection (or it broke) before the answer was over.
    void clientHungUp();

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);
    void respond(QTcpSocket* socket);
    void feedEndless(QTcpSocket* socket);

    QTcpServer m_server;
    Answer m_answer;
    QHash<QTcpSocket*, QByteArray> m_pending; // what each connection sent so far
    QList<Request> m_requests;
    qint64 m_bodyBytesSent = 0;
};

} // namespace cv::test
