// helper_probe: a caller of the helper in a process of its own, so that tests can run it as an
// unprivileged user. It calls through HelperToolService, as the application does.
//   helper_probe ADDRESS can-write PATH    0 when PATH opens for writing
//   helper_probe ADDRESS write PATH TEXT   0 when the helper handed PATH open for writing and TEXT
//                                          was written through the descriptor
//   helper_probe ADDRESS own-name          0 when the bus refuses this user the helper's name
//   helper_probe ADDRESS flood CONNECTIONS CALLS SECONDS PATH
//                                          sends CALLS deletions of PATH on each of CONNECTIONS
//                                          connections at once, waits SECONDS, prints how the calls
//                                          were answered ("name count" lines, "unanswered" for
//                                          those still open) and leaves, taking its connections
//   helper_probe ADDRESS flood-check CONNECTIONS CALLS SECONDS MOUNTPATH
//                                          the same with checkReformatVolumeAt of MOUNTPATH
#include "common/HelperToolProtocol.h"
#include "system/HelperToolService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int canWrite(const char* path)
{
    const int fd = ::open(path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open %s for writing: %s\n", path, std::strerror(errno));
        return 1;
    }
    ::close(fd);
    return 0;
}

// The entry at path as examined now.
cv::ExaminedEntry examined(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    cv::ExaminedEntry entry{slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1), 0,
                            0};
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0) {
        entry.device = info.st_dev;
        entry.inode = info.st_ino;
    }
    return entry;
}

int writeThroughHelper(const QString& address, const char* path, const std::string& text)
{
    cv::HelperToolService service(address);
    QEventLoop loop;
    std::optional<cv::Expected<cv::UniqueFd, std::string>> answer;
    service.openFileForWriting(examined(path),
                               [&](cv::Expected<cv::UniqueFd, std::string> outcome) {
                                   auto shared = std::make_shared<cv::Expected<cv::UniqueFd, std::string>>(
                                       std::move(outcome));
                                   QMetaObject::invokeMethod(&loop, [&, shared]() {
                                       answer = std::move(*shared);
                                       loop.quit();
                                   });
                               },
                               {});
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!answer) {
        std::fprintf(stderr, "no answer from the helper\n");
        return 2;
    }
    if (!*answer) {
        std::fprintf(stderr, "the helper refused: %s\n", answer->error().c_str());
        return 1;
    }
    const int fd = (*answer)->get();
    if ((::fcntl(fd, F_GETFL) & O_ACCMODE) != O_RDWR) {
        std::fprintf(stderr, "the descriptor is not open for reading and writing\n");
        return 3;
    }
    if (::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()) ||
        ::ftruncate(fd, static_cast<off_t>(text.size())) != 0) {
        std::fprintf(stderr, "cannot write through the descriptor: %s\n", std::strerror(errno));
        return 3;
    }
    return 0;
}

int ownName(const QString& address)
{
    QDBusConnection connection = QDBusConnection::connectToBus(address, QStringLiteral("probe"));
    if (!connection.isConnected()) {
        std::fprintf(stderr, "cannot connect to %s\n", qPrintable(address));
        return 2;
    }
    // The bus policy's answer, not whether the name is taken: the helper may be running.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(QLatin1String(cv::HelperToolProtocol::serviceName),
                                                QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() && reply.error().type() == QDBusError::AccessDenied)
        return 0;
    std::fprintf(stderr, "the bus did not refuse the helper's name to an unprivileged user: %s\n",
                 reply.isValid() ? "allowed to ask for it" : qPrintable(reply.error().message()));
    return 4;
}

int flood(const QString& address, int connections, int calls, int seconds, const std::string& path,
          bool check = false)
{
    const cv::ExaminedEntry entry = examined(path);
    std::vector<QDBusPendingCall> pending;
    for (int c = 0; c < connections; ++c) {
        QDBusConnection connection =
            QDBusConnection::connectToBus(address, QStringLiteral("flood-%1").arg(c));
        for (int i = 0; i < calls; ++i) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                QLatin1String(cv::HelperToolProtocol::serviceName),
                QLatin1String(cv::HelperToolProtocol::objectPath),
                QLatin1String(cv::HelperToolProtocol::interfaceName),
                check ? QStringLiteral("checkReformatVolumeAt") : QStringLiteral("deleteFileAtPath"));
            if (check) {
                message << QByteArray::fromStdString(path);
            } else {
                message << QByteArray::fromStdString(entry.folder) << QByteArray::fromStdString(entry.name)
                        << static_cast<qulonglong>(entry.device) << static_cast<qulonglong>(entry.inode);
            }
            // Calls that let the user be asked, as the window's do: each would bring a question.
            message.setInteractiveAuthorizationAllowed(true);
            pending.push_back(connection.asyncCall(message, 120000));
        }
    }
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    std::map<std::string, int> answers;
    for (const auto& call : pending)
        ++answers[call.isFinished() ? call.reply().errorName().toStdString() : std::string("unanswered")];
    for (const auto& [name, count] : answers)
        std::printf("%s %d\n", name.empty() ? "done" : name.c_str(), count);
    std::fflush(stdout);
    for (int c = 0; c < connections; ++c)
        QDBusConnection::disconnectFromBus(QStringLiteral("flood-%1").arg(c));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString address = QString::fromLocal8Bit(argv[1]);
    const std::string command = argv[2];
    if (command == "can-write" && argc == 4)
        return canWrite(argv[3]);
    if (command == "write" && argc == 5)
        return writeThroughHelper(address, argv[3], argv[4]);
    if (command == "own-name")
        return ownName(address);
    if (command == "flood" && argc == 7)
        return flood(address, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6]);
    if (command == "flood-check" && argc == 7)
        return flood(address, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6], true);
    return 2;
}
