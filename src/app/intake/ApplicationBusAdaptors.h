#pragma once

#include <QByteArrayList>
#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantMap>

namespace cv {

class ApplicationBus;

// org.freedesktop.Application on the application's object.
class FreedesktopApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    FreedesktopApplicationAdaptor(ApplicationBus& bus, QObject* parent);

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    ApplicationBus& m_bus;
};

// The file manager's "Shred with Cindervault": Erase(aay) with the selected paths as bytes.
class ServicesAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Ostrevane.CindervaultForMac.Services")

public:
    ServicesAdaptor(ApplicationBus& bus, QObject* parent);

public slots:
    void Erase(const QByteArrayList& paths);

private:
    ApplicationBus& m_bus;
};

} // namespace cv
