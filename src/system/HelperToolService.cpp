#include "system/HelperToolService.h"

#include "common/HelperToolProtocol.h"
#include "common/Log.h"
#include "helpertoolmethods.h"
#include "helpertoolproxy.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <type_traits>
#include <utility>

namespace cv {

namespace {

constexpr int kVersionTimeoutMs = 25000;
// A file call is left time for the user to answer polkit's password prompt, which the helper's
// answer waits for (the helper gives polkit 10 minutes). A call that times out here is withdrawn,
// so that the helper never carries it out later.
constexpr int kFileCallTimeoutMs = 11 * 60 * 1000;
// A reformat or a snapshot deletion takes as long as it takes. The bus still answers at once when
// the helper cannot be started or goes away.
constexpr int kUnlimitedTimeoutMs = std::numeric_limits<int>::max();
// A call the helper answers busy is sent again after these pauses, doubling up to the longest.
constexpr int kFirstBusyRetryMs = 200;
constexpr int kMaxBusyRetryMs = 2000;

QByteArray pathBytes(const std::string& path)
{
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

// The target of a file call as the helper names it in authorizationRequested.
QByteArray entryTarget(const ExaminedEntry& entry)
{
    return pathBytes(entry.folder) + '/' + pathBytes(entry.name);
}

// The arguments that name an examined entry in the file methods: folder, name, device, inode.
QVariantList entryArguments(const ExaminedEntry& entry)
{
    return {pathBytes(entry.folder), pathBytes(entry.name), QVariant::fromValue(quint64(entry.device)),
            QVariant::fromValue(quint64(entry.inode))};
}

bool isTimeout(const QString& name)
{
    return name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
           name == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
           name == QLatin1String("org.freedesktop.DBus.Error.TimedOut");
}

// Errors of the bus and of Qt's D-Bus layer mean the helper could not be reached or did not answer;
// everything else, AccessDenied included, is the helper's own answer.
bool isProxyError(const QString& name)
{
    return (name.startsWith(QLatin1String("org.freedesktop.DBus.Error.")) &&
            name != QLatin1String(HelperToolProtocol::errorAccessDenied)) ||
           name.startsWith(QLatin1String("org.qtproject.QtDBus.Error."));
}

std::string describe(const QDBusMessage& error)
{
    const QString message = error.errorMessage().isEmpty() ? error.errorName() : error.errorMessage();
    return QStringLiteral("%1 (%2)").arg(message, error.errorName()).toStdString();
}

} // namespace

// The form each method of the helper's interface takes on the bus: one function per method of the
// interface description, named after it, and the only place where its name and arguments are
// spelt. A method added to the description without its function here fails the build.
struct HelperToolService::Wire
{
    static WireCall getVersion() { return {"getVersion", {}, {}, false}; }
    static WireCall openFileAt(const ExaminedEntry& entry)
    {
        return {"openFileAt", entryTarget(entry), entryArguments(entry), true};
    }
    // Named by the number of entries in authorizationRequested.
    static WireCall allowEntriesAt(const std::vector<ExaminedEntry>& entries)
    {
        QByteArrayList folders;
        QByteArrayList names;
        QList<qulonglong> devices;
        QList<qulonglong> inodes;
        for (const ExaminedEntry& entry : entries) {
            folders.append(pathBytes(entry.folder));
            names.append(pathBytes(entry.name));
            devices.append(entry.device);
            inodes.append(entry.inode);
        }
        return {"allowEntriesAt",
                QByteArray::number(static_cast<qulonglong>(entries.size())),
                {QVariant::fromValue(folders), QVariant::fromValue(names), QVariant::fromValue(devices),
                 QVariant::fromValue(inodes)},
                true};
    }
    static WireCall deleteFileAtPath(const ExaminedEntry& entry)
    {
        return {"deleteFileAtPath", entryTarget(entry), entryArguments(entry), true};
    }
    static WireCall renameEntryAt(const ExaminedEntry& entry, const std::string& newName)
    {
        return {"renameEntryAt", entryTarget(entry), entryArguments(entry) << pathBytes(newName), true};
    }
    static WireCall deleteSnapshots() { return {"deleteSnapshots", {}, {}, true}; }
    // The helper formats the volume only while it is still the one the user confirmed.
    static WireCall reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed)
    {
        return {"reformatVolumeAt",
                pathBytes(mountPath),
                {pathBytes(mountPath), QVariant::fromValue<qulonglong>(confirmed.device),
                 QVariant::fromValue<qulonglong>(confirmed.diskSequence), pathBytes(confirmed.uuid),
                 pathBytes(confirmed.label)},
                true};
    }
    static WireCall checkReformatVolumeAt(const std::string& mountPath)
    {
        return {"checkReformatVolumeAt", pathBytes(mountPath), {pathBytes(mountPath)}, false};
    }
    static WireCall withdrawCalls() { return {"withdrawCalls", {}, {}, false}; }
    // The helper knows a call by its caller, method and target: the same call id the helper's
    // authorizationRequested names it by.
    static WireCall withdrawCallOn(const WireCall& call)
    {
        return {"withdrawCallOn", {}, {QString::fromLatin1(call.method), call.target}, false};
    }
    static WireCall forgetAllowedEntries() { return {"forgetAllowedEntries", {}, {}, false}; }

#define CINDERVAULT_CLIENT_CALL(method) static_assert(std::is_function_v<decltype(method)>);
    CINDERVAULT_HELPER_TOOL_METHODS(CINDERVAULT_CLIENT_CALL)
#undef CINDERVAULT_CLIENT_CALL
};

QDBusMessage HelperToolService::message(const WireCall& call)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(HelperToolProtocol::serviceName), QLatin1String(HelperToolProtocol::objectPath),
        QLatin1String(HelperToolProtocol::interfaceName), QLatin1String(call.method));
    message.setArguments(call.arguments);
    return message;
}

HelperToolService::HelperToolService(const QString& busAddress, QObject* parent)
    : QObject(parent), m_busAddress(busAddress),
      m_packagedActivation(QStringLiteral(CINDERVAULT_PACKAGE_ACTIVATION))
{
    // The devices and inodes of a list of entries travel as arrays of 64-bit numbers.
    qDBusRegisterMetaType<QByteArrayList>();
    qDBusRegisterMetaType<QList<qulonglong>>();
    static std::atomic<int> instances{0};
    m_connectionName = QStringLiteral("cindervault-helper-client-%1").arg(++instances);
    const QString installer =
        installerPath(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
    if (!installer.isEmpty()) {
        m_installProgram = QStringLiteral("pkexec");
        m_installArguments = {installer};
    }
}

HelperToolService::~HelperToolService()
{
    m_helperTool.reset();
    if (!m_busAddress.isEmpty() && m_helperToolConnection)
        QDBusConnection::disconnectFromBus(m_connectionName);
}

HelperToolService& HelperToolService::sharedInstance()
{
    static HelperToolService* const instance = [] {
        auto* service = new HelperToolService();
        if (QCoreApplication* application = QCoreApplication::instance()) {
            service->moveToThread(application->thread());
            service->setParent(application);
        }
        return service;
    }();
    return *instance;
}

QString HelperToolService::installerPath(const QString& applicationDir)
{
    // Only a build started from its build tree installs a helper, its own. An installed program
    // finds its helper where the package put it and never runs anything as root itself.
    if (!(applicationDir + QLatin1Char('/')).startsWith(QStringLiteral(CINDERVAULT_BUILD_DIR "/")))
        return QString();
    const QString bundle = QStringLiteral(CINDERVAULT_BUILD_HELPER_BUNDLE);
    const QFileInfo installer(bundle + QStringLiteral("/cindervault-helper-install"));
    if (installer.isFile() && installer.isExecutable() &&
        QFileInfo(bundle + QStringLiteral("/cindervault-helper")).isFile())
        return installer.absoluteFilePath();
    return QString();
}

void HelperToolService::setInteractiveAuthorizationAllowed(bool allowed)
{
    m_allowInteraction = allowed;
}

void HelperToolService::setPackagedHelperActivation(const QString& path)
{
    m_packagedActivation = path;
}

void HelperToolService::setInstallCommand(const QString& program, const QStringList& arguments)
{
    m_installProgram = program;
    m_installArguments = arguments;
}

void HelperToolService::runOnServiceThread(std::function<void()> command)
{
    // Always posted, also on the service's own thread, so that a reply never runs inside the call
    // that asked for it.
    QMetaObject::invokeMethod(this, std::move(command), Qt::QueuedConnection);
}

void HelperToolService::connectToHelperTool()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_helperToolConnection && m_helperToolConnection->isConnected())
        return;
    m_helperTool.reset();
    m_helperToolConnection.reset();
    QDBusConnection connection = m_busAddress.isEmpty()
                                     ? QDBusConnection::systemBus()
                                     : QDBusConnection::connectToBus(m_busAddress, m_connectionName);
    if (!connection.isConnected()) {
        if (!m_busAddress.isEmpty())
            QDBusConnection::disconnectFromBus(m_connectionName);
        return;
    }
    m_helperToolConnection = connection;
    // Calls go to the helper's well-known name, so that the bus starts a new helper when the last
    // one left for being idle.
    m_helperTool =
        std::make_unique<HelperToolProxy>(QLatin1String(HelperToolProtocol::serviceName),
                                          QLatin1String(HelperToolProtocol::objectPath), connection);
    // The helper sends this signal to its caller alone, before the user is asked for a password.
    if (!connection.connect(QLatin1String(HelperToolProtocol::serviceName),
                            QLatin1String(HelperToolProtocol::objectPath),
                            QLatin1String(HelperToolProtocol::interfaceName),
                            QLatin1String(HelperToolProtocol::authorizationRequestedSignal), this,
                            SLOT(onAuthorizationRequested(QString, QByteArray))))
        logLine("HelperTool: cannot receive its authorization notices");
}

bool HelperToolService::userAskedAboutAnother(const Command& command) const
{
    return std::any_of(m_outstanding.begin(), m_outstanding.end(), [&command](const auto& entry) {
        return entry.second.get() != &command && entry.second->userAsked;
    });
}

void HelperToolService::onAuthorizationRequested(const QString& method, const QByteArray& target)
{
    for (auto& [id, command] : m_outstanding) {
        if (method == QLatin1String(command->call.method) && target == command->call.target)
            command->userAsked = true;
        if (command->askingUser && method == QLatin1String(command->call.method) &&
            target == command->call.target) {
            const AskingUser askingUser = std::exchange(command->askingUser, AskingUser());
            askingUser();
        }
    }
}

void HelperToolService::invalidateConnection()
{
    if (!m_helperToolConnection)
        return;
    m_helperTool.reset();
    m_helperToolConnection.reset();
    if (!m_busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    logLine("HelperTool connection invalidated");
}

void HelperToolService::connectAndExecuteCommandBlock(
    const std::function<void(Expected<HelperToolProxy*, std::string>)>& block)
{
    Q_ASSERT(QThread::currentThread() == thread());
    connectToHelperTool();
    if (!m_helperTool) {
        block(Unexpected(m_busAddress.isEmpty()
                             ? std::string("The system bus cannot be reached")
                             : "The bus " + m_busAddress.toStdString() + " cannot be reached"));
        return;
    }
    block(m_helperTool.get());
}

void HelperToolService::sendCommand(Command command)
{
    // Whoever asks the user is there before the question can come (and the call's clock starts
    // once it is).
    if (command.call.mayAsk && m_allowInteraction && m_beforeAsking)
        m_beforeAsking();
    const QDeadlineTimer deadline(command.timeoutMs);
    const quint64 id = ++m_nextCommand;
    auto shared = std::make_shared<Command>(std::move(command));
    // The reply ends the command's life here, whichever way it comes.
    shared->reply = [this, id, reply = std::move(shared->reply)](Expected<void, std::string> outcome) {
        m_outstanding.erase(id);
        if (reply)
            reply(std::move(outcome));
    };
    m_outstanding.emplace(id, shared);
    sendAttempt(std::move(shared), deadline, kFirstBusyRetryMs);
}

void HelperToolService::sendAttempt(std::shared_ptr<Command> command, QDeadlineTimer deadline, int retryMs)
{
    // A command withdrawn while it waited to be sent again is not sent: the helper never has it.
    if (command->withdrawn) {
        command->reply(Unexpected(std::string("The call was withdrawn before it was carried out")));
        return;
    }
    connectAndExecuteCommandBlock([&](Expected<HelperToolProxy*, std::string> helperTool) {
        if (!helperTool) {
            logMessage("Proxy Error ", helperTool.error());
            command->reply(Unexpected(helperTool.error()));
            return;
        }
        HelperToolProxy& proxy = **helperTool;
        QDBusMessage message = HelperToolService::message(command->call);
        // The helper lets polkit ask the user for a password only when the call says it may.
        message.setInteractiveAuthorizationAllowed(m_allowInteraction);
        const int timeoutMs =
            static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, kUnlimitedTimeoutMs));
        auto* watcher = new QDBusPendingCallWatcher(proxy.connection().asyncCall(message, timeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, command, deadline, retryMs](QDBusPendingCallWatcher* finished) {
                    finished->deleteLater();
                    const QDBusMessage answer = finished->reply();
                    // The helper is still asking polkit about an earlier call of ours (the user may be
                    // typing the password): this call is sent again until that is answered.
                    if (answer.errorName() == QLatin1String(HelperToolProtocol::errorBusy) &&
                        deadline.remainingTime() > retryMs) {
                        if (retryMs == kFirstBusyRetryMs)
                            logMessage("HelperTool busy, ", command->call.method, " is sent again shortly");
                        // While the user is asked about another call of this program, this one
                        // waits for that answer as well: its caller's clock does not run meanwhile.
                        if (command->askingUser && userAskedAboutAnother(*command))
                            std::exchange(command->askingUser, AskingUser())();
                        QTimer::singleShot(retryMs, this, [=, this]() {
                            sendAttempt(command, deadline, std::min(retryMs * 2, kMaxBusyRetryMs));
                        });
                        return;
                    }
                    if (answer.type() == QDBusMessage::ErrorMessage) {
                        const std::string text = describe(answer);
                        if (isProxyError(answer.errorName())) {
                            logMessage("Proxy Error ", text);
                            // Given up on here: the helper must not carry it out later.
                            if (isTimeout(answer.errorName()))
                                withdrawCommands(
                                    [&command](const Command& other) { return &other == command.get(); });
                            if (!m_helperToolConnection || !m_helperToolConnection->isConnected())
                                invalidateConnection();
                        } else {
                            logMessage("Error ", text);
                        }
                        command->reply(Unexpected(text));
                        return;
                    }
                    if (command->successLog)
                        logLine(command->successLog);
                    if (command->answered)
                        command->answered(answer);
                    command->reply({});
                });
    });
}

void HelperToolService::openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser)
{
    runOnServiceThread([this, call = Wire::openFileAt(entry), reply = std::move(reply),
                        askingUser = std::move(askingUser)]() {
        auto file = std::make_shared<UniqueFd>();
        Command command{call, kFileCallTimeoutMs,
                        [file, reply](Expected<void, std::string> outcome) {
                            if (!outcome)
                                reply(Unexpected(std::move(outcome).error()));
                            else if (!*file)
                                reply(Unexpected(std::string("the privileged helper handed no file")));
                            else
                                reply(std::move(*file));
                        },
                        askingUser, nullptr};
        command.answered = [file](const QDBusMessage& answer) {
            if (answer.arguments().size() != 1)
                return;
            const auto handed = qdbus_cast<QDBusUnixFileDescriptor>(answer.arguments().constFirst());
            if (handed.isValid())
                file->reset(::fcntl(handed.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
        };
        sendCommand(std::move(command));
    });
}

void HelperToolService::allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                                     AskingUser askingUser)
{
    runOnServiceThread([this, call = Wire::allowEntriesAt(entries), count = entries.size(),
                        reply = std::move(reply), askingUser = std::move(askingUser)]() {
        auto reasons = std::make_shared<std::vector<std::string>>();
        Command command{call, kFileCallTimeoutMs,
                        [reasons, count, reply](Expected<void, std::string> outcome) {
                            if (!outcome)
                                reply(Unexpected(std::move(outcome).error()));
                            else if (reasons->size() != count)
                                reply(Unexpected(std::string("the privileged helper answered another list")));
                            else
                                reply(std::move(*reasons));
                        },
                        askingUser, nullptr};
        command.answered = [reasons](const QDBusMessage& answer) {
            if (answer.arguments().size() != 1)
                return;
            for (const QString& reason : qdbus_cast<QStringList>(answer.arguments().constFirst()))
                reasons->push_back(reason.toStdString());
        };
        sendCommand(std::move(command));
    });
}

void HelperToolService::deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser)
{
    runOnServiceThread([this, call = Wire::deleteFileAtPath(entry), reply = std::move(reply),
                        askingUser = std::move(askingUser)]() {
        sendCommand(Command{call, kFileCallTimeoutMs, reply, askingUser, nullptr});
    });
}

void HelperToolService::renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                                      AskingUser askingUser)
{
    runOnServiceThread([this, call = Wire::renameEntryAt(entry, newName), reply = std::move(reply),
                        askingUser = std::move(askingUser)]() {
        sendCommand(Command{call, kFileCallTimeoutMs, reply, askingUser, nullptr});
    });
}

void HelperToolService::reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed,
                                         Reply reply, AskingUser askingUser)
{
    runOnServiceThread([this, call = Wire::reformatVolumeAt(mountPath, confirmed), reply = std::move(reply),
                        askingUser = std::move(askingUser)]() {
        sendCommand(Command{call, kUnlimitedTimeoutMs, reply, askingUser, nullptr});
    });
}

void HelperToolService::checkReformatVolumeAt(const std::string& mountPath, Reply reply)
{
    runOnServiceThread([this, call = Wire::checkReformatVolumeAt(mountPath), reply = std::move(reply)]() {
        sendCommand(Command{call, kFileCallTimeoutMs, reply, {}, nullptr});
    });
}

void HelperToolService::deleteSnapshotsWithReply(Reply reply, AskingUser askingUser)
{
    runOnServiceThread([this, reply = std::move(reply), askingUser = std::move(askingUser)]() {
        sendCommand(Command{Wire::deleteSnapshots(), kUnlimitedTimeoutMs, reply, askingUser,
                            "Success in Deleting Snapshots"});
    });
}

void HelperToolService::forgetAllowedEntries()
{
    runOnServiceThread([this]() { sendNow(Wire::forgetAllowedEntries()); });
}

void HelperToolService::withdrawCalls()
{
    runOnServiceThread([this]() {
        for (auto& [id, command] : m_outstanding)
            command->withdrawn = true;
        sendNow(Wire::withdrawCalls());
    });
}

void HelperToolService::withdrawCallsOn(const ExaminedEntry& entry)
{
    runOnServiceThread([this, target = entryTarget(entry)]() {
        withdrawCommands([&target](const Command& command) { return command.call.target == target; });
    });
}

void HelperToolService::withdrawCommands(const std::function<bool(const Command&)>& matches)
{
    for (auto& [id, command] : m_outstanding) {
        if (!matches(*command) || command->withdrawn)
            continue;
        command->withdrawn = true;
        sendNow(Wire::withdrawCallOn(command->call));
    }
}

void HelperToolService::sendNow(const WireCall& call)
{
    // Only a helper that is there has calls or allowances of this client; none is started for it.
    if (!m_helperTool)
        return;
    QDBusMessage message = HelperToolService::message(call);
    message.setAutoStartService(false);
    if (!m_helperToolConnection->send(message))
        logMessage("HelperTool: ", call.method, " could not be sent");
}

void HelperToolService::installIfNeeded()
{
    updateIfNeeded();
}

void HelperToolService::updateIfNeeded()
{
    runOnServiceThread([this]() {
        const QString expected = QLatin1String(HelperToolProtocol::version);
        connectAndExecuteCommandBlock([&](Expected<HelperToolProxy*, std::string> helperTool) {
            if (!helperTool) {
                logMessage("Proxy Error ", helperTool.error());
                Q_EMIT updateChecked(false);
                installAction();
                return;
            }
            const QDBusPendingCall version =
                (*helperTool)->connection().asyncCall(message(Wire::getVersion()), kVersionTimeoutMs);
            auto* watcher = new QDBusPendingCallWatcher(version, this);
            connect(watcher, &QDBusPendingCallWatcher::finished, this,
                    [this, expected](QDBusPendingCallWatcher* finished) {
                        finished->deleteLater();
                        const QDBusMessage answer = finished->reply();
                        if (answer.type() != QDBusMessage::ReplyMessage) {
                            logMessage("Proxy Error ", describe(answer));
                            Q_EMIT updateChecked(false);
                            installAction();
                            return;
                        }
                        const QString actual = answer.arguments().isEmpty()
                                                   ? QString()
                                                   : answer.arguments().constFirst().toString();
                        if (actual == expected) {
                            logMessage("Expected Version = ", expected.toStdString(),
                                       " actual version = ", actual.toStdString(), " -> ok ");
                            Q_EMIT updateChecked(true);
                            return;
                        }
                        logMessage("Expected Version = ", expected.toStdString(),
                                   " actual version = ", actual.toStdString(), " need Update ");
                        Q_EMIT updateChecked(false);
                        installAction();
                    });
        });
    });
}

QStringList HelperToolService::selfInstallPlaces()
{
    return {
        QStringLiteral(CINDERVAULT_SELF_INSTALL_HELPER), QStringLiteral(CINDERVAULT_SELF_INSTALL_BUS_POLICY),
        QStringLiteral(CINDERVAULT_SELF_INSTALL_POLKIT_ACTION),
        QStringLiteral(CINDERVAULT_SELF_INSTALL_ACTIVATION), QStringLiteral(CINDERVAULT_SELF_INSTALL_RECORD)};
}

void HelperToolService::installAnswered(bool install)
{
    m_installing = false;
    m_installAnswer = install ? InstallAnswer::Install : InstallAnswer::NotNow;
    if (!install)
        logLine("HelperTool installation declined; root-only steps will be refused");
    installAction();
}

void HelperToolService::installAction()
{
    runOnServiceThread([this]() {
        if (m_installing)
            return;
        if (m_installProgram.isEmpty()) {
            logLine("HelperTool installation error: the helper is installed with the cindervault package, "
                    "not by the application");
            Q_EMIT installFinished(false);
            return;
        }
        // A build uses the package's helper when the package is installed, and never shadows it
        // with its own (whose activation file the bus would find first).
        if (QFileInfo::exists(m_packagedActivation)) {
            logMessage("HelperTool: the cindervault package's helper is installed (",
                       m_packagedActivation.toStdString(),
                       "); this build uses it and installs none of its own. A helper of another version "
                       "comes with the matching package.");
            Q_EMIT installFinished(false);
            return;
        }
        // Nothing runs as root unless the user agreed in the window; "Not now" holds for this run.
        if (m_installQuestion && m_installAnswer != InstallAnswer::Install) {
            if (m_installAnswer == InstallAnswer::NotNow) {
                Q_EMIT installFinished(false);
                return;
            }
            m_installing = true;
            m_installQuestion(selfInstallPlaces(), [self = QPointer<HelperToolService>(this)](bool install) {
                if (self) // else the service went while the question was open
                    self->runOnServiceThread([self, install] {
                        if (self)
                            self->installAnswered(install);
                    });
            });
            return;
        }
        // Running something as root is said where the user started the build from.
        std::fprintf(stderr,
                     "cindervault: the privileged helper is missing or of another version; installing this "
                     "build's helper as root (%s) with: %s %s\n",
                     CINDERVAULT_SELF_INSTALL_HELPER, qPrintable(m_installProgram),
                     qPrintable(m_installArguments.join(QLatin1Char(' '))));
        m_installing = true;
        auto* process = new QProcess(this);
        process->setProgram(m_installProgram);
        process->setArguments(m_installArguments);
        process->setStandardInputFile(QProcess::nullDevice());
        const auto finish = [this, process](bool success, const QString& problem) {
            m_installing = false;
            if (success)
                logLine("HelperTool installation successful");
            else
                logMessage("HelperTool installation error: ", problem.toStdString());
            process->deleteLater();
            Q_EMIT installFinished(success);
        };
        connect(
            process, &QProcess::finished, this, [process, finish](int exitCode, QProcess::ExitStatus status) {
                const QString errors = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                if (status == QProcess::NormalExit && exitCode == 0)
                    finish(true, QString());
                else if (status != QProcess::NormalExit)
                    finish(false, QStringLiteral("%1 ended abnormally").arg(process->program()));
                else
                    finish(false, errors.isEmpty() ? QStringLiteral("exit status %1").arg(exitCode) : errors);
            });
        connect(process, &QProcess::errorOccurred, this, [process, finish](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finish(false, QStringLiteral("%1 could not be started: %2")
                                  .arg(process->program(), process->errorString()));
        });
        process->start();
    });
}

} // namespace cv
