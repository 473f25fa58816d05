#pragma once

#include "common/Expected.h"

#include <QDBusConnection>
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

    virtual ~Authorizer() = default;
    // sender is the caller's unique bus name on connection; called and answered on the helper's
    // main thread.
    virtual void checkAuthorization(const QDBusConnection& connection, const QString& sender,
                                    Decision decision) = 0;
};

} // namespace cv
