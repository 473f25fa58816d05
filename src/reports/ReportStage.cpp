#include "reports/ReportStage.h"

#include "common/Log.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

constexpr auto kPrefix = "cindervault-stage-"_L1;

// The stage folders that exist now, for the signal handler: a descriptor of each folder and its
// path, fixed in size so that the handler reads them without allocating or locking.
struct Slot
{
    std::atomic<int> folderFd{-1};
    char path[4096] = {};
};
constexpr std::size_t kSlots = 8;
std::array<Slot, kSlots> g_slots;
std::mutex g_slotsLock; // between threads that make and remove stages; never taken by the handler
constexpr std::array<int, 4> kEndingSignals{SIGTERM, SIGINT, SIGHUP, SIGQUIT};
std::array<struct sigaction, kEndingSignals.size()> g_previous;

// Empties and removes one stage folder through its descriptor; only calls the handler may make.
void removeStageNow(Slot& slot)
{
    const int fd = slot.folderFd.exchange(-1);
    if (fd < 0)
        return;
    alignas(8) char buffer[4096];
    for (;;) {
        const long read = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (read <= 0)
            break;
        for (long offset = 0; offset < read;) {
            // struct linux_dirent64: ino (8), off (8), reclen (2), type (1), name.
            unsigned short length = 0;
            std::memcpy(&length, buffer + offset + 16, sizeof length);
            const char* name = buffer + offset + 19;
            if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                ::unlinkat(fd, name, 0);
            offset += length;
        }
    }
    ::close(fd);
    ::rmdir(slot.path);
}

void onEndingSignal(int signal)
{
    for (Slot& slot : g_slots)
        removeStageNow(slot);
    // Then the signal does what it did before: as a rule, it ends the process.
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (kEndingSignals[i] == signal)
            ::sigaction(signal, &g_previous[i], nullptr);
    }
    ::raise(signal);
}

void catchEndingSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : kEndingSignals)
            sigaddset(&action.sa_mask, signal);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], nullptr, &g_previous[i]);
            // A signal the program ignores stays ignored (a process started with nohup).
            if (g_previous[i].sa_handler != SIG_IGN)
                ::sigaction(kEndingSignals[i], &action, nullptr);
        }
    });
}

QString stageRoot()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString stageTemplate()
{
    return stageRoot() + u'/' + kPrefix + QString::number(::getpid()) + u"-XXXXXX"_s;
}

} // namespace

ReportStage::ReportStage() : m_folder(stageTemplate())
{
    static std::once_flag leftovers;
    std::call_once(leftovers, &ReportStage::removeLeftovers);
    if (!m_folder.isValid())
        return;
    catchEndingSignals();
    const QByteArray path = QFile::encodeName(m_folder.path());
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 || static_cast<std::size_t>(path.size()) >= sizeof(Slot::path)) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    const std::lock_guard lock(g_slotsLock);
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (g_slots[i].folderFd.load() >= 0)
            continue;
        std::memcpy(g_slots[i].path, path.constData(), static_cast<std::size_t>(path.size()) + 1);
        g_slots[i].folderFd.store(fd);
        m_slot = static_cast<int>(i);
        return;
    }
    ::close(fd);
    logLine("Report stage: more stages at once than a signal can remove");
}

ReportStage::~ReportStage()
{
    if (m_slot < 0)
        return;
    const std::lock_guard lock(g_slotsLock);
    const int fd = g_slots[static_cast<std::size_t>(m_slot)].folderFd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    // QTemporaryDir removes the folder after this.
}

void ReportStage::removeLeftovers()
{
    const QDir root(stageRoot());
    const uid_t self = ::getuid();
    const auto entries = root.entryList({kPrefix + u"*"_s}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : entries) {
        // cindervault-stage-<pid>-XXXXXX of a process of this user that no longer runs.
        const QString rest = name.mid(kPrefix.size());
        bool isNumber = false;
        const qint64 pid = rest.section(u'-', 0, 0).toLongLong(&isNumber);
        if (!isNumber || pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
            continue;
        const QString path = root.filePath(name);
        struct stat info = {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != self)
            continue;
        if (QDir(path).removeRecursively())
            logMessage("Removed the report stage left behind by process ", pid);
    }
}

} // namespace cv
