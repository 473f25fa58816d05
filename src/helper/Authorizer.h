#pragma once

#include "common/Expected.h"

#include <QDBusConnection>
#include <QMap>
#include <QString>
#include <functional>

namespace cv {

// Decides whether the sender of one call may have the helper's root-only work done. The installed
// helper asks polkit; a test build of the helper links its own stand-in, which is never compiled
// into the installed helper.
class Authorizer
{
public:
    // Authorized, or why not.
    using Authorization = Expected<void, QString>;
    // Answered once, on the thread that asked: whether to go on and, if not, why.
    using Decision = std::function<void(const Authorization& authorization)>;
    // Called before the user is asked for a password (not when an earlier answer is kept).
    using AskingUser = std::function<void()>;

    struct Question
    {
        QString sender;                 // the caller's unique bus name
        QString action;                 // the polkit action of the kind of work
        QMap<QString, QString> details; // shown in the question (the volume of a reformat)
        // The caller lets the user be asked for a password (its message allows interactive
        // authorization); without it, work that needs a password is refused without asking.
        bool allowInteraction = true;
    };

    virtual ~Authorizer() = default;
    // Asks about question on connection; called and answered on the helper's main thread. Answers
    // an id for withdraw().
    virtual quint64 checkAuthorization(const QDBusConnection& connection, const Question& question,
                                       AskingUser askingUser, Decision decision) = 0;
    // Takes the question id back: the user is no longer asked, and its decision never comes.
    virtual void withdraw(quint64 id) = 0;
};

} // namespace cv
