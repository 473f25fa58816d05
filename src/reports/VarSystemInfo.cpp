#include "reports/VarSystemInfo.h"

#include "common/Log.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QString readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Drops trailing zeros of a decimal number ("7.50" gives "7.5", "16.00" gives "16").
QString trimmedDecimal(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

// The value after "key :" in one line of /proc/cpuinfo, or nothing when the line is about another key.
std::optional<QString> cpuinfoValue(QStringView line, QStringView key)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0 || line.left(colon).trimmed() != key)
        return std::nullopt;
    return line.mid(colon + 1).trimmed().toString();
}

} // namespace

VarSystemInfo::VarSystemInfo() : VarSystemInfo(Sources{}) {}

VarSystemInfo::VarSystemInfo(const Sources& sources) : m_sources(sources)
{
    setupSystemInformation();
}

void VarSystemInfo::setupSystemInformation()
{
    // The name the user gave the computer, else its host name.
    m_sysName = parseKeyValueFile(readWholeFile(m_sources.machineInfo)).value(u"PRETTY_HOSTNAME"_s);
    if (m_sysName.isEmpty())
        m_sysName = hostName();

    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        m_sysUserName = QString::fromLocal8Bit(found->pw_name);
        // The first field of the GECOS entry is the full name; accounts without one show the login.
        m_sysFullUserName = QString::fromLocal8Bit(found->pw_gecos).section(u',', 0, 0).trimmed();
    } else {
        m_sysUserName = qEnvironmentVariable("USER");
    }
    if (m_sysFullUserName.isEmpty())
        m_sysFullUserName = m_sysUserName;

    utsname kernel{};
    const QString release = ::uname(&kernel) == 0 ? QString::fromUtf8(kernel.release) : QString();
    QString osRelease = readWholeFile(m_sources.osRelease);
    if (osRelease.isEmpty())
        osRelease = readWholeFile(m_sources.osReleaseFallback);
    m_sysOSName = osVersionString(osRelease, release);
    m_sysOSVersion = getOSVersionInfo();

    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    m_sysPhysicalMemory =
        formatMemory(pages > 0 && pageSize > 0 ? quint64(pages) * quint64(pageSize) : quint64(0));

    // DMI entries; serial number and UUID are readable by root only on most machines.
    m_sysSerialNumber = readFactFile(m_sources.dmiFolder + u"/product_serial"_s);
    m_sysUUID = readFactFile(m_sources.dmiFolder + u"/product_uuid"_s);
    m_sysModelID = readFactFile(m_sources.dmiFolder + u"/product_name"_s);
    if (m_sysModelID.isEmpty())
        m_sysModelID = readFactFile(m_sources.deviceTreeModel);

    const QString cpuinfo = readWholeFile(m_sources.cpuinfo);
    m_sysProcessorName = parseBrandName(brandFromCpuinfo(cpuinfo));
    m_sysProcessorSpeed = formatProcessorSpeed(processorHertz());

    const long processors = ::sysconf(_SC_NPROCESSORS_CONF);
    if (processors > 0)
        m_sysProcessorCount = quint64(processors);
    m_sysProcessorCores = physicalCoresFromCpuinfo(cpuinfo);
    if (!m_sysProcessorCores)
        m_sysProcessorCores = physicalCoresFromTopology();
}

QString VarSystemInfo::getOSVersionInfo() const
{
    return m_sysOSName.mid(8);
}

QString VarSystemInfo::parseBrandName(const QString& brand)
{
    if (brand.isNull())
        return {};
    QStringList kept;
    QString token;
    // One pass over the brand plus a final separator, so that the last token is judged too.
    for (qsizetype i = 0; i <= brand.size(); ++i) {
        if (i < brand.size() && brand[i].isLetterOrNumber()) {
            token += brand[i];
            continue;
        }
        if (token == u"CPU"_s)
            break;
        const QString lower = token.toLower();
        if (!token.isEmpty() && lower != u"r"_s && lower != u"tm"_s && !token[0].isDigit())
            kept << token;
        token.clear();
    }
    return kept.join(u' ');
}

QString VarSystemInfo::osVersionString(const QString& osReleaseText, const QString& kernelRelease)
{
    const QMap<QString, QString> fields = parseKeyValueFile(osReleaseText);
    QString version = fields.value(u"VERSION_ID"_s);
    if (version.isEmpty())
        version = fields.value(u"BUILD_ID"_s); // rolling releases have no version number
    QString name = fields.value(u"PRETTY_NAME"_s);
    if (name.isEmpty())
        name = fields.value(u"NAME"_s);
    if (name.isEmpty())
        name = u"Linux"_s;
    if (version.isEmpty())
        return u"Version %1 (%2)"_s.arg(kernelRelease, name);
    if (kernelRelease.isEmpty())
        return u"Version %1 (%2)"_s.arg(version, name);
    return u"Version %1 (%2, kernel %3)"_s.arg(version, name, kernelRelease);
}

QMap<QString, QString> VarSystemInfo::parseKeyValueFile(const QString& text)
{
    QMap<QString, QString> fields;
    const QStringList lines = text.split(u'\n');
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (line.isEmpty() || line.startsWith(u'#') || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString raw = line.mid(equals + 1).trimmed();
        // Shell-style quoting: '...' literally, "..." with backslash escapes, bare words with them too.
        QString value;
        QChar quote;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            const QChar c = raw[i];
            if (quote == u'\'') {
                if (c == u'\'')
                    quote = QChar();
                else
                    value += c;
            } else if (c == u'\\' && i + 1 < raw.size()) {
                value += raw[++i];
            } else if (!quote.isNull() && c == quote) {
                quote = QChar();
            } else if (quote.isNull() && (c == u'"' || c == u'\'')) {
                quote = c;
            } else {
                value += c;
            }
        }
        fields.insert(key, value);
    }
    return fields;
}

QString VarSystemInfo::formatMemory(quint64 bytes)
{
    if (bytes == 0)
        return u"Zero KB"_s;
    if (bytes < 1024)
        return u"%1 bytes"_s.arg(bytes);
    struct Unit
    {
        QStringView name;
        int decimals;
    };
    static constexpr std::array<Unit, 6> units{{
        {u"KB", 0},
        {u"MB", 1},
        {u"GB", 2},
        {u"TB", 2},
        {u"PB", 2},
        {u"EB", 2},
    }};
    double size = 1024.0;
    for (std::size_t i = 0; i < units.size(); ++i, size *= 1024.0) {
        const double scale = std::pow(10.0, units[i].decimals);
        const double rounded = std::round(double(bytes) / size * scale) / scale;
        if (rounded >= 1024.0 && i + 1 < units.size())
            continue; // 1023.97 MB reads better as 1 GB
        return trimmedDecimal(rounded, units[i].decimals) + u' ' + units[i].name.toString();
    }
    return u"%1 bytes"_s.arg(bytes); // not reached: EB covers every 64-bit amount
}

QString VarSystemInfo::formatProcessorSpeed(quint64 hertz)
{
    const float gigahertz = static_cast<float>(hertz) / 1e9f;
    return QString::asprintf("%0.1f GHz", static_cast<double>(gigahertz));
}

QString VarSystemInfo::brandFromCpuinfo(const QString& cpuinfo)
{
    const QStringList lines = cpuinfo.split(u'\n');
    for (const QString& line : lines) {
        if (auto value = cpuinfoValue(line, u"model name"))
            return *value;
    }
    return {};
}

std::optional<quint64> VarSystemInfo::physicalCoresFromCpuinfo(const QString& cpuinfo)
{
    // One block per logical processor; hyper-threads share their package and core ids.
    QSet<std::pair<QString, QString>> cores;
    QString package = u"0"_s;
    std::optional<QString> core;
    auto endBlock = [&] {
        if (core)
            cores.insert({package, *core});
        package = u"0"_s;
        core.reset();
    };
    const QStringList lines = cpuinfo.split(u'\n');
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) {
            endBlock();
        } else if (auto value = cpuinfoValue(line, u"physical id")) {
            package = *value;
        } else if (auto value = cpuinfoValue(line, u"core id")) {
            core = *value;
        }
    }
    endBlock();
    if (cores.isEmpty())
        return std::nullopt;
    return quint64(cores.size());
}

std::optional<quint64> VarSystemInfo::physicalCoresFromTopology() const
{
    QSet<std::pair<QString, QString>> cores;
    const QDir folder(m_sources.cpuFolder);
    const QStringList cpus = folder.entryList({u"cpu[0-9]*"_s}, QDir::Dirs);
    for (const QString& cpu : cpus) {
        const QString topology = folder.filePath(cpu) + u"/topology/"_s;
        const QString core = readFactFile(topology + u"core_id"_s);
        if (!core.isEmpty())
            cores.insert({readFactFile(topology + u"physical_package_id"_s), core});
    }
    if (cores.isEmpty())
        return std::nullopt;
    return quint64(cores.size());
}

quint64 VarSystemInfo::processorHertz() const
{
    // The nominal clock where the cpufreq driver tells it, else the highest, else what cpuinfo says.
    const QString cpufreq = m_sources.cpuFolder + u"/cpu0/cpufreq/"_s;
    for (const QString& name : {u"base_frequency"_s, u"cpuinfo_max_freq"_s}) {
        bool ok = false;
        const quint64 kilohertz = readFactFile(cpufreq + name).toULongLong(&ok);
        if (ok && kilohertz > 0)
            return kilohertz * 1000;
    }
    const QStringList lines = readWholeFile(m_sources.cpuinfo).split(u'\n');
    for (const QString& line : lines) {
        if (auto value = cpuinfoValue(line, u"cpu MHz")) {
            bool ok = false;
            const double megahertz = value->toDouble(&ok);
            return ok && megahertz > 0 ? quint64(std::llround(megahertz * 1e6)) : 0;
        }
    }
    return 0;
}

QString VarSystemInfo::hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        logMessage("gethostname failed: ", std::strerror(errno));
        return {};
    }
    return QString::fromUtf8(name);
}

QString VarSystemInfo::readFactFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(4096);
    const qsizetype end = bytes.indexOf('\n');
    if (end >= 0)
        bytes.truncate(end);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    const QString text = QString::fromUtf8(bytes).trimmed();
    return text.isEmpty() ? QString() : text;
}

} // namespace cv
