#pragma once

#include "helper/Authorizer.h"
#include "helper/HelperError.h"
#include "helper/VolumeReformatter.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cv {

// The object /HelperTool of the privileged helper: answers the methods of the helper's interface
// (its adaptor is generated from the interface's XML). Every method but getVersion checks its
// arguments, then asks the authorizer about its caller, then does its work on a worker thread and
// answers from there, so that a slow reformat or a polkit prompt never holds up other callers.
//
// Anyone on the system bus may call, so nothing a caller sends is kept or logged beyond a bounded
// prefix before it passed its checks, and polkit is asked at most one question per caller at a time
// (and only a few in all): further calls are answered busy at once, and a caller that was just
// refused is refused again at once for a few seconds, without a new question. It reports when no
// call has been running for the idle time, so that the helper can leave; getVersion, which anyone
// may send, does not count as activity.
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
    };

    // Polkit questions outstanding at once, over all callers.
    static constexpr int kMaxOpenQuestions = 8;
    // How long a refused caller is refused without a new question.
    static constexpr int kRefusalMemoryMs = 5000;

    HelperTool(QDBusConnection connection, Authorizer& authorizer, Settings settings,
               QObject* parent = nullptr);
    ~HelperTool() override;

    int activeCalls() const { return m_activeCalls; }

public Q_SLOTS: // the D-Bus interface
    QString getVersion();
    void changePermissionsOfFileAt(const QByteArray& path);
    void deleteFileAtPath(const QByteArray& path);
    void deleteSnapshots();
    void reformatVolumeAt(const QByteArray& mountPath);

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

    // Answers the current call with an error at once when path is no acceptable path; true then.
    bool refuseInvalidPath(const char* method, const QByteArray& path);
    // Answers the current call at once and logs why, with the argument as shown.
    void refuseNow(const char* method, const std::string& shownArgument, const QString& error,
                   const std::string& reason);
    // Authorizes the current call, then runs work on the pool and answers it. needsUid: look up the
    // caller's user id on the bus first.
    void authorizeAndRun(const char* method, const std::string& argument, bool needsUid, Work work);
    void beginCall();
    void endCall();

    QDBusConnection m_connection;
    Authorizer& m_authorizer;
    Settings m_settings;
    int m_activeCalls = 0;
    QTimer m_idleTimer;
    QSet<QString> m_asking;                   // callers with a polkit question outstanding
    QHash<QString, QDeadlineTimer> m_refused; // callers refused moments ago, until when
    QThreadPool m_pool;                       // last: waits for running work before the rest goes
};

} // namespace cv
