#include "app/dashboard/DashboardFacts.h"

#include "app/AmountText.h"
#include "common/MountTable.h"
#include "targets/Volume.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QString bytes(qint64 amount)
{
    return AmountText::bytes(amount);
}

} // namespace

bool DashboardFacts::isLaptop(const QString& chassisType, const QString& modelIdentifier)
{
    bool ok = false;
    const int type = chassisType.trimmed().toInt(&ok);
    if (ok && (type == 8 || type == 9 || type == 10 || type == 14))
        return true;
    return modelIdentifier.startsWith(u"MacBook"_s);
}

DashboardFacts DashboardFacts::read(const VarSystemInfo::Sources& sources)
{
    const VarSystemInfo info(sources);
    DashboardFacts facts;
    facts.model = info.sysModelID();
    facts.machineName = info.sysName();
    facts.serialNumber = info.sysSerialNumber().trimmed().isEmpty() ? u"-"_s : info.sysSerialNumber();
    facts.osVersion = info.sysOSVersion();

    QFile chassis(sources.dmiFolder + u"/chassis_type"_s);
    const QString chassisType =
        chassis.open(QIODevice::ReadOnly) ? QString::fromLatin1(chassis.read(16)) : QString();
    facts.laptop = isLaptop(chassisType, facts.model);

    // The last mount at "/" is the one visible there.
    const std::vector<MountEntry> mounts = MountTable::read();
    for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
        if (it->mountPoint != "/")
            continue;
        const Volume volume = Volume::fromMount(*it, Volume::readLabels());
        facts.totalBytes = volume.size();
        facts.freeBytes = volume.freeSpace();
        facts.diskName =
            volume.name() == "/" ? u"/"_s : u"/ (%1)"_s.arg(QString::fromStdString(volume.name()));
        break;
    }
    return facts;
}

QString DashboardFacts::capTotal() const
{
    return tr("In total: %1").arg(bytes(totalBytes));
}

QString DashboardFacts::capUsed() const
{
    return tr("%1 used").arg(bytes(usedBytes()));
}

QString DashboardFacts::capAvailable() const
{
    return tr("%1 available").arg(bytes(freeBytes));
}

int DashboardFacts::usedPerMille() const
{
    if (totalBytes <= 0)
        return 0;
    return static_cast<int>(usedBytes() * 1000 / totalBytes);
}

} // namespace cv
