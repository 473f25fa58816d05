#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;
constexpr qint64 kEndlessCap = 256LL * 1024 * 1024; // an endless body ends somewhere, even unread
const char* const kCompleteProperty = "answerComplete";

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onConnection);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    for (QTcpSocket* socket : m_pending.keys())
        socket->disconnect(this);
}

bool LoopbackHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl LoopbackHttpServer::url(const QString& path) const
{
    return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path));
}

void LoopbackHttpServer::answer(int status, const QByteArray& body, const QByteArray& contentType)
{
    m_answer = Answer{Mode::Answer, status, {{"Content-Type", contentType}}, body};
}

void LoopbackHttpServer::redirect(int status, const QByteArray& location)
{
    m_answer = Answer{Mode::Answer, status, {{"Location", location}}, {}};
}

void LoopbackHttpServer::onConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_pending.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            if (!socket->property(kCompleteProperty).toBool()) {
                socket->setProperty(kCompleteProperty, true);
                emit clientHungUp();
            }
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadable(QTcpSocket* socket)
{
    auto it = m_pending.find(socket);
    if (it == m_pending.end())
        return;
    it.value() += socket->readAll();
    const QByteArray& data = it.value();
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    Request request;
    const QList<QByteArray> lines = data.first(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].first(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (data.size() - headerEnd - 4 < length)
        return; // the body is still on its way
    request.body = data.mid(headerEnd + 4, length);
    m_pending.insert(socket, QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    m_requests << request;
    emit requestReceived();
    respond(socket);
}

void LoopbackHttpServer::respond(QTcpSocket* socket)
{
    switch (m_answer.mode) {
    case Mode::Answer: {
        // The reason phrase is free text that clients ignore.
        QByteArray head = "HTTP/1.1 " + QByteArray::number(m_answer.status) + " Status\r\n";
        for (const auto& [name, value] : m_answer.headers)
            head += name + ": " + value + "\r\n";
        head +=
            "Content-Length: " + QByteArray::number(m_answer.body.size()) + "\r\nConnection: close\r\n\r\n";
        socket->write(head + m_answer.body);
        socket->setProperty(kCompleteProperty, true);
        socket->disconnectFromHost();
        break;
    }
    case Mode::Silent:
        break;
    case Mode::Trickle: {
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: 100000\r\n\r\n");
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [this, socket] {
            socket->write("<", 1);
            ++m_bodyBytesSent;
        });
        timer->start(50);
        break;
    }
    case Mode::Endless:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nConnection: close\r\n\r\n");
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { feedEndless(socket); });
        feedEndless(socket);
        break;
    }
}

void LoopbackHttpServer::feedEndless(QTcpSocket* socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    static const QByteArray chunk(kChunkBytes, 'x');
    while (socket->bytesToWrite() < 4 * kChunkBytes && m_bodyBytesSent < kEndlessCap) {
        socket->write(chunk);
        m_bodyBytesSent += chunk.size();
    }
    if (m_bodyBytesSent >= kEndlessCap) {
        socket->setProperty(kCompleteProperty, true);
        socket->disconnectFromHost();
    }
}

} // namespace cv::test
