// helper_probe: a caller of the helper in a process of its own, so that tests can run it as an
// unprivileged user. It calls through HelperToolService, as the application does.
//   helper_probe ADDRESS can-write PATH    0 when PATH opens for writing
//   helper_probe ADDRESS allow-write PATH  0 when the helper opened PATH up and it then opens for writing
//   helper_probe ADDRESS own-name          0 when the bus refuses this user the helper's name
#include "common/HelperToolProtocol.h"
#include "system/HelperToolService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

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

int allowWrite(const QString& address, const char* path)
{
    cv::HelperToolService service(address);
    QEventLoop loop;
    std::optional<cv::Expected<void, std::string>> answer;
    service.allowWriteOperationsOnPath(path, [&](cv::Expected<void, std::string> outcome) {
        QMetaObject::invokeMethod(&loop, [&, outcome]() {
            answer = outcome;
            loop.quit();
        });
    });
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
    return canWrite(path) == 0 ? 0 : 3;
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
    if (command == "allow-write" && argc == 4)
        return allowWrite(address, argv[3]);
    if (command == "own-name")
        return ownName(address);
    return 2;
}
