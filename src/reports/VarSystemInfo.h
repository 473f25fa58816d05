#pragma once

#include <QMap>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace cv {

// The machine's and the logged-in user's facts as the deletion report, the support form and the
// dashboard show them, gathered once in the constructor. A fact that cannot be read is empty (a
// null string, or no number); only the processor speed always reads as a number, 0.0 GHz at worst.
class VarSystemInfo
{
public:
    // Where the facts come from; tests point these at files of their own.
    struct Sources
    {
        QString dmiFolder = QStringLiteral("/sys/class/dmi/id");
        QString deviceTreeModel = QStringLiteral("/sys/firmware/devicetree/base/model");
        QString cpuinfo = QStringLiteral("/proc/cpuinfo");
        QString cpuFolder = QStringLiteral("/sys/devices/system/cpu");
        QString osRelease = QStringLiteral("/etc/os-release");
        QString osReleaseFallback = QStringLiteral("/usr/lib/os-release");
        QString machineInfo = QStringLiteral("/etc/machine-info");
    };

    VarSystemInfo();
    explicit VarSystemInfo(const Sources& sources);

    QString sysName() const { return m_sysName; }
    QString sysUserName() const { return m_sysUserName; }
    QString sysFullUserName() const { return m_sysFullUserName; }
    QString sysOSName() const { return m_sysOSName; }
    QString sysOSVersion() const { return m_sysOSVersion; }
    QString sysPhysicalMemory() const { return m_sysPhysicalMemory; }
    QString sysSerialNumber() const { return m_sysSerialNumber; }
    QString sysUUID() const { return m_sysUUID; }
    QString sysModelID() const { return m_sysModelID; }
    QString sysProcessorName() const { return m_sysProcessorName; }
    QString sysProcessorSpeed() const { return m_sysProcessorSpeed; }
    std::optional<quint64> sysProcessorCount() const { return m_sysProcessorCount; }
    std::optional<quint64> sysProcessorCores() const { return m_sysProcessorCores; }

    // The operating system's version string without its first eight characters (the "Version "
    // prefix of sysOSName).
    QString getOSVersionInfo() const;

    // A short processor name from a brand string: the words before "CPU", without trademark marks
    // and model numbers ("Intel(R) Core(TM) i7-4870HQ CPU @ 2.50GHz" gives "Intel Core i7").
    // A null brand gives a null string.
    static QString parseBrandName(const QString& brand);

    // "Version 12 (Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64)" from the text of
    // os-release and the kernel release; always begins with the eight characters "Version ".
    static QString osVersionString(const QString& osReleaseText, const QString& kernelRelease);

    // The KEY=value lines of os-release or machine-info, quotes and escapes removed.
    static QMap<QString, QString> parseKeyValueFile(const QString& text);

    // Memory sizes in multiples of 1024 ("16 GB", "7.76 GB", "512 MB").
    static QString formatMemory(quint64 bytes);

    // The clock in hertz as "2.5 GHz" (single precision, one decimal).
    static QString formatProcessorSpeed(quint64 hertz);

    // From the text of /proc/cpuinfo: the brand of the first processor, and the number of distinct
    // physical cores (pairs of package and core ids); empty when the text does not say.
    static QString brandFromCpuinfo(const QString& cpuinfo);
    static std::optional<quint64> physicalCoresFromCpuinfo(const QString& cpuinfo);

    // The host name of the kernel; logs and gives a null string when it cannot be read.
    static QString hostName();

private:
    void setupSystemInformation();
    // One fact file (a DMI entry, a cpufreq value): its text up to the first line break or NUL,
    // trimmed; a null string when it cannot be read or holds nothing.
    static QString readFactFile(const QString& path);
    quint64 processorHertz() const;
    std::optional<quint64> physicalCoresFromTopology() const;

    Sources m_sources;
    QString m_sysName;
    QString m_sysUserName;
    QString m_sysFullUserName;
    QString m_sysOSName;
    QString m_sysOSVersion;
    QString m_sysPhysicalMemory;
    QString m_sysSerialNumber;
    QString m_sysUUID;
    QString m_sysModelID;
    QString m_sysProcessorName;
    QString m_sysProcessorSpeed;
    std::optional<quint64> m_sysProcessorCount;
    std::optional<quint64> m_sysProcessorCores;
};

} // namespace cv
