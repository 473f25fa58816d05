#include "helper/PolkitAuthorizer.h"

#include "common/Log.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace cv {

namespace {

// Long enough for a user to type a password into polkit's prompt.
constexpr int kPolkitTimeoutMs = 10 * 60 * 1000;
// A question without the user: polkit answers from its rules and kept answers.
constexpr int kQuickTimeoutMs = 25000;
constexpr uint kAllowUserInteraction = 1;

QDBusMessage authorityCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PolicyKit1"),
                                          QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
                                          QStringLiteral("org.freedesktop.PolicyKit1.Authority"), method);
}

} // namespace

PolkitAuthorizer::PolkitAuthorizer(QObject* parent) : QObject(parent) {}

QDBusMessage PolkitAuthorizer::request(const Question& question, bool interactive,
                                       const QString& cancellationId)
{
    QDBusMessage message = authorityCall(QStringLiteral("CheckAuthorization"));

    QDBusArgument subject; // (sa{sv})
    subject.beginStructure();
    subject << QStringLiteral("system-bus-name");
    subject.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QDBusVariant>());
    subject.beginMapEntry();
    subject << QStringLiteral("name") << QDBusVariant(question.sender);
    subject.endMapEntry();
    subject.endMap();
    subject.endStructure();

    QDBusArgument details; // a{ss}
    details.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    for (auto it = question.details.cbegin(); it != question.details.cend(); ++it) {
        details.beginMapEntry();
        details << it.key() << it.value();
        details.endMapEntry();
    }
    details.endMap();

    message << QVariant::fromValue(subject) << question.action << QVariant::fromValue(details)
            << (interactive ? kAllowUserInteraction : 0u) << cancellationId;
    return message;
}

PolkitAuthorizer::Answer PolkitAuthorizer::readAnswer(const QDBusMessage& reply, const QString& action)
{
    Answer answer;
    if (reply.type() == QDBusMessage::ErrorMessage) {
        answer.error =
            QStringLiteral("polkit could not be asked: %1 (%2)").arg(reply.errorMessage(), reply.errorName());
        return answer;
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("(bba{ss})") ||
        reply.arguments().size() != 1) {
        answer.error = QStringLiteral("polkit gave an unexpected answer");
        return answer;
    }
    const QDBusArgument result = reply.arguments().constFirst().value<QDBusArgument>();
    result.beginStructure();
    result >> answer.authorized >> answer.challenge;
    if (!answer.authorized)
        answer.error = QStringLiteral("Not authorized by polkit for %1").arg(action);
    return answer;
}

Authorizer::Authorization PolkitAuthorizer::authorization(const Answer& answer)
{
    if (answer.authorized)
        return {};
    return Unexpected(answer.error);
}

quint64 PolkitAuthorizer::checkAuthorization(const QDBusConnection& connection, const Question& question,
                                             AskingUser askingUser, Decision decision)
{
    const quint64 id = ++m_nextId;
    if (question.sender.isEmpty()) {
        // Answered after this call returns, like every other answer.
        QMetaObject::invokeMethod(
            this,
            [decision = std::move(decision)]() {
                decision(Unexpected(QStringLiteral("The caller has no bus name")));
            },
            Qt::QueuedConnection);
        return id;
    }
    m_pending.insert(id,
                     Pending{connection, question, std::move(askingUser), std::move(decision), QString()});
    send(id, false);
    return id;
}

void PolkitAuthorizer::send(quint64 id, bool interactive)
{
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    Pending& pending = *found;
    if (interactive) {
        pending.cancellationId =
            QStringLiteral("cindervault-helper-%1-%2").arg(QCoreApplication::applicationPid()).arg(id);
        if (pending.askingUser)
            pending.askingUser();
    }
    auto* watcher = new QDBusPendingCallWatcher(
        pending.connection.asyncCall(request(pending.question, interactive, pending.cancellationId),
                                     interactive ? kPolkitTimeoutMs : kQuickTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id, interactive](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                answered(id, interactive, finished->reply());
            });
}

void PolkitAuthorizer::answered(quint64 id, bool interactive, const QDBusMessage& reply)
{
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return; // withdrawn
    const Answer answer = readAnswer(reply, found->question.action);
    if (!answer.authorized && answer.challenge && !interactive) {
        if (found->question.allowInteraction) {
            send(id, true);
            return;
        }
        // A script's call (--no-ask-password) is never held up by a question nobody answers.
        const Decision decision = std::move(found->decision);
        const QString action = found->question.action;
        m_pending.erase(found);
        decision(Unexpected(
            QStringLiteral(
                "Authorization for %1 needs a password, and the caller asked not to be asked for one")
                .arg(action)));
        return;
    }
    // A question with the user that timed out here may still be on the user's screen: it is
    // taken back, so that no answer to it is ever taken.
    if (interactive && reply.type() == QDBusMessage::ErrorMessage &&
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")) {
        const Decision decision = std::move(found->decision);
        withdraw(id);
        decision(authorization(answer));
        return;
    }
    const Decision decision = std::move(found->decision);
    m_pending.erase(found);
    decision(authorization(answer));
}

void PolkitAuthorizer::withdraw(quint64 id)
{
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    if (!found->cancellationId.isEmpty()) {
        QDBusMessage cancel = authorityCall(QStringLiteral("CancelCheckAuthorization"));
        cancel << found->cancellationId;
        // Nothing waits for polkit's answer: the question's own answer is ignored from now on.
        cancel.setAutoStartService(false);
        if (!found->connection.send(cancel))
            logMessage("Cannot withdraw the polkit question ", found->cancellationId.toStdString());
    }
    m_pending.erase(found);
}

} // namespace cv
