#include "reports/VarSystemInfo.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

// Readable failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using cv::VarSystemInfo;
using namespace Qt::StringLiterals;

TEST(VarSystemInfo, BrandNamesOfRealProcessors)
{
    const std::vector<std::pair<QString, QString>> cases{
        {u"Intel(R) Core(TM) i7-4870HQ CPU @ 2.50GHz"_s, u"Intel Core i7"_s},
        {u"Intel(R) Xeon(R) CPU E5-2690 v4 @ 2.60GHz"_s, u"Intel Xeon"_s},
        {u"Intel(R) Xeon(R) Processor"_s, u"Intel Xeon Processor"_s},
        {u"Intel(R) Core(TM)2 Duo CPU     T7700  @ 2.40GHz"_s, u"Intel Core Duo"_s},
        {u"Pentium(R) Dual-Core  CPU      E5200  @ 2.50GHz"_s, u"Pentium Dual Core"_s},
        {u"12th Gen Intel(R) Core(TM) i7-1260P"_s, u"Gen Intel Core i7"_s},
        {u"AMD Ryzen 7 5800X 8-Core Processor"_s, u"AMD Ryzen Core Processor"_s},
        {u"AMD EPYC 7B13 64-Core Processor"_s, u"AMD EPYC Core Processor"_s},
        {u"QEMU Virtual CPU version 2.5+"_s, u"QEMU Virtual"_s},
        {u"Apple M1"_s, u"Apple M1"_s},
        {u"Common KVM processor"_s, u"Common KVM processor"_s},
    };
    for (const auto& [brand, expected] : cases)
        EXPECT_EQ(VarSystemInfo::parseBrandName(brand), expected) << brand.toStdString();

    EXPECT_TRUE(VarSystemInfo::parseBrandName(QString()).isNull()) << "no brand gives no name";
    EXPECT_TRUE(VarSystemInfo::parseBrandName(u"(R) (TM) @"_s).isEmpty());
}

TEST(VarSystemInfo, VersionStringKeepsTheEightCharacterPrefix)
{
    const QString debian = u"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
                           "VERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\nID=debian\n"_s;
    EXPECT_EQ(VarSystemInfo::osVersionString(debian, u"6.1.0-18-amd64"_s),
              u"Version 12 (Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64)"_s);

    const QString arch = u"NAME=\"Arch Linux\"\nPRETTY_NAME='Arch Linux'\nID=arch\nBUILD_ID=rolling\n"_s;
    EXPECT_EQ(VarSystemInfo::osVersionString(arch, u"6.9.1-arch1-1"_s),
              u"Version rolling (Arch Linux, kernel 6.9.1-arch1-1)"_s);
    EXPECT_EQ(VarSystemInfo::osVersionString(QString(), u"6.1.0"_s), u"Version 6.1.0 (Linux)"_s);

    const auto fields = VarSystemInfo::parseKeyValueFile(
        u"# comment\nA=\"quoted \\\"inner\\\" \\$x\"\n  B = 'single \"kept\"'\nC=bare\\ word\n=novalue\n"_s);
    EXPECT_EQ(fields.value(u"A"_s), u"quoted \"inner\" $x"_s);
    EXPECT_EQ(fields.value(u"B"_s), u"single \"kept\""_s);
    EXPECT_EQ(fields.value(u"C"_s), u"bare word"_s);
    EXPECT_EQ(fields.size(), 3);
}

TEST(VarSystemInfo, Formats)
{
    EXPECT_EQ(VarSystemInfo::formatMemory(16ull << 30), u"16 GB"_s);
    EXPECT_EQ(VarSystemInfo::formatMemory(8135000ull * 1024), u"7.76 GB"_s);
    EXPECT_EQ(VarSystemInfo::formatMemory((1ull << 30) - 1000), u"1 GB"_s);
    EXPECT_EQ(VarSystemInfo::formatProcessorSpeed(2'500'000'000ull), u"2.5 GHz"_s);
    EXPECT_EQ(VarSystemInfo::formatProcessorSpeed(0), u"0.0 GHz"_s);
}

TEST(VarSystemInfo, FactsFromTheMachineFiles)
{
    cv::test::TempDir root;
    VarSystemInfo::Sources sources;
    sources.dmiFolder = QString::fromStdString(root / "dmi");
    sources.deviceTreeModel = QString::fromStdString(root / "model");
    sources.cpuinfo = QString::fromStdString(root / "cpuinfo");
    sources.cpuFolder = QString::fromStdString(root / "cpu");
    sources.osRelease = QString::fromStdString(root / "os-release");
    sources.osReleaseFallback = QString::fromStdString(root / "usr-os-release");
    sources.machineInfo = QString::fromStdString(root / "machine-info");
    {
        SCOPED_TRACE("every source present: two packages of two cores with two threads each");
        cv::test::makeDir(root / "dmi");
        cv::test::writeFile(root / "dmi/product_serial", std::string("PF2ABCDE\n"));
        cv::test::writeFile(root / "dmi/product_uuid", std::string("4c4c4544-0031-3310-8051-b4c04f4a4d32\n"));
        cv::test::writeFile(root / "dmi/product_name", std::string("ThinkPad X1 Carbon Gen 9\n"));
        std::string cpuinfo;
        for (int cpu = 0; cpu < 8; ++cpu)
            cpuinfo += "processor\t: " + std::to_string(cpu) +
                       "\nmodel name\t: Intel(R) Core(TM) i7-1185G7 @ 3.00GHz\ncpu MHz\t\t: 1799.999\n"
                       "physical id\t: " +
                       std::to_string(cpu / 4) + "\ncore id\t\t: " + std::to_string(cpu % 2) + "\n\n";
        cv::test::writeFile(root / "cpuinfo", cpuinfo);
        cv::test::makeDir(root / "cpu");
        cv::test::makeDir(root / "cpu/cpu0");
        cv::test::makeDir(root / "cpu/cpu0/cpufreq");
        cv::test::writeFile(root / "cpu/cpu0/cpufreq/base_frequency", std::string("3000000\n"));
        cv::test::writeFile(root / "cpu/cpu0/cpufreq/cpuinfo_max_freq", std::string("4800000\n"));
        cv::test::writeFile(root / "usr-os-release", std::string("NAME=Fallback\nVERSION_ID=1\n"));
        cv::test::writeFile(root / "os-release",
                            std::string("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                        "VERSION_ID=\"12\"\n"));
        cv::test::writeFile(root / "machine-info", std::string("PRETTY_HOSTNAME=\"Jörg's Laptop\"\n"));

        const VarSystemInfo info(sources);
        EXPECT_EQ(info.sysName(), u"Jörg's Laptop"_s);
        EXPECT_EQ(info.sysSerialNumber(), u"PF2ABCDE"_s);
        EXPECT_EQ(info.sysUUID(), u"4c4c4544-0031-3310-8051-b4c04f4a4d32"_s);
        EXPECT_EQ(info.sysModelID(), u"ThinkPad X1 Carbon Gen 9"_s);
        EXPECT_EQ(info.sysProcessorName(), u"Intel Core i7"_s);
        EXPECT_EQ(info.sysProcessorSpeed(), u"3.0 GHz"_s) << "the nominal clock, not the turbo clock";
        EXPECT_EQ(info.sysProcessorCores(), std::optional<quint64>(4));
        EXPECT_TRUE(info.sysOSName().startsWith(u"Version 12 (Debian GNU/Linux 12 (bookworm), kernel "_s))
            << info.sysOSName().toStdString();
        EXPECT_EQ(info.sysOSVersion(), info.sysOSName().mid(8));
        EXPECT_EQ(info.getOSVersionInfo(), info.sysOSVersion());
    }
    {
        SCOPED_TRACE("DMI unreadable, no cpufreq, no os-release: empty facts, 0.0 GHz at worst");
        cv::test::removeTree(root / "dmi");
        cv::test::removeTree(root / "cpu/cpu0/cpufreq");
        cv::test::removeTree(root / "os-release");
        cv::test::removeTree(root / "machine-info");
        cv::test::writeFile(root / "cpuinfo", std::string("processor\t: 0\nvendor_id\t: ARM\n\n"));
        cv::test::makeDir(root / "cpu/cpu0/topology");
        cv::test::writeFile(root / "cpu/cpu0/topology/core_id", std::string("0\n"));
        cv::test::writeFile(root / "cpu/cpu0/topology/physical_package_id", std::string("0\n"));
        cv::test::writeFile(root / "model", std::string("Raspberry Pi 4 Model B Rev 1.4\0", 31));

        const VarSystemInfo info(sources);
        EXPECT_TRUE(info.sysSerialNumber().isEmpty());
        EXPECT_TRUE(info.sysUUID().isEmpty());
        EXPECT_EQ(info.sysModelID(), u"Raspberry Pi 4 Model B Rev 1.4"_s)
            << "the device tree names the model";
        EXPECT_TRUE(info.sysProcessorName().isNull());
        EXPECT_EQ(info.sysProcessorSpeed(), u"0.0 GHz"_s);
        EXPECT_EQ(info.sysProcessorCores(), std::optional<quint64>(1)) << "from the sysfs topology";
        EXPECT_TRUE(info.sysOSName().startsWith(u"Version 1 (Fallback, kernel "_s))
            << info.sysOSName().toStdString();
        EXPECT_EQ(info.sysName(), VarSystemInfo::hostName());
    }
}

TEST(VarSystemInfo, FactsOfThisMachine)
{
    const VarSystemInfo info;
    EXPECT_TRUE(info.sysOSName().startsWith(u"Version "_s)) << info.sysOSName().toStdString();
    EXPECT_EQ(info.getOSVersionInfo(), info.sysOSName().mid(8));
    EXPECT_FALSE(info.sysName().isEmpty());
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(info.sysUserName(), QString::fromLocal8Bit(user->pw_name));
    EXPECT_FALSE(info.sysFullUserName().isEmpty());
    EXPECT_EQ(info.sysProcessorCount(), std::optional<quint64>(::sysconf(_SC_NPROCESSORS_CONF)));
    EXPECT_TRUE(info.sysPhysicalMemory().endsWith(u"B"_s)) << info.sysPhysicalMemory().toStdString();
    EXPECT_TRUE(info.sysProcessorSpeed().endsWith(u" GHz"_s));
    if (info.sysProcessorCores()) {
        EXPECT_LE(*info.sysProcessorCores(), *info.sysProcessorCount());
    }
}
