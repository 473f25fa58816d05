#include "app/tempdata/SnapshotProbe.h"

#include "common/HelperToolProtocol.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace cv {

bool SnapshotProbe::snapshotsRemovable()
{
    return snapperConfigured() && helperReachable();
}

bool SnapshotProbe::snapperConfigured(const QString& searchPath, const QString& rootConfiguration)
{
    QStringList folders;
    if (!searchPath.isEmpty())
        folders = searchPath.split(u':', Qt::SkipEmptyParts);
    else
        folders << QString() << u"/usr/sbin"_s << u"/sbin"_s << u"/usr/bin"_s;
    bool found = false;
    for (const QString& folder : folders) {
        const QString tool = folder.isEmpty() ? QStandardPaths::findExecutable(u"snapper"_s)
                                              : QStandardPaths::findExecutable(u"snapper"_s, {folder});
        found = found || !tool.isEmpty();
    }
    // A configuration file the user may not read still says that the root volume has one.
    return found && QFileInfo::exists(rootConfiguration);
}

bool SnapshotProbe::helperReachable()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString name = QString::fromLatin1(HelperToolProtocol::serviceName);
    if (bus.interface()->isServiceRegistered(name))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(name);
}

} // namespace cv
