#pragma once

#include "common/Expected.h"
#include "engine/HelperToolClient.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class HelperToolProxy; // generated from the helper's interface description

namespace cv {

// The application's side of the privileged helper: connects to it over the system bus, installs or
// updates it when run from a build folder (an installed one comes with the package), and sends it
// the root-only work of a job. One shared instance lives on the GUI thread. Every operation may be called
// from any thread; it moves itself to the service's thread, sends its call without blocking, and calls its
// reply at most once, with success or an error text. Without a bus, a helper or pkexec every call
// answers an error at once rather than hanging. The window and the command line share it; each
// method of the helper's interface has its one wire form here (Wire, in the .cpp), checked against
// the interface description at build time.
class HelperToolService : public QObject, public HelperToolClient
{
    Q_OBJECT
public:
    // A service for the bus at busAddress; the shared instance uses the system bus (empty address).
    explicit HelperToolService(const QString& busAddress = QString(), QObject* parent = nullptr);
    ~HelperToolService() override;

    // Made on first use, on the application's thread, and owned by the application object.
    static HelperToolService& sharedInstance();

    // Start-up: has the helper installed when it does not answer the expected version.
    void installIfNeeded();
    void updateIfNeeded();
    // Places the helper through the install step, run as root with pkexec.
    void installAction();
    // Connects to the bus when not connected yet; only on the service's thread.
    void connectToHelperTool();

    // HelperToolClient: the work of a shred job. A reformat may take minutes and is waited for
    // without the limit that the per-file calls have.
    void openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser) override;
    void allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                      AskingUser askingUser) override;
    void deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser) override;
    void renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                       AskingUser askingUser) override;
    void reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed, Reply reply,
                          AskingUser askingUser) override;
    void checkReformatVolumeAt(const std::string& mountPath, Reply reply) override;
    // Takes back every call of this client the helper has not carried out; their replies come
    // with the helper's refusal.
    void withdrawCalls() override;
    // Takes back the calls of this client about entry that the helper has not carried out, and
    // stops sending them again; other calls stay.
    void withdrawCallsOn(const ExaminedEntry& entry) override;
    void forgetAllowedEntries() override;
    // Deletes the local snapshots of the startup volume, for the progress screen.
    void deleteSnapshotsWithReply(Reply reply, AskingUser askingUser = {});
    void deleteSnapshots(Reply reply, AskingUser askingUser) override
    {
        deleteSnapshotsWithReply(std::move(reply), std::move(askingUser));
    }

    // Asks the user before the install step runs as root, with the places it writes to; answer(true)
    // installs, answer(false) leaves the helper out for this run (the root-only steps are refused
    // then). Without a question the step runs at once.
    using InstallQuestion =
        std::function<void(const QStringList& places, std::function<void(bool install)> answer)>;
    void setInstallQuestion(InstallQuestion question) { m_installQuestion = std::move(question); }
    // The files the install step of a build writes, for the question to name.
    static QStringList selfInstallPlaces();

    // The program and arguments of the install step (by default pkexec and the bundle's
    // cindervault-helper-install); tests point it elsewhere. Empty: the helper is never installed.
    void setInstallCommand(const QString& program, const QStringList& arguments);
    // Whether the helper may have polkit ask the user for a password (the default); without it,
    // work that needs one is refused at once (a script's --no-ask-password). Set before the first
    // call.
    void setInteractiveAuthorizationAllowed(bool allowed);
    // Called on the service's thread before each call that may have polkit ask the user is sent,
    // while asking is allowed at all, so that an agent that asks is there first (the command
    // line's text agent); it may block until it is. Set before the first call.
    void setBeforeAsking(std::function<void()> beforeAsking) { m_beforeAsking = std::move(beforeAsking); }
    // The package's activation file of the helper: while it is there, the helper is the package's
    // and the install step never runs. Tests point it elsewhere.
    void setPackagedHelperActivation(const QString& path);
    // The install step of the build, for a program run from that build's folder (applicationDir
    // below it); empty for an installed program, whose helper the package manager puts in place.
    static QString installerPath(const QString& applicationDir);

private Q_SLOTS:
    // The helper's signal authorizationRequested: the user is asked about the call of method on
    // target.
    void onAuthorizationRequested(const QString& method, const QByteArray& target);

Q_SIGNALS:
    // The version check of updateIfNeeded has an answer; false when an installation follows.
    void updateChecked(bool upToDate);
    // The install step ended.
    void installFinished(bool success);

private:
    // Runs command on the service's thread: at once when called there, else posted there.
    void runOnServiceThread(std::function<void()> command);
    // Connects, then runs block with the helper's proxy, or with why there is none.
    void
    connectAndExecuteCommandBlock(const std::function<void(Expected<HelperToolProxy*, std::string>)>& block);
    // What one call of a method of the helper carries on the bus; made by the function of Wire
    // named after the method, and nowhere else.
    struct WireCall
    {
        const char* method = "";
        QByteArray target; // the call as the helper's authorizationRequested names it
        QVariantList arguments;
        bool mayAsk = false; // polkit may ask the user about it
    };
    struct Wire;
    // The call as a message to the helper.
    static QDBusMessage message(const WireCall& call);
    // Makes call and hands the outcome to reply; successLog is logged on success when not empty.
    // A busy answer is not handed on: the call is made again, after retryMs and then longer
    // pauses, until the deadline of the whole call. askingUser is called when the helper says that
    // the user is asked about the call.
    struct Command
    {
        WireCall call;
        int timeoutMs = 0;
        Reply reply;
        AskingUser askingUser;
        const char* successLog = nullptr;
        bool userAsked = false; // the helper said that the user is asked about it
        bool withdrawn = false; // never sent again
        // Given the helper's answer before reply is told of the success, to take what it carries.
        std::function<void(const QDBusMessage& answer)> answered = {};
    };
    // Withdraws the outstanding commands that match at the helper (method and target).
    void withdrawCommands(const std::function<bool(const Command&)>& matches);
    void sendCommand(Command command);
    // Whether the helper said that the user is asked about an outstanding command other than
    // command.
    bool userAskedAboutAnother(const Command& command) const;
    // Sends a method of the helper that needs no answer at once, without starting a helper for it;
    // only on the service's thread.
    void sendNow(const WireCall& call);
    void sendAttempt(std::shared_ptr<Command> command, QDeadlineTimer deadline, int retryMs);
    // The calls sent and not answered yet, for the helper's signal to find them.
    std::map<quint64, std::shared_ptr<Command>> m_outstanding;
    quint64 m_nextCommand = 0;
    void invalidateConnection();

    QString m_busAddress;
    QString m_connectionName;
    std::optional<QDBusConnection> m_helperToolConnection;
    std::unique_ptr<HelperToolProxy> m_helperTool; // the helper, on m_helperToolConnection
    QString m_installProgram;
    QStringList m_installArguments;
    QString m_packagedActivation;
    bool m_installing = false;
    std::atomic<bool> m_allowInteraction{true};
    std::function<void()> m_beforeAsking;
    // The user's answer to the install question: installs now, or not in this run.
    void installAnswered(bool install);
    InstallQuestion m_installQuestion;
    enum class InstallAnswer
    {
        NotAsked,
        Install,
        NotNow
    };
    InstallAnswer m_installAnswer = InstallAnswer::NotAsked;
};

} // namespace cv
