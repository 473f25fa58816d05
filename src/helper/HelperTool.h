#pragma once

#include "helper/AllowedEntries.h"
#include "helper/Authorizer.h"
#include "helper/CheckRunner.h"
#include "helper/FileOperations.h"
#include "helper/HelperError.h"
#include "helper/SystemFolders.h"
#include "helper/UserLogLimit.h"
#include "helper/VolumeReformatter.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cv {

// The object /HelperTool of the privileged helper: answers the methods of the helper's interface
// (its adaptor is generated from the interface's XML). Every method but getVersion and
// withdrawCalls looks up its caller's user, checks its arguments and everything else it can check
// without acting (on threads of their own, a few per user at a time, so that no user's checks
// hold up another's calls; so that nobody is asked for a password for work that is refused anyway), then
// asks the authorizer about its caller with the action of its kind of work, then does its work on
// a worker thread and answers from there, so that a slow reformat or a polkit prompt never holds
// up other callers.
//
// Anyone on the system bus may call, so nothing a caller sends is kept or logged beyond a bounded
// prefix before it passed its checks. Limits count per user, so that one user's calls never deny
// another's: polkit is asked one question per caller at a time and a few per user; further calls
// are answered busy at once, and a user who was just refused is refused again at once for a few
// seconds, without a new question. Lines about refused calls are logged a few per user and
// period, and lines about every other call a bounded number per user and period. A caller's calls that were
// not carried out yet are withdrawn (their questions cancelled, never carried out later) when it asks so or
// leaves the bus. It reports when no call has been running for the idle time, so that the helper can leave;
// getVersion, which anyone may send, does not count as activity.
//
// A file the caller may not write is handed to it as a descriptor opened for writing (openFileAt):
// the file keeps its owner and mode, and the helper keeps no descriptor once a call is answered.
// A job asks one question for the whole list of entries it needs the helper for (allowEntriesAt);
// its later calls on those entries ask none. The helper does not leave while a caller holds such
// allowances.
class HelperTool : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    struct Settings
    {
        int idleExitMs = 30000;
        std::vector<std::string> toolSearchPath;
        // Called by the reformat between its steps; only the test build of the helper sets it.
        VolumeReformatter::StageHook reformatStageHook;
        // The folders whose files are never handed out for writing; only the test build changes them.
        std::vector<std::string> systemFolders = SystemFolders::defaults();
    };
    // Entries of one list at most, and how many of them the question names.
    static constexpr qsizetype kMaxListedEntries = 100000;
    static constexpr qsizetype kNamedInQuestion = 3;

    // Polkit questions outstanding at once for one user, over all of that user's connections.
    static constexpr int kMaxOpenQuestionsPerUser = 4;
    // How long a refused user is refused without a new question.
    static constexpr int kRefusalMemoryMs = 5000;
    // Lines logged about one user's refused calls per period; the rest are counted.
    static constexpr int kRefusalLinesPerPeriod = 5;
    static constexpr int kRefusalLogPeriodMs = 10000;
    // Lines logged about one user's calls (each call, its outcome, its withdrawal) per period.
    static constexpr int kCallLinesPerPeriod = 100;
    static constexpr int kCallLogPeriodMs = 10000;

    HelperTool(QDBusConnection connection, Authorizer& authorizer, Settings settings,
               QObject* parent = nullptr);
    ~HelperTool() override;

    int activeCalls() const { return m_activeCalls; }

public Q_SLOTS: // the D-Bus interface
    QString getVersion();
    // The examined regular file, opened for reading and writing for the caller.
    QDBusUnixFileDescriptor openFileAt(const QByteArray& folder, const QByteArray& name, qulonglong device,
                                       qulonglong inode);
    // One question for the examined entries (the lists hold one entry per index); answers per entry
    // "" when it is allowed, else why not. Afterwards openFileAt, renameEntryAt and deleteFileAtPath
    // of this caller ask no question about an allowed entry.
    QStringList allowEntriesAt(const QByteArrayList& folders, const QByteArrayList& names,
                               const QList<qulonglong>& devices, const QList<qulonglong>& inodes);
    void deleteFileAtPath(const QByteArray& folder, const QByteArray& name, qulonglong device,
                          qulonglong inode);
    void deleteSnapshots();
    void reformatVolumeAt(const QByteArray& mountPath, qulonglong device, qulonglong diskSequence,
                          const QByteArray& uuid, const QByteArray& label);
    // Whether a reformat of the volume at mountPath would be refused, and why: asks nobody,
    // changes nothing.
    void checkReformatVolumeAt(const QByteArray& mountPath);
    void renameEntryAt(const QByteArray& folder, const QByteArray& name, qulonglong device, qulonglong inode,
                       const QByteArray& newName);
    void withdrawCalls();
    // Withdraws the caller's calls of method on target (as authorizationRequested names them) that
    // were not carried out yet; its other calls stay.
    void withdrawCallOn(const QString& method, const QByteArray& target);
    // The caller's job is over: what allowEntriesAt allowed it is allowed no more.
    void forgetAllowedEntries();

Q_SIGNALS:
    // No call has been running for the idle time.
    void idle();

private:
    struct Caller
    {
        QString name; // unique bus name
        uid_t uid = static_cast<uid_t>(-1);
    };
    using Work = std::function<HelperResult(const Caller& caller)>;
    // What a method hands to authorizeAndRun.
    struct Request
    {
        const char* method = "";
        QString action;
        QMap<QString, QString> details;
        std::string shown;                   // the argument as it may be logged
        QByteArray target;                   // for authorizationRequested
        std::function<HelperResult()> check; // refusals decided before the question
        // Adds to the question's details what the check found; after a check that passed.
        std::function<void(QMap<QString, QString>& details)> describe;
        Work work;
        // Carried out without a question when the caller was allowed this entry (device, inode).
        std::optional<AllowedEntries::Entry> allowedEntry;
        // What the answer carries, filled in by the work; an empty answer without it.
        std::shared_ptr<QVariantList> answer;
    };
    // The request of a call on one examined entry, its check and work still to be given.
    static Request entryRequest(const char* method, const QByteArray& folder, const QByteArray& name);
    // A call between its arrival and its answer.
    struct Call
    {
        Caller caller;
        QDBusMessage message;
        const char* method = "";
        std::string shown;
        QByteArray target;
        bool asking = false;             // while the authorizer is asked
        std::optional<quint64> question; // the authorizer's id of the question
        // Set by whoever comes first: the worker that carries the call out, or its withdrawal.
        std::shared_ptr<std::atomic<bool>> withdrawn;
        std::shared_ptr<QVariantList> answer;
    };
    // The user of the current call's sender, or nothing (answered then).
    std::optional<uid_t> currentUid(const char* method);
    // Answers the current call at once and logs why (a few lines per user and period).
    void refuseNow(uid_t uid, const char* method, const std::string& shownArgument, const QString& error,
                   const std::string& reason);
    // True when mountPath is an acceptable path argument; else the current call is refused (and
    // false returned).
    bool acceptsMountPath(uid_t uid, const char* method, const QByteArray& mountPath);
    void logRefusal(uid_t uid, const std::string& line);
    // Why a call of uid from sender may not have a question now, if it may not.
    struct Refusal
    {
        QString error;
        std::string reason;
    };
    std::optional<Refusal> questionRefusal(uid_t uid, const QString& sender);
    // Checks (off this thread), authorizes the current call, then runs its work on the pool and
    // answers it.
    void authorizeAndRun(uid_t uid, Request request);
    // The check of call id ended: the call is refused, or it proceeds. allowed: an entry of a
    // list the caller was allowed, which asks nobody.
    void checkedCall(quint64 id, Request request, const HelperResult& checked, bool allowed);
    // A checked call is carried out (allowed) or its question is asked.
    void proceed(quint64 id, Request request, bool allowed);
    void ask(quint64 id, Request request);
    void decided(quint64 id, const Authorizer::Authorization& authorization, Work work);
    // Runs the work of an authorized call on the pool and answers it from there.
    void carryOut(quint64 id, Work work);
    void askingUser(quint64 id, const QByteArray& target);
    // Withdraws the calls of sender not carried out yet (those that match, when matches is
    // given); answered when answerThem.
    void withdrawCallsOf(const QString& sender, bool answerThem,
                         const std::function<bool(const Call&)>& matches = {});
    void forget(quint64 id);
    // The caller's allowances go; it is watched no more unless it has calls under way.
    void forgetAllowed(const QString& caller);
    void beginCall();
    void endCall();

    QDBusConnection m_connection;
    Authorizer& m_authorizer;
    Settings m_settings;
    int m_activeCalls = 0;
    QTimer m_idleTimer;
    QDBusServiceWatcher m_callers; // the senders of calls under way, to see them leave
    quint64 m_nextCall = 0;
    std::map<quint64, Call> m_calls;        // calls between their arrival and their answer
    QSet<QString> m_asking;                 // callers with a question outstanding
    QHash<uid_t, int> m_questionsOf;        // questions outstanding per user
    QHash<uid_t, QDeadlineTimer> m_refused; // users refused moments ago, until when
    UserLogLimit m_refusalLog{kRefusalLinesPerPeriod, kRefusalLogPeriodMs, "refused calls"};
    UserLogLimit m_callLog{kCallLinesPerPeriod, kCallLogPeriodMs, "lines about calls"}; // workers log too
    SystemFolders m_systemFolders;
    AllowedEntries m_allowed; // the workers add to it
    CheckRunner m_checks;     // hands checks back to this object: goes before it
    QThreadPool m_pool;       // last: waits for running work before the rest goes
};

} // namespace cv
