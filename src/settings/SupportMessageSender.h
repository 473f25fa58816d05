#pragma once

#include "net/HttpExchange.h"
#include "net/ServiceEndpoints.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

#include <utility>

namespace cv {

// What the user writes to support, with the facts sent along.
struct SupportMessage
{
    QString name;
    QString email;
    QString subject;
    QString message;
    QString versionLine;     // SupportFormModel::versionLine(), ending in a line break
    QString osVersion;       // VarSystemInfo::sysOSVersion()
    QString modelIdentifier; // VarSystemInfo::sysModelID()
};

// Sends a support message to the support service: one form-encoded POST over HTTPS to its path
// /api/support, the fields in ascending order of their keys. The service has taken the message
// exactly when it answers "Message sent!"; any other answer, an HTTP error status, no connection or
// no answer in time is a failure, logged with its cause ("Error: ...", "response ..."). One message
// at a time: a send while one is on its way is refused, so that no press of a button sends a
// message twice.
class SupportMessageSender : public QObject
{
    Q_OBJECT

public:
    // The application's key for the support service.
    static constexpr QStringView kApiKey = u"Qh7tWm2xKp9LbR4nZc8V";
    // The one answer that means the service took the message.
    static constexpr QByteArrayView kAcceptedAnswer = "Message sent!";
    static constexpr QByteArrayView kContentType = "application/x-www-form-urlencoded";

    // On the support service this build and the environment name (ServiceEndpoints).
    explicit SupportMessageSender(QObject* parent = nullptr);

    void setEndpoint(const ServiceEndpoints::Endpoint& endpoint) { m_endpoint = endpoint; }
    const ServiceEndpoints::Endpoint& endpoint() const { return m_endpoint; }
    bool isConfigured() const { return m_endpoint.isReady(); }
    // The request's limits: an answer of at most 64 kB within 30 s; tests shorten the deadline.
    void setLimits(const HttpExchange::Limits& limits) { m_limits = limits; }

    // Sends the message; false (and nothing is sent) while one is on its way or when no service is
    // configured. Otherwise finished() follows once.
    bool send(const SupportMessage& message);
    bool isSending() const { return m_exchange.isRunning(); }

    // Every field the request carries, as (key, value) in the order they are sent: email, key,
    // message, name, subject, system-info. The form shows these before Send; formBody encodes them.
    static QList<std::pair<QString, QString>> formFields(const SupportMessage& message);
    // The request body: formFields, each value percent-encoded as UTF-8 (everything but letters,
    // digits, "-._~/?"; a blank is %20).
    static QByteArray formBody(const SupportMessage& message);
    // The "message" field: the user's text, a separator line, the version line and the machine's facts.
    static QString messageText(const SupportMessage& message);

signals:
    void sendingChanged(bool sending);
    // success: the service took the message; otherwise reason says why not (translated).
    void finished(bool success, const QString& reason);

private:
    void onFinished(const HttpExchange::Result& result);

    ServiceEndpoints::Endpoint m_endpoint;
    HttpExchange m_exchange;
    HttpExchange::Limits m_limits;
};

} // namespace cv
