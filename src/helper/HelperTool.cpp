#include "helper/HelperTool.h"

#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helper/ArgumentCheck.h"
#include "helper/FileHandover.h"
#include "helper/FileOperations.h"
#include "helper/SnapshotRemover.h"
#include "helper/VolumeReformatter.h"
#include "helpertoolmethods.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <type_traits>

namespace cv {

// Every method of the interface description has its handler in this class, which the generated
// adaptor calls: a method added to the description without one fails the build here.
#define CINDERVAULT_HELPER_HANDLER(method)                                                                   \
    static_assert(std::is_member_function_pointer_v<decltype(&HelperTool::method)>);
CINDERVAULT_HELPER_TOOL_METHODS(CINDERVAULT_HELPER_HANDLER)
#undef CINDERVAULT_HELPER_HANDLER

namespace {

constexpr int kUidLookupTimeoutMs = 10000;
// Messages of the helper's own name a few paths at most; more is not written into one log line.
constexpr std::size_t kMaxLoggedMessage = 4 * ArgumentCheck::kMaxPathLength;
// A file-system UUID or label is a few dozen bytes; more is no volume's.
constexpr qsizetype kMaxVolumeName = 1024;

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

std::string toStd(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The entry of a file method, refused before anything else when its arguments are not acceptable.
Expected<FileOperations::Entry, std::string> fileEntry(const QByteArray& folder, const QByteArray& name,
                                                       qulonglong device, qulonglong inode)
{
    // Looked at in place: an argument of megabytes is neither copied nor logged, and the message
    // that holds it goes as soon as the call returns.
    const std::string_view folderBytes(folder.constData(), static_cast<std::size_t>(folder.size()));
    const std::string_view nameBytes(name.constData(), static_cast<std::size_t>(name.size()));
    if (const auto checked = ArgumentCheck::checkPath(folderBytes); !checked)
        return Unexpected(checked.error());
    if (const auto checked = ArgumentCheck::checkName(nameBytes); !checked)
        return Unexpected(checked.error());
    return FileOperations::Entry{toStd(folder), toStd(name), static_cast<dev_t>(device),
                                 static_cast<ino_t>(inode)};
}

std::string shownEntry(const QByteArray& folder, const QByteArray& name)
{
    const std::string_view folderBytes(folder.constData(), static_cast<std::size_t>(folder.size()));
    const std::string_view nameBytes(name.constData(), static_cast<std::size_t>(name.size()));
    if (folderBytes.empty())
        return ArgumentCheck::shown(nameBytes);
    return ArgumentCheck::shown(folderBytes) + (folderBytes.back() == '/' ? "" : "/") +
           ArgumentCheck::shown(nameBytes);
}

} // namespace

HelperTool::HelperTool(QDBusConnection connection, Authorizer& authorizer, Settings settings, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_authorizer(authorizer),
      m_settings(std::move(settings)), m_systemFolders(m_settings.systemFolders)
{
    m_pool.setMaxThreadCount(4);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_settings.idleExitMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &HelperTool::idle);
    m_idleTimer.start();
    m_callers.setConnection(m_connection);
    m_callers.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    // A caller that leaves takes its calls with it: nobody waits for them any more.
    connect(&m_callers, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& name) {
        withdrawCallsOf(name, false);
        forgetAllowed(name);
    });
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

HelperTool::Request HelperTool::entryRequest(const char* method, const QByteArray& folder,
                                             const QByteArray& name)
{
    // File work on one examined entry of the caller's selection: one kind of question, and the
    // entry named the same way in the log and in the notice that the user is asked.
    Request request;
    request.method = method;
    request.action = QString::fromLatin1(HelperToolProtocol::fileAction);
    request.shown = shownEntry(folder, name);
    request.target = folder + "/" + name;
    return request;
}

QDBusUnixFileDescriptor HelperTool::openFileAt(const QByteArray& folder, const QByteArray& name,
                                               qulonglong device, qulonglong inode)
{
    const char* method = "openFileAt";
    const auto uid = currentUid(method);
    if (!uid)
        return {};
    const auto entry = fileEntry(folder, name, device, inode);
    if (!entry) {
        refuseNow(*uid, method, shownEntry(folder, name),
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument), entry.error());
        return {};
    }
    Request request = entryRequest(method, folder, name);
    // The question names the file: a password is given for this file, not for "protected files".
    request.details.insert(QString::fromLatin1(HelperToolProtocol::filesDetail),
                           QString::fromStdString(request.shown));
    request.allowedEntry = AllowedEntries::Entry{entry->device, entry->inode};
    request.check = [this, entry = *entry]() { return FileHandover(m_systemFolders).check(entry); };
    request.answer = std::make_shared<QVariantList>();
    request.work = [this, entry = *entry, answer = request.answer](const Caller&) -> HelperResult {
        auto file = FileHandover(m_systemFolders).open(entry);
        if (!file)
            return Unexpected(file.error());
        // The answer holds a copy of the descriptor until it is sent; the helper's own closes here.
        answer->append(QVariant::fromValue(QDBusUnixFileDescriptor(file->get())));
        return {};
    };
    authorizeAndRun(*uid, std::move(request));
    return {};
}

QStringList HelperTool::allowEntriesAt(const QByteArrayList& folders, const QByteArrayList& names,
                                       const QList<qulonglong>& devices, const QList<qulonglong>& inodes)
{
    const char* method = "allowEntriesAt";
    const auto uid = currentUid(method);
    if (!uid)
        return {};
    const qsizetype count = folders.size();
    if (count == 0 || count > kMaxListedEntries || names.size() != count || devices.size() != count ||
        inodes.size() != count) {
        refuseNow(*uid, method, std::to_string(count) + " entries",
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument),
                  "The list must name 1 to " + std::to_string(kMaxListedEntries) +
                      " entries, each with its folder, name, device and inode");
        return {};
    }
    std::vector<FileOperations::Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count; ++i) {
        const auto entry = fileEntry(folders[i], names[i], devices[i], inodes[i]);
        if (!entry) {
            refuseNow(*uid, method, shownEntry(folders[i], names[i]),
                      QString::fromLatin1(HelperToolProtocol::errorInvalidArgument), entry.error());
            return {};
        }
        entries.push_back(*entry);
    }
    Request request = entryRequest(method, folders[0], names[0]);
    request.shown = std::to_string(count) + " entries, the first " + request.shown;
    request.target = QByteArray::number(count);
    // Each entry is checked before the question, which names the entries it allows: the first few
    // and how many there are.
    auto reasons = std::make_shared<QStringList>();
    auto allowed = std::make_shared<std::set<AllowedEntries::Entry>>();
    auto named = std::make_shared<std::vector<std::string>>();
    request.check = [this, entries, reasons, allowed, named]() -> HelperResult {
        const FileHandover handover(m_systemFolders);
        for (const auto& entry : entries) {
            const HelperResult checked = handover.checkListed(entry);
            reasons->append(checked ? QString() : QString::fromStdString(checked.error().message));
            if (!checked)
                continue;
            allowed->insert(AllowedEntries::Entry{entry.device, entry.inode});
            if (named->size() < static_cast<std::size_t>(kNamedInQuestion))
                named->push_back(shownEntry(QByteArray::fromStdString(entry.folder),
                                            QByteArray::fromStdString(entry.name)));
        }
        if (allowed->empty())
            return HelperError::invalidArgument("Every entry of the list is refused; the first: " +
                                                reasons->constFirst().toStdString());
        return {};
    };
    request.describe = [allowed, named](QMap<QString, QString>& details) {
        std::string text;
        for (const auto& path : *named)
            text += (text.empty() ? "" : ", ") + path;
        if (allowed->size() > named->size())
            text += " and " + std::to_string(allowed->size() - named->size()) + " more (" +
                    std::to_string(allowed->size()) + " entries)";
        details.insert(QString::fromLatin1(HelperToolProtocol::filesDetail), QString::fromStdString(text));
    };
    request.answer = std::make_shared<QVariantList>();
    request.work = [this, reasons, allowed, answer = request.answer](const Caller& caller) -> HelperResult {
        if (!m_allowed.add(caller.name, *allowed))
            return HelperError::invalidArgument("Too many entries allowed to this caller at once");
        answer->append(*reasons);
        return {};
    };
    authorizeAndRun(*uid, std::move(request));
    return {};
}

void HelperTool::deleteFileAtPath(const QByteArray& folder, const QByteArray& name, qulonglong device,
                                  qulonglong inode)
{
    const char* method = "deleteFileAtPath";
    const auto uid = currentUid(method);
    if (!uid)
        return;
    const auto entry = fileEntry(folder, name, device, inode);
    if (!entry) {
        refuseNow(*uid, method, shownEntry(folder, name),
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument), entry.error());
        return;
    }
    Request request = entryRequest(method, folder, name);
    request.allowedEntry = AllowedEntries::Entry{entry->device, entry->inode};
    request.check = [entry = *entry]() { return FileOperations::checkDeleteEntry(entry); };
    request.work = [entry = *entry](const Caller&) { return FileOperations::deleteEntry(entry); };
    authorizeAndRun(*uid, std::move(request));
}

void HelperTool::renameEntryAt(const QByteArray& folder, const QByteArray& name, qulonglong device,
                               qulonglong inode, const QByteArray& newName)
{
    const char* method = "renameEntryAt";
    const auto uid = currentUid(method);
    if (!uid)
        return;
    const auto entry = fileEntry(folder, name, device, inode);
    const std::string_view newBytes(newName.constData(), static_cast<std::size_t>(newName.size()));
    const auto checkedName = ArgumentCheck::checkName(newBytes);
    if (!entry || !checkedName) {
        refuseNow(*uid, method, shownEntry(folder, name),
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument),
                  entry ? "The new name: " + checkedName.error() : entry.error());
        return;
    }
    Request request = entryRequest(method, folder, name);
    request.shown += " -> " + ArgumentCheck::shown(newBytes);
    request.allowedEntry = AllowedEntries::Entry{entry->device, entry->inode};
    request.check = [entry = *entry, to = toStd(newName)]() {
        return FileOperations::checkRenameEntry(entry, to);
    };
    request.work = [entry = *entry, to = toStd(newName)](const Caller&) {
        return FileOperations::renameEntry(entry, to);
    };
    authorizeAndRun(*uid, std::move(request));
}

void HelperTool::deleteSnapshots()
{
    const char* method = "deleteSnapshots";
    const auto uid = currentUid(method);
    if (!uid)
        return;
    Request request;
    request.method = method;
    request.action = QString::fromLatin1(HelperToolProtocol::snapshotAction);
    request.check = [searchPath = m_settings.toolSearchPath]() {
        return SnapshotRemover(searchPath).checkTool();
    };
    request.work = [searchPath = m_settings.toolSearchPath](const Caller&) {
        return SnapshotRemover(searchPath).deleteSnapshots();
    };
    authorizeAndRun(*uid, std::move(request));
}

void HelperTool::checkReformatVolumeAt(const QByteArray& mountPath)
{
    // No question and no work: the caller learns before a job starts whether its reformat would
    // be refused. Anyone may ask; the answer says only what the policy says of a mounted volume.
    const char* method = "checkReformatVolumeAt";
    const auto uid = currentUid(method);
    if (!uid)
        return;
    if (!acceptsMountPath(*uid, method, mountPath))
        return;
    // blkid may take its time: the check runs off this thread, counted in the user's checks.
    if (!m_checks.admits(*uid)) {
        refuseNow(*uid, method, ArgumentCheck::shown(toStd(mountPath)),
                  QString::fromLatin1(HelperToolProtocol::errorBusy),
                  "Busy: other calls of this user are being checked");
        return;
    }
    setDelayedReply(true);
    beginCall();
    m_checks.run(
        *uid,
        [path = toStd(mountPath), searchPath = m_settings.toolSearchPath]() {
            return VolumeReformatter(searchPath).checkVolumeAt(path);
        },
        [this, message = message()](const HelperResult& checked) {
            m_connection.send(
                checked ? message.createReply()
                        : message.createErrorReply(errorName(checked.error().kind),
                                                   QString::fromStdString(ArgumentCheck::shown(
                                                       checked.error().message, kMaxLoggedMessage))));
            endCall();
        });
}

void HelperTool::reformatVolumeAt(const QByteArray& mountPath, qulonglong device, qulonglong diskSequence,
                                  const QByteArray& uuid, const QByteArray& label)
{
    const char* method = "reformatVolumeAt";
    const auto uid = currentUid(method);
    if (!uid)
        return;
    if (!acceptsMountPath(*uid, method, mountPath))
        return;
    const std::string_view bytes(mountPath.constData(), static_cast<std::size_t>(mountPath.size()));
    if (device == 0 || uuid.size() > kMaxVolumeName || label.size() > kMaxVolumeName) {
        refuseNow(*uid, method, ArgumentCheck::shown(bytes),
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument),
                  "The confirmed volume is not named (device, UUID, label)");
        return;
    }
    const ConfirmedVolume confirmed{device, diskSequence, toStd(uuid), toStd(label)};
    const std::string target = toStd(mountPath);
    Request request;
    request.method = method;
    request.action = QString::fromLatin1(HelperToolProtocol::reformatAction);
    // The question names the volume: a password is given for this volume, not for "the system".
    request.details.insert(QString::fromLatin1(HelperToolProtocol::volumeDetail),
                           QString::fromStdString(ArgumentCheck::shown(ArgumentCheck::normalized(target))));
    request.shown = ArgumentCheck::shown(target);
    request.target = mountPath;
    // The question names the volume as the helper found it, once it is the confirmed one; the
    // work checks that again after the answer, so that another volume mounted at the path while
    // the user typed the password is never formatted.
    auto found = std::make_shared<VolumeReformatter::Description>();
    request.check = [target, confirmed, found, searchPath = m_settings.toolSearchPath]() {
        return VolumeReformatter(searchPath).checkVolumeAt(target, confirmed, found.get());
    };
    request.describe = [found](QMap<QString, QString>& details) {
        details.insert(QString::fromLatin1(HelperToolProtocol::labelDetail),
                       QString::fromStdString(ArgumentCheck::shown(found->label)));
        details.insert(QString::fromLatin1(HelperToolProtocol::deviceDetail),
                       QString::fromStdString(ArgumentCheck::shown(found->device)));
        details.insert(QString::fromLatin1(HelperToolProtocol::sizeDetail),
                       QString::number(found->size) + QStringLiteral(" bytes"));
    };
    request.work = [target, confirmed, searchPath = m_settings.toolSearchPath,
                    hook = m_settings.reformatStageHook](const Caller&) {
        return VolumeReformatter(searchPath, hook).reformatVolumeAt(target, confirmed);
    };
    authorizeAndRun(*uid, std::move(request));
}

void HelperTool::withdrawCalls()
{
    withdrawCallsOf(message().service(), true);
}

void HelperTool::withdrawCallOn(const QString& method, const QByteArray& target)
{
    withdrawCallsOf(message().service(), true, [&](const Call& call) {
        return method == QLatin1String(call.method) && target == call.target;
    });
}

void HelperTool::forgetAllowedEntries()
{
    // Takes nothing from anyone: only what this very caller was allowed goes.
    forgetAllowed(message().service());
}

void HelperTool::forgetAllowed(const QString& caller)
{
    if (!m_allowed.holds(caller))
        return;
    m_allowed.forget(caller);
    logMessage("The entries allowed to ", caller.toStdString(), " are allowed no more");
    if (!std::any_of(m_calls.begin(), m_calls.end(),
                     [&](const auto& entry) { return entry.second.caller.name == caller; }))
        m_callers.removeWatchedService(caller);
    if (m_activeCalls == 0 && m_allowed.empty())
        m_idleTimer.start();
}

bool HelperTool::acceptsMountPath(uid_t uid, const char* method, const QByteArray& mountPath)
{
    const std::string_view bytes(mountPath.constData(), static_cast<std::size_t>(mountPath.size()));
    if (const auto checked = ArgumentCheck::checkPath(bytes); !checked) {
        refuseNow(uid, method, ArgumentCheck::shown(bytes),
                  QString::fromLatin1(HelperToolProtocol::errorInvalidArgument), checked.error());
        return false;
    }
    return true;
}

std::optional<uid_t> HelperTool::currentUid(const char* method)
{
    const QString sender = message().service();
    if (const auto uid = callerUid(m_connection, sender))
        return uid;
    logMessage(method, " from ", sender.toStdString(), " refused: the caller's user cannot be found");
    sendErrorReply(QString::fromLatin1(HelperToolProtocol::errorFailed),
                   QStringLiteral("The user of the caller cannot be found"));
    return std::nullopt;
}

void HelperTool::refuseNow(uid_t uid, const char* method, const std::string& shownArgument,
                           const QString& error, const std::string& reason)
{
    logRefusal(uid, std::string(method) + " " + shownArgument + " from " + message().service().toStdString() +
                        " (user " + std::to_string(uid) + ") refused: " + reason);
    sendErrorReply(error, QString::fromStdString(reason));
}

void HelperTool::logRefusal(uid_t uid, const std::string& line)
{
    // A user who floods the helper with calls that are refused must not flood the log too.
    m_refusalLog.log(uid, line);
}

std::optional<HelperTool::Refusal> HelperTool::questionRefusal(uid_t uid, const QString& sender)
{
    for (auto it = m_refused.begin(); it != m_refused.end();)
        it = it->hasExpired() ? m_refused.erase(it) : std::next(it);
    // A user polkit has just refused gets no second question at once, and a caller gets one at a
    // time: a stranger's calls would otherwise line up in front of polkit. The limits are the
    // user's own, so that no user's calls take another's turn.
    if (m_refused.contains(uid))
        return Refusal{QString::fromLatin1(HelperToolProtocol::errorAccessDenied),
                       "Not authorized: polkit refused this user moments ago"};
    if (m_asking.contains(sender))
        return Refusal{QString::fromLatin1(HelperToolProtocol::errorBusy),
                       "Busy: polkit is still being asked about an earlier call of this caller"};
    if (m_questionsOf.value(uid) >= kMaxOpenQuestionsPerUser)
        return Refusal{QString::fromLatin1(HelperToolProtocol::errorBusy),
                       "Busy: polkit is being asked about other calls of this user"};
    return std::nullopt;
}

void HelperTool::authorizeAndRun(uid_t uid, Request request)
{
    const QString sender = message().service();
    // An entry of a list the caller was allowed asks nobody: the limits on questions do not apply.
    const bool allowed = request.allowedEntry && m_allowed.allows(sender, *request.allowedEntry);
    if (!allowed) {
        if (const auto refusal = questionRefusal(uid, sender)) {
            refuseNow(uid, request.method, request.shown, refusal->error, refusal->reason);
            return;
        }
    }
    // The checks run off this thread, a few per user at a time: one user's slow or many checks
    // never keep another user's calls from being answered.
    if (request.check && !m_checks.admits(uid)) {
        refuseNow(uid, request.method, request.shown, QString::fromLatin1(HelperToolProtocol::errorBusy),
                  "Busy: other calls of this user are being checked");
        return;
    }
    setDelayedReply(true);
    beginCall();
    const quint64 id = ++m_nextCall;
    m_calls.emplace(id,
                    Call{Caller{sender, uid}, message(), request.method, request.shown, request.target, false,
                         std::nullopt, std::make_shared<std::atomic<bool>>(false), request.answer});
    m_callers.addWatchedService(sender);
    if (!request.check) {
        proceed(id, std::move(request), allowed);
        return;
    }
    // What is refused anyway is refused before anybody is asked for a password.
    auto shared = std::make_shared<Request>(std::move(request));
    m_checks.run(
        uid, [shared]() { return shared->check(); },
        [this, id, shared, allowed](const HelperResult& checked) {
            checkedCall(id, std::move(*shared), checked, allowed);
        });
}

void HelperTool::checkedCall(quint64 id, Request request, const HelperResult& checked, bool allowed)
{
    const auto found = m_calls.find(id);
    if (found == m_calls.end())
        return; // withdrawn meanwhile, and answered so
    const Call& call = found->second;
    std::optional<Refusal> refusal;
    if (!checked)
        refusal = Refusal{errorName(checked.error().kind),
                          ArgumentCheck::shown(checked.error().message, kMaxLoggedMessage)};
    else if (!allowed)
        refusal = questionRefusal(call.caller.uid, call.caller.name); // another call may ask by now
    if (refusal) {
        logRefusal(call.caller.uid, std::string(call.method) + " " + call.shown + " from " +
                                        call.caller.name.toStdString() + " (user " +
                                        std::to_string(call.caller.uid) + ") refused: " + refusal->reason);
        m_connection.send(
            call.message.createErrorReply(refusal->error, QString::fromStdString(refusal->reason)));
        forget(id);
        return;
    }
    proceed(id, std::move(request), allowed);
}

void HelperTool::proceed(quint64 id, Request request, bool allowed)
{
    if (allowed) {
        const Call& call = m_calls.at(id);
        m_callLog.log(call.caller.uid, std::string(request.method) + " " + request.shown + " from " +
                                           call.caller.name.toStdString() + " (user " +
                                           std::to_string(call.caller.uid) + "), allowed with its list");
        carryOut(id, std::move(request.work));
        return;
    }
    if (request.describe)
        request.describe(request.details);
    ask(id, std::move(request));
}

void HelperTool::ask(quint64 id, Request request)
{
    Call& call = m_calls.at(id);
    const QString sender = call.caller.name;
    const uid_t uid = call.caller.uid;
    call.asking = true;
    m_asking.insert(sender);
    ++m_questionsOf[uid];
    m_callLog.log(uid, std::string(request.method) + " " + request.shown + " from " + sender.toStdString() +
                           " (user " + std::to_string(uid) + ")");

    const quint64 question = m_authorizer.checkAuthorization(
        m_connection,
        Authorizer::Question{sender, request.action, request.details,
                             call.message.isInteractiveAuthorizationAllowed()},
        [this, id, target = request.target]() { askingUser(id, target); },
        [this, id, work = std::move(request.work)](const Authorizer::Authorization& authorization) {
            decided(id, authorization, work);
        });
    // An authorizer may decide at once, before it answers the question's id.
    if (const auto found = m_calls.find(id); found != m_calls.end() && found->second.asking)
        found->second.question = question;
}

void HelperTool::askingUser(quint64 id, const QByteArray& target)
{
    const auto found = m_calls.find(id);
    if (found == m_calls.end())
        return;
    const Call& call = found->second;
    QDBusMessage signal = QDBusMessage::createTargetedSignal(
        call.caller.name, QString::fromLatin1(HelperToolProtocol::objectPath),
        QString::fromLatin1(HelperToolProtocol::interfaceName),
        QString::fromLatin1(HelperToolProtocol::authorizationRequestedSignal));
    signal << QString::fromLatin1(call.method) << target;
    m_connection.send(signal);
}

void HelperTool::decided(quint64 id, const Authorizer::Authorization& authorization, Work work)
{
    const auto found = m_calls.find(id);
    if (found == m_calls.end())
        return; // withdrawn meanwhile
    Call& call = found->second;
    call.asking = false;
    call.question.reset();
    m_asking.remove(call.caller.name);
    if (--m_questionsOf[call.caller.uid] <= 0)
        m_questionsOf.remove(call.caller.uid);
    if (!authorization) {
        const QString& reason = authorization.error();
        // Remembered so that a user who just said no is not asked again at once; a call that
        // may not ask (a script's) asked nobody, and the user may still say yes to the next.
        if (call.message.isInteractiveAuthorizationAllowed())
            m_refused.insert(call.caller.uid, QDeadlineTimer(kRefusalMemoryMs));
        logRefusal(call.caller.uid,
                   std::string(call.method) + " " + call.shown + " refused: " + reason.toStdString());
        m_connection.send(
            call.message.createErrorReply(QString::fromLatin1(HelperToolProtocol::errorAccessDenied),
                                          reason.isEmpty() ? QStringLiteral("Not authorized") : reason));
        forget(id);
        return;
    }
    carryOut(id, std::move(work));
}

void HelperTool::carryOut(quint64 id, Work work)
{
    const Call& call = m_calls.at(id);
    QDBusConnection connection = m_connection;
    m_pool.start([this, connection, id, caller = call.caller, message = call.message, method = call.method,
                  shown = call.shown, withdrawn = call.withdrawn, answer = call.answer,
                  work = std::move(work)]() {
        // A call withdrawn while it waited for a worker is never carried out.
        if (withdrawn->exchange(true))
            return;
        const HelperResult result = work(caller);
        if (!result) {
            const HelperError& error = result.error();
            m_callLog.log(caller.uid, std::string(method) + " " + shown + " failed: " +
                                          ArgumentCheck::shown(error.message, kMaxLoggedMessage));
            connection.send(
                message.createErrorReply(errorName(error.kind), QString::fromStdString(error.message)));
        } else {
            m_callLog.log(caller.uid, std::string(method) + " " + shown + " done");
            // Taken out of the shared answer, so that a descriptor in it is closed here, once sent.
            const QVariantList arguments = answer ? std::exchange(*answer, QVariantList()) : QVariantList();
            connection.send(message.createReply(arguments));
        }
        QMetaObject::invokeMethod(
            this, [this, id]() { forget(id); }, Qt::QueuedConnection);
    });
}

void HelperTool::withdrawCallsOf(const QString& sender, bool answerThem,
                                 const std::function<bool(const Call&)>& matches)
{
    std::vector<quint64> ids;
    for (const auto& [id, call] : m_calls) {
        if (call.caller.name == sender && (!matches || matches(call)))
            ids.push_back(id);
    }
    for (const quint64 id : ids) {
        Call& call = m_calls.at(id);
        // A worker that has begun the work finishes it and answers; nothing else is carried out.
        if (call.withdrawn->exchange(true))
            continue;
        if (call.asking) {
            if (call.question)
                m_authorizer.withdraw(*call.question);
            m_asking.remove(call.caller.name);
            if (--m_questionsOf[call.caller.uid] <= 0)
                m_questionsOf.remove(call.caller.uid);
        }
        m_callLog.log(call.caller.uid,
                      std::string(call.method) + " " + call.shown + " withdrawn by its caller");
        if (answerThem)
            m_connection.send(call.message.createErrorReply(
                QString::fromLatin1(HelperToolProtocol::errorWithdrawn),
                QStringLiteral("The call was withdrawn before it was carried out")));
        forget(id);
    }
}

void HelperTool::forget(quint64 id)
{
    const auto found = m_calls.find(id);
    if (found == m_calls.end())
        return;
    const QString sender = found->second.caller.name;
    m_calls.erase(found);
    const bool more = std::any_of(m_calls.begin(), m_calls.end(),
                                  [&](const auto& entry) { return entry.second.caller.name == sender; });
    const bool holdsAllowances = m_allowed.holds(sender);
    // A caller with allowances is watched until they go; one that left while its call was carried
    // out loses them now.
    if (!more && !holdsAllowances)
        m_callers.removeWatchedService(sender);
    else if (!more && !m_connection.interface()->isServiceRegistered(sender).value())
        forgetAllowed(sender);
    endCall();
}

void HelperTool::beginCall()
{
    ++m_activeCalls;
    m_idleTimer.stop();
}

void HelperTool::endCall()
{
    if (--m_activeCalls == 0 && m_allowed.empty())
        m_idleTimer.start();
}

} // namespace cv
