#include "helper/PolkitAuthorizer.h"

#include "common/HelperToolProtocol.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace cv {

namespace {

// Long enough for a user to type a password into polkit's prompt.
constexpr int kPolkitTimeoutMs = 10 * 60 * 1000;
constexpr uint kAllowUserInteraction = 1;

} // namespace

PolkitAuthorizer::PolkitAuthorizer(QObject* parent) : QObject(parent) {}

QDBusMessage PolkitAuthorizer::request(const QString& sender)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.PolicyKit1"), QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
        QStringLiteral("org.freedesktop.PolicyKit1.Authority"), QStringLiteral("CheckAuthorization"));

    QDBusArgument subject; // (sa{sv})
    subject.beginStructure();
    subject << QStringLiteral("system-bus-name");
    subject.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QDBusVariant>());
    subject.beginMapEntry();
    subject << QStringLiteral("name") << QDBusVariant(sender);
    subject.endMapEntry();
    subject.endMap();
    subject.endStructure();

    QDBusArgument details; // a{ss}
    details.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    details.endMap();

    message << QVariant::fromValue(subject) << QString::fromLatin1(HelperToolProtocol::authorizationAction)
            << QVariant::fromValue(details) << kAllowUserInteraction << QString();
    return message;
}

Authorizer::Authorization PolkitAuthorizer::readAnswer(const QDBusMessage& reply)
{
    if (reply.type() == QDBusMessage::ErrorMessage)
        return Unexpected(QStringLiteral("polkit could not be asked: %1 (%2)")
                              .arg(reply.errorMessage(), reply.errorName()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("(bba{ss})") ||
        reply.arguments().size() != 1)
        return Unexpected(QStringLiteral("polkit gave an unexpected answer"));
    const QDBusArgument result = reply.arguments().constFirst().value<QDBusArgument>();
    bool authorized = false;
    bool challenge = false;
    result.beginStructure();
    result >> authorized >> challenge;
    if (!authorized)
        return Unexpected(QStringLiteral("Not authorized by polkit for %1")
                              .arg(QString::fromLatin1(HelperToolProtocol::authorizationAction)));
    return {};
}

void PolkitAuthorizer::checkAuthorization(const QDBusConnection& connection, const QString& sender,
                                          Decision decision)
{
    if (sender.isEmpty()) {
        decision(Unexpected(QStringLiteral("The caller has no bus name")));
        return;
    }
    auto* watcher =
        new QDBusPendingCallWatcher(connection.asyncCall(request(sender), kPolkitTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [decision = std::move(decision)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                decision(readAnswer(finished->reply()));
            });
}

} // namespace cv
