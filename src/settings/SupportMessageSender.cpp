#include "settings/SupportMessageSender.h"

#include "common/Log.h"

#include <QMap>
#include <QUrl>

#include <string>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// How much of an unexpected answer goes into the log.
constexpr qsizetype kLoggedAnswerBytes = 1000;

// The answer as one line of printable ASCII for the log ("?" for anything else), so that no answer
// can break the log into lines of its own.
std::string loggedAnswer(const QByteArray& body)
{
    std::string line(body.left(kLoggedAnswerBytes).toStdString());
    for (char& c : line) {
        if (c < 0x20 || c > 0x7e)
            c = '?';
    }
    return line;
}

} // namespace

SupportMessageSender::SupportMessageSender(QObject* parent)
    : QObject(parent), m_endpoint(ServiceEndpoints::supportService()), m_exchange(this)
{
    m_limits.maxBodyBytes = 64'000;
    connect(&m_exchange, &HttpExchange::finished, this, &SupportMessageSender::onFinished);
}

QString SupportMessageSender::messageText(const SupportMessage& message)
{
    return message.message + u"\n\n\n"_s + QString(32, u'-') + u"\n\n"_s + message.versionLine +
           u"OS Version: "_s + message.osVersion + u"\n"_s + u"Model Identifier: "_s +
           message.modelIdentifier + u"\n"_s;
}

QList<std::pair<QString, QString>> SupportMessageSender::formFields(const SupportMessage& message)
{
    // A map keeps the keys in ascending order.
    const QMap<QString, QString> fields{
        {u"email"_s, message.email}, {u"key"_s, kApiKey.toString()},  {u"message"_s, messageText(message)},
        {u"name"_s, message.name},   {u"subject"_s, message.subject}, {u"system-info"_s, message.osVersion},
    };
    QList<std::pair<QString, QString>> ordered;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        ordered.append({it.key(), it.value()});
    return ordered;
}

QByteArray SupportMessageSender::formBody(const SupportMessage& message)
{
    QByteArray body;
    for (const auto& [key, value] : formFields(message)) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(key, "/?") + '=' + QUrl::toPercentEncoding(value, "/?");
    }
    return body;
}

bool SupportMessageSender::send(const SupportMessage& message)
{
    if (!m_endpoint.isReady()) {
        logMessage("Error: support message not sent: ", m_endpoint.problem.toStdString());
        return false;
    }
    if (m_exchange.isRunning()) {
        logMessage("Support message refused: another one is on its way");
        return false;
    }
    if (!m_exchange.post(m_endpoint.url, kContentType.toByteArray(), formBody(message), m_limits))
        return false;
    emit sendingChanged(true);
    return true;
}

void SupportMessageSender::onFinished(const HttpExchange::Result& result)
{
    bool success = false;
    QString reason;
    if (!result) {
        logMessage("Error: ", result.error().detail.toStdString());
        reason = result.error().text;
    } else {
        logMessage("response ", loggedAnswer(result->body));
        success = result->body == kAcceptedAnswer;
        if (!success)
            reason = tr("The support service did not take the message.");
    }
    emit sendingChanged(false);
    emit finished(success, reason);
}

} // namespace cv
