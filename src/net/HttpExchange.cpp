#include "net/HttpExchange.h"

#include "common/ByteCountFormatter.h"
#include "net/ServiceEndpoints.h"

#include <QMetaObject>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// What Qt may hold of an answer before we read it; our own limit then decides.
constexpr qint64 kReadBufferBytes = 64 * 1024;

bool isSuccessStatus(int status)
{
    return status >= 200 && status <= 299;
}

bool isRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

HttpExchange::HttpExchange(QObject* parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(Failure::TimedOut, tr("The server did not answer in time."),
             u"no complete answer within %1 ms"_s.arg(m_limits.timeout.count()));
    });
}

HttpExchange::~HttpExchange()
{
    // The reply belongs to m_network and goes with it; nobody waits for its signals any more.
    if (m_reply)
        m_reply->disconnect(this);
}

bool HttpExchange::get(const QUrl& url, const Limits& limits)
{
    return start(url, std::nullopt, QByteArray(), limits);
}

bool HttpExchange::post(const QUrl& url, const QByteArray& contentType, const QByteArray& body,
                        const Limits& limits)
{
    return start(url, contentType, body, limits);
}

bool HttpExchange::start(const QUrl& url, const std::optional<QByteArray>& contentType,
                         const QByteArray& body, const Limits& limits)
{
    if (m_running)
        return false;
    m_running = true;
    m_limits = limits;
    m_redirects = 0;
    m_deadline.start(limits.timeout);
    send(url, contentType, body);
    return true;
}

void HttpExchange::send(const QUrl& url, const std::optional<QByteArray>& contentType, const QByteArray& body)
{
    m_body.clear();
    m_url = url;
    if (!ServiceEndpoints::isAllowedUrl(url)) {
        const QString address = url.toDisplayString();
        // Queued, so that the caller sees the request started before it sees it end.
        QMetaObject::invokeMethod(
            this,
            [this, address] {
                fail(Failure::RefusedAddress,
                     tr("The address is not a secure (HTTPS) address: %1").arg(address),
                     u"address refused: "_s + address);
            },
            Qt::QueuedConnection);
        return;
    }

    QNetworkRequest request(url);
    // Redirects are followed here, one request per step, each address checked before it is asked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Cindervault/" CINDERVAULT_VERSION));
    if (contentType) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, *contentType);
        m_reply = m_network.post(request, body);
        m_posting = true;
    } else {
        m_reply = m_network.get(request);
        m_posting = false;
    }
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpExchange::readAvailable);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpExchange::onMetaData);
    connect(m_reply, &QNetworkReply::finished, this, &HttpExchange::onReplyFinished);
}

void HttpExchange::cancel()
{
    if (m_running)
        fail(Failure::Canceled, tr("The request was cancelled."), u"cancelled"_s);
}

void HttpExchange::readAvailable()
{
    if (!m_reply)
        return;
    // Never more than one byte beyond the limit is taken in: enough to know it was passed.
    while (m_reply->bytesAvailable() > 0) {
        const qint64 room = std::max<qint64>(m_limits.maxBodyBytes - m_body.size(), 0);
        const QByteArray chunk = m_reply->read(std::min(m_reply->bytesAvailable(), room + 1));
        if (chunk.isEmpty())
            break;
        m_body += chunk;
        if (m_body.size() > m_limits.maxBodyBytes) {
            failTooLarge(u"answer longer than %1 bytes"_s.arg(m_limits.maxBodyBytes));
            return;
        }
    }
}

void HttpExchange::onMetaData()
{
    if (!m_reply)
        return;
    // A successful answer that announces its length can be refused before a byte of it is read.
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (isSuccessStatus(status) && length.isValid() && length.toLongLong() > m_limits.maxBodyBytes)
        failTooLarge(u"announced length of %1 bytes over the limit of %2"_s.arg(length.toLongLong())
                         .arg(m_limits.maxBodyBytes));
}

void HttpExchange::failTooLarge(const QString& detail)
{
    fail(Failure::TooLarge,
         tr("The server's answer is larger than %1.")
             .arg(QString::fromStdString(formatByteCount(m_limits.maxBodyBytes))),
         detail);
}

void HttpExchange::onReplyFinished()
{
    if (!m_reply)
        return;
    readAvailable();
    if (!m_reply)
        return; // the rest of the answer passed the limit
    QNetworkReply* reply = m_reply;
    m_reply.clear();
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    if (isRedirectStatus(status))
        redirect(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    else if (status != 0 && !isSuccessStatus(status))
        fail(Failure::HttpStatus, tr("The server answered with the error %1.").arg(status),
             u"HTTP status %1"_s.arg(status), status);
    else if (error != QNetworkReply::NoError || status == 0)
        fail(Failure::Network, tr("The server could not be reached: %1").arg(reply->errorString()),
             reply->errorString());
    else
        finish(Response{status, std::exchange(m_body, QByteArray())});
}

void HttpExchange::redirect(const QUrl& location)
{
    const QUrl target = m_url.resolved(location);
    // A form sent on would have to be sent again, and may arrive twice: the address must be right.
    if (m_posting) {
        fail(Failure::Redirected,
             tr("The server sent the request on to another address: %1").arg(target.toDisplayString()),
             u"the POST was redirected to %1"_s.arg(target.toDisplayString()));
        return;
    }
    if (location.isEmpty() || ++m_redirects > m_limits.maxRedirects) {
        fail(Failure::Redirected, tr("The server sent the request on too many times."),
             u"more than %1 redirects, or one without a target"_s.arg(m_limits.maxRedirects));
        return;
    }
    if (!ServiceEndpoints::isAllowedUrl(target)) {
        fail(Failure::InsecureRedirect,
             tr("The server sent the request on to an address that is not secure (HTTPS): %1")
                 .arg(target.toDisplayString()),
             u"redirect to %1 refused"_s.arg(target.toDisplayString()));
        return;
    }
    send(target, std::nullopt, QByteArray());
}

void HttpExchange::fail(Failure failure, const QString& text, const QString& detail, int status)
{
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_body.clear();
    finish(Unexpected(Error{failure, status, text, detail}));
}

void HttpExchange::finish(const Result& result)
{
    if (!m_running)
        return;
    m_deadline.stop();
    m_running = false;
    emit finished(result);
}

} // namespace cv
