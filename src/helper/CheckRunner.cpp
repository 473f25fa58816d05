#include "helper/CheckRunner.h"

#include <utility>

namespace cv {

namespace {

// Threads for checks: a few users' checks at once, each user's bounded by kMaxChecksPerUser.
constexpr int kCheckThreads = 8;

} // namespace

CheckRunner::CheckRunner(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(kCheckThreads);
}

CheckRunner::~CheckRunner()
{
    m_pool.waitForDone();
}

void CheckRunner::run(uid_t uid, std::function<HelperResult()> check,
                      std::function<void(const HelperResult&)> done)
{
    ++m_running[uid];
    m_pool.start([this, uid, check = std::move(check), done = std::move(done)]() {
        HelperResult result = check();
        // Handed back through this object's event queue: dropped should the object go first.
        QMetaObject::invokeMethod(
            this,
            [this, uid, done, result = std::move(result)]() {
                if (--m_running[uid] <= 0)
                    m_running.remove(uid);
                done(result);
            },
            Qt::QueuedConnection);
    });
}

} // namespace cv
