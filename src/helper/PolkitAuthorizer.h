#pragma once

#include "helper/Authorizer.h"

#include <QDBusMessage>
#include <QObject>

namespace cv {

// Asks polkit, on the bus the call came in on, whether the caller's bus name (subject
// "system-bus-name") is allowed the helper's action, letting polkit ask the user for a password.
// Every failure of that question counts as a refusal: no polkit, an error, an answer of an
// unexpected shape.
class PolkitAuthorizer : public QObject, public Authorizer
{
    Q_OBJECT
public:
    explicit PolkitAuthorizer(QObject* parent = nullptr);

    void checkAuthorization(const QDBusConnection& connection, const QString& sender,
                            Decision decision) override;

    // The CheckAuthorization call for sender.
    static QDBusMessage request(const QString& sender);
    // Reads polkit's answer: authorized only when it is well formed and says so.
    static Authorization readAnswer(const QDBusMessage& reply);
};

} // namespace cv
