#include "app/intake/ApplicationBusAdaptors.h"

#include "app/intake/ApplicationBus.h"
#include "common/Log.h"

namespace cv {

FreedesktopApplicationAdaptor::FreedesktopApplicationAdaptor(ApplicationBus& bus, QObject* parent)
    : QDBusAbstractAdaptor(parent), m_bus(bus)
{}

void FreedesktopApplicationAdaptor::Activate(const QVariantMap&)
{
    m_bus.activate();
}

void FreedesktopApplicationAdaptor::Open(const QStringList& uris, const QVariantMap&)
{
    m_bus.open(uris);
}

void FreedesktopApplicationAdaptor::ActivateAction(const QString& actionName, const QVariantList&,
                                                   const QVariantMap&)
{
    // The desktop entry's one action; any other only brings the application to the front.
    if (actionName == QLatin1StringView(ApplicationBus::kShredTrashAction)) {
        m_bus.shredTrash();
        return;
    }
    logMessage("Unknown application action \"", actionName.toStdString(), "\"");
    m_bus.activate();
}

ServicesAdaptor::ServicesAdaptor(ApplicationBus& bus, QObject* parent)
    : QDBusAbstractAdaptor(parent), m_bus(bus)
{}

void ServicesAdaptor::Erase(const QByteArrayList& paths)
{
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(paths.size()));
    for (const QByteArray& path : paths) {
        // The bus carries what the caller sent; only absolute paths without NUL name a file.
        if (path.startsWith('/') && !path.contains('\0'))
            list.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
        else
            logMessage("Erase request with an unusable path ignored");
    }
    m_bus.erase(list);
}

} // namespace cv
