#include "helper/HelperTool.h"

#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helper/ArgumentCheck.h"
#include "helper/FileOperations.h"
#include "helper/SnapshotRemover.h"
#include "helper/VolumeReformatter.h"

#include <QDBusMessage>

namespace cv {

namespace {

constexpr int kUidLookupTimeoutMs = 10000;
// Messages of the helper's own name a few paths at most; more is not written into one log line.
constexpr std::size_t kMaxLoggedMessage = 4 * ArgumentCheck::kMaxPathLength;

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
    // Not activity: anyone may ask, and a caller asking every few seconds would otherwise keep the
    // root helper running for good.
    return QString::fromLatin1(HelperToolProtocol::version);
}

void HelperTool::changePermissionsOfFileAt(const QByteArray& path)
{
    if (refuseInvalidPath("changePermissionsOfFileAt", path))
        return;
    const std::string target = path.toStdString();
    authorizeAndRun("changePermissionsOfFileAt", target, true, [target](const Caller& caller) {
        return FileOperations::changePermissions(target, caller.uid);
    });
}

void HelperTool::deleteFileAtPath(const QByteArray& path)
{
    if (refuseInvalidPath("deleteFileAtPath", path))
        return;
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
    if (refuseInvalidPath("reformatVolumeAt", mountPath))
        return;
    const std::string target = mountPath.toStdString();
    authorizeAndRun(
        "reformatVolumeAt", target, false,
        [target, searchPath = m_settings.toolSearchPath, hook = m_settings.reformatStageHook](const Caller&) {
            return VolumeReformatter(searchPath, hook).reformatVolumeAt(target);
        });
}

bool HelperTool::refuseInvalidPath(const char* method, const QByteArray& path)
{
    // Looked at in place: an argument of megabytes is neither copied nor logged, and the message
    // that holds it goes as soon as this call returns.
    const std::string_view bytes(path.constData(), static_cast<std::size_t>(path.size()));
    const auto checked = ArgumentCheck::checkPath(bytes);
    if (checked)
        return false;
    refuseNow(method, ArgumentCheck::shown(bytes),
              QString::fromLatin1(HelperToolProtocol::errorInvalidArgument), checked.error());
    return true;
}

void HelperTool::refuseNow(const char* method, const std::string& shownArgument, const QString& error,
                           const std::string& reason)
{
    logMessage(method, " ", shownArgument, " from ", message().service().toStdString(), " refused: ", reason);
    sendErrorReply(error, QString::fromStdString(reason));
}

void HelperTool::authorizeAndRun(const char* method, const std::string& argument, bool needsUid, Work work)
{
    const QString sender = message().service();
    const std::string shown = ArgumentCheck::shown(argument);
    for (auto it = m_refused.begin(); it != m_refused.end();)
        it = it->hasExpired() ? m_refused.erase(it) : std::next(it);
    // A caller polkit has just refused, or is still being asked about, gets no second question: a
    // stranger's calls would otherwise line up in front of polkit and of the user's own calls.
    if (m_refused.contains(sender)) {
        refuseNow(method, shown, QString::fromLatin1(HelperToolProtocol::errorAccessDenied),
                  "Not authorized: polkit refused this caller moments ago");
        return;
    }
    if (m_asking.contains(sender)) {
        refuseNow(method, shown, QString::fromLatin1(HelperToolProtocol::errorBusy),
                  "Busy: polkit is still being asked about an earlier call of this caller");
        return;
    }
    if (m_asking.size() >= kMaxOpenQuestions) {
        refuseNow(method, shown, QString::fromLatin1(HelperToolProtocol::errorBusy),
                  "Busy: polkit is being asked about other callers");
        return;
    }

    setDelayedReply(true);
    const QDBusMessage call = message();
    beginCall();
    m_asking.insert(sender);
    logMessage(method, " ", shown, " from ", sender.toStdString());

    m_authorizer.checkAuthorization(
        m_connection, sender,
        [this, call, sender, method, shown, needsUid,
         work = std::move(work)](const Authorizer::Authorization& authorization) {
            m_asking.remove(sender);
            if (!authorization) {
                const QString& reason = authorization.error();
                m_refused.insert(sender, QDeadlineTimer(kRefusalMemoryMs));
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
                HelperResult result;
                if (needsUid) {
                    if (const auto uid = callerUid(connection, sender))
                        caller.uid = *uid;
                    else
                        result = HelperError::failed("The user of the caller " + sender.toStdString() +
                                                     " could not be found");
                }
                if (result)
                    result = work(caller);
                if (!result) {
                    const HelperError& error = result.error();
                    logMessage(method, " ", shown,
                               " failed: ", ArgumentCheck::shown(error.message, kMaxLoggedMessage));
                    connection.send(
                        call.createErrorReply(errorName(error.kind), QString::fromStdString(error.message)));
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
