#pragma once

#include "helper/HelperError.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <functional>
#include <sys/types.h>

namespace cv {

// Runs the checks a call of the helper needs before anybody is asked (is the entry still the one
// examined, is the folder empty, what does blkid say of the volume) on threads of their own, a few
// per user at a time, so that no user's checks, however slow or many, hold up the helper's main
// thread and with it every other user's calls. Lives on the helper's main thread; the outcome of
// each check is handed back there.
class CheckRunner : public QObject
{
    Q_OBJECT
public:
    // Checks of one user running at once; a further call of that user is answered busy.
    static constexpr int kMaxChecksPerUser = 2;

    explicit CheckRunner(QObject* parent = nullptr);
    ~CheckRunner() override;

    // Whether uid may start another check now.
    bool admits(uid_t uid) const { return m_running.value(uid) < kMaxChecksPerUser; }
    // Runs check off this thread and calls done with its outcome on this object's thread. Only
    // when admits(uid).
    void run(uid_t uid, std::function<HelperResult()> check, std::function<void(const HelperResult&)> done);

private:
    QHash<uid_t, int> m_running; // this object's thread only
    QThreadPool m_pool;          // last: waits for the checks running before the rest goes
};

} // namespace cv
