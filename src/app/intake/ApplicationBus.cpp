#include "app/intake/ApplicationBus.h"

#include "app/intake/ApplicationBusAdaptors.h"
#include "app/intake/FileUri.h"
#include "app/intake/SystemService.h"
#include "common/Log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QString name(const char* text)
{
    return QString::fromLatin1(text);
}

bool send(const QDBusConnection& bus, const QString& interface, const QString& method,
          const QVariantList& arguments)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(name(ApplicationBus::kServiceName),
                                                       name(ApplicationBus::kObjectPath), interface, method);
    call.setArguments(arguments);
    // With an event loop of its own, so that a caller in the same process as the instance gets its
    // answer (the instance answers on this thread).
    const QDBusMessage reply = bus.call(call, QDBus::BlockWithGui, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        logMessage("Could not reach the running instance: ", reply.errorMessage().toStdString());
        return false;
    }
    return true;
}

} // namespace

ApplicationBus::ApplicationBus(SystemService& intake, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_intake(intake), m_bus(bus)
{
    // Erase's paths travel as byte arrays (aay): names need not be UTF-8.
    qDBusRegisterMetaType<QByteArrayList>();
    new FreedesktopApplicationAdaptor(*this, this);
    new ServicesAdaptor(*this, this);
}

ApplicationBus::~ApplicationBus()
{
    if (m_registered) {
        m_bus.unregisterService(name(kServiceName));
        m_bus.unregisterObject(name(kObjectPath));
    }
}

ApplicationBus::Registration ApplicationBus::registerInstance()
{
    if (!m_bus.isConnected()) {
        logLine("No session bus: running without file intake from the desktop");
        return Registration::NoBus;
    }
    if (!m_bus.registerObject(name(kObjectPath), this, QDBusConnection::ExportAdaptors)) {
        logLine("Could not export the application object on the session bus");
        return Registration::NoBus;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(name(kServiceName), QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_registered = true;
        return Registration::Registered;
    }
    m_bus.unregisterObject(name(kObjectPath));
    return reply.isValid() ? Registration::AnotherInstance : Registration::NoBus;
}

bool ApplicationBus::forwardOpen(const QDBusConnection& bus, const std::vector<std::string>& paths)
{
    QStringList uris;
    for (const std::string& path : paths)
        uris.append(FileUri::fromPath(path));
    return send(bus, u"org.freedesktop.Application"_s, u"Open"_s, {uris, QVariantMap()});
}

bool ApplicationBus::forwardErase(const QDBusConnection& bus, const std::vector<std::string>& paths)
{
    QByteArrayList list;
    for (const std::string& path : paths)
        list.append(QByteArray::fromStdString(path));
    return send(bus, name(kServicesInterface), u"Erase"_s, {QVariant::fromValue(list)});
}

bool ApplicationBus::forwardActivate(const QDBusConnection& bus)
{
    return send(bus, u"org.freedesktop.Application"_s, u"Activate"_s, {QVariantMap()});
}

bool ApplicationBus::forwardShredTrash(const QDBusConnection& bus)
{
    return send(bus, u"org.freedesktop.Application"_s, u"ActivateAction"_s,
                {QString::fromLatin1(kShredTrashAction), QVariantList(), QVariantMap()});
}

void ApplicationBus::shredTrash()
{
    emit shredTrashRequested();
}

void ApplicationBus::activate()
{
    emit activateRequested();
}

void ApplicationBus::open(const QStringList& uris)
{
    // The URLs' own percent-encoded bytes give the paths; other schemes name no local file, and a
    // bare path is no URL (a relative one would name something of this program's working folder).
    const std::vector<std::string> paths = FileUri::pathsFromUriList(uris.join(u'\n').toUtf8());
    if (paths.size() < static_cast<std::size_t>(uris.size()))
        logMessage("Open request: ", static_cast<std::size_t>(uris.size()) - paths.size(),
                   " item(s) that are no local file URL ignored");
    for (const std::string& path : paths)
        m_intake.openFile(path);
    emit filesReceived();
}

void ApplicationBus::erase(const std::vector<std::string>& paths)
{
    m_intake.erase(paths);
    emit filesReceived();
}

} // namespace cv
