#pragma once

#include "helper/Authorizer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>

namespace cv {

// Asks polkit, on the bus the call came in on, whether the caller's bus name (subject
// "system-bus-name") is allowed the action of the call. First without letting polkit ask the user:
// a kept answer, or a refusal that no password changes, comes at once. Only when polkit says a
// password would do is the user asked, with a cancellation id, so that the question can be taken
// back when the caller gives up on its call or leaves. Every failure of a question counts as a
// refusal: no polkit, an error, an answer of an unexpected shape.
class PolkitAuthorizer : public QObject, public Authorizer
{
    Q_OBJECT
public:
    explicit PolkitAuthorizer(QObject* parent = nullptr);

    quint64 checkAuthorization(const QDBusConnection& connection, const Question& question,
                               AskingUser askingUser, Decision decision) override;
    void withdraw(quint64 id) override;

    // polkit's answer to one question.
    struct Answer
    {
        bool authorized = false;
        bool challenge = false; // the user could be asked for a password
        QString error;          // why not, when not authorized
    };

    // The CheckAuthorization call for question; interactive lets polkit ask the user, under the
    // cancellation id given.
    static QDBusMessage request(const Question& question, bool interactive, const QString& cancellationId);
    // Reads polkit's answer: authorized only when it is well formed and says so.
    static Answer readAnswer(const QDBusMessage& reply, const QString& action);
    // Authorization of an answer.
    static Authorization authorization(const Answer& answer);

private:
    struct Pending
    {
        QDBusConnection connection;
        Question question;
        AskingUser askingUser;
        Decision decision;
        QString cancellationId; // set while the user is asked
    };

    void send(quint64 id, bool interactive);
    void answered(quint64 id, bool interactive, const QDBusMessage& reply);

    quint64 m_nextId = 0;
    QHash<quint64, Pending> m_pending;
};

} // namespace cv
