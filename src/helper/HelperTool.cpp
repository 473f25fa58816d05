#include "helper/HelperTool.h"

#include "common/Log.h"
#include "helper/FileOperations.h"
#include "helper/SnapshotRemover.h"
#include "helper/VolumeReformatter.h"
#include "system/HelperToolProtocol.h"

#include <QDBusMessage>

namespace cv {

namespace {

constexpr int kUidLookupTimeoutMs = 10000;

QString errorName(HelperError::Kind kind)
{
    switch (kind) {
    case HelperError::Kind::InvalidArgument:
        return QString::fromLatin1(HelperToolProtocol::errorInvalidArgument);
    case HelperError::Kind::ToolMissing:
        return QString::fromLatin1(HelperToolProtocol::errorToolMissing);
    case HelperError::Kind::Failed:
        break;
    }
    return QString::fromLatin1(HelperToolProtocol::errorFailed);
}

// The user id of a bus name, asked of the bus itself: never of the caller.
std::optional<uid_t> callerUid(const QDBusConnection& connection, const QString& name)
{
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixUser"));
    question << name;
    const QDBusMessage answer = connection.call(question, QDBus::Block, kUidLookupTimeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().size() != 1)
        return std::nullopt;
    bool ok = false;
    const uint uid = answer.arguments().constFirst().toUInt(&ok);
    return ok ? std::optional<uid_t>(static_cast<uid_t>(uid)) : std::nullopt;
}

// An argument as it goes into the log: control bytes escaped, so that a path cannot forge lines.
std::string printable(const std::string& text)
{
    std::string result;
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            static const char digits[] = "0123456789abcdef";
            result += "\\x";
            result += digits[c >> 4];
            result += digits[c & 0xf];
        } else {
            result += static_cast<char>(c);
        }
    }
    return result;
}

} // namespace

HelperTool::HelperTool(QDBusConnection connection, Authorizer& authorizer, Settings settings, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_authorizer(authorizer),
      m_settings(std::move(settings))
{
    m_pool.setMaxThreadCount(4);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_settings.idleExitMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &HelperTool::idle);
    m_idleTimer.start();
}

HelperTool::~HelperTool()
{
    m_pool.waitForDone();
}

QString HelperTool::getVersion()
{
    if (m_activeCalls == 0)
        m_idleTimer.start();
    return QString::fromLatin1(HelperToolProtocol::version);
}

void HelperTool::changePermissionsOfFileAt(const QByteArray& path)
{
    const std::string target = path.toStdString();
    authorizeAndRun("changePermissionsOfFileAt", target, true, [target](const Caller& caller) {
        return FileOperations::changePermissions(target, caller.uid);
    });
}

void HelperTool::deleteFileAtPath(const QByteArray& path)
{
    const std::string target = path.toStdString();
    authorizeAndRun("deleteFileAtPath", target, false,
                    [target](const Caller&) { return FileOperations::deleteItem(target); });
}

void HelperTool::deleteSnapshots()
{
    authorizeAndRun("deleteSnapshots", std::string(), false,
                    [searchPath = m_settings.toolSearchPath](const Caller&) {
                        return SnapshotRemover(searchPath).deleteSnapshots();
                    });
}

void HelperTool::reformatVolumeAt(const QByteArray& mountPath)
{
    const std::string target = mountPath.toStdString();
    authorizeAndRun(
        "reformatVolumeAt", target, false,
        [target, searchPath = m_settings.toolSearchPath, hook = m_settings.reformatStageHook](const Caller&) {
            return VolumeReformatter(searchPath, hook).reformatVolumeAt(target);
        });
}

void HelperTool::authorizeAndRun(const char* method, const std::string& argument, bool needsUid, Work work)
{
    setDelayedReply(true);
    const QDBusMessage call = message();
    const QString sender = call.service();
    beginCall();
    const std::string shown = printable(argument);
    logMessage(method, " ", shown, " from ", sender.toStdString());

    m_authorizer.checkAuthorization(
        m_connection, sender,
        [this, call, sender, method, argument, shown, needsUid,
         work = std::move(work)](bool authorized, const QString& reason) {
            if (!authorized) {
                logMessage(method, " ", shown, " refused: ", reason.toStdString());
                m_connection.send(
                    call.createErrorReply(QString::fromLatin1(HelperToolProtocol::errorAccessDenied),
                                          reason.isEmpty() ? QStringLiteral("Not authorized") : reason));
                endCall();
                return;
            }
            QDBusConnection connection = m_connection;
            m_pool.start([this, connection, call, sender, method, shown, needsUid, work]() {
                Caller caller{sender, static_cast<uid_t>(-1)};
                HelperOutcome outcome;
                if (needsUid) {
                    if (const auto uid = callerUid(connection, sender))
                        caller.uid = *uid;
                    else
                        outcome = HelperError::failed("The user of the caller " + sender.toStdString() +
                                                      " could not be found");
                }
                if (!outcome)
                    outcome = work(caller);
                if (outcome) {
                    logMessage(method, " ", shown, " failed: ", printable(outcome->message));
                    connection.send(call.createErrorReply(errorName(outcome->kind),
                                                          QString::fromStdString(outcome->message)));
                } else {
                    logMessage(method, " ", shown, " done");
                    connection.send(call.createReply());
                }
                QMetaObject::invokeMethod(this, &HelperTool::endCall, Qt::QueuedConnection);
            });
        });
}

void HelperTool::beginCall()
{
    ++m_activeCalls;
    m_idleTimer.stop();
}

void HelperTool::endCall()
{
    if (--m_activeCalls == 0)
        m_idleTimer.start();
}

} // namespace cv
