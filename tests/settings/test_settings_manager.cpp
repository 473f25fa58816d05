#include "settings/SettingsManager.h"

#include "settings/DefaultMethod.h"

#include "TempDir.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>
#include <sys/stat.h>

using cv::SettingsManager;
using namespace Qt::StringLiterals;

namespace {

// Every test works on its own settings file in its own temporary folder, never the user's.
struct SettingsFile
{
    cv::test::TempDir dir;
    QString path = QString::fromStdString(dir / "Cindervault.ini");

    // What the file holds under key, read as plain INI without the manager.
    QString rawValue(const QString& key) const
    {
        return QSettings(path, QSettings::IniFormat).value(key).toString();
    }

    QByteArray raw() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Writes a value behind the manager's back, as a damaged or hand-edited file would hold it.
    void writeRaw(const QString& key, const QVariant& value) const
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(key, value);
    }
};

// Sets an environment variable for the life of the object.
struct ScopedEnv
{
    QByteArray name;
    QByteArray old;
    bool hadOld;

    ScopedEnv(const char* variable, const QByteArray& value)
        : name(variable), old(qgetenv(variable)), hadOld(qEnvironmentVariableIsSet(variable))
    {
        qputenv(variable, value);
    }
    ~ScopedEnv()
    {
        if (hadOld)
            qputenv(name.constData(), old);
        else
            qunsetenv(name.constData());
    }
};

} // namespace

TEST(SettingsManager, FreshStoreReadsTheDefaults)
{
    SettingsFile file;
    SettingsManager settings(file.path);

    // The defaults no other test reads (report format, notifications, diagnosis, interval, language
    // and PIN are read back as defaults after a reset or a damaged value below).
    EXPECT_EQ(settings.integerForKey(SettingsManager::kSettingsDeletionDefaultMethod), 0);
    EXPECT_TRUE(settings.shouldAutoSaveReports());
    EXPECT_TRUE(settings.showSignatureInReports());
    EXPECT_FALSE(settings.shouldCapFilesInReport());
    EXPECT_TRUE(settings.showSecurityPrompts());
    EXPECT_FALSE(settings.shouldDissmissNoification());
    EXPECT_FALSE(settings.isLocked()) << "a first start is never locked";

    // The registration domain answers, with or without a default argument, and is never written.
    EXPECT_FALSE(settings.boolForKey(SettingsManager::kEnableAutostart, true));
    EXPECT_EQ(settings.stringForKey(SettingsManager::kBuild), std::optional<QString>(QString()));
    EXPECT_EQ(settings.stringForKey(u"NoSuchKey"), std::nullopt);
    EXPECT_FALSE(settings.objectForKey(u"NoSuchKey").isValid());
    settings.setBool(true, SettingsManager::kSettingsGeneralDiagnose);
    EXPECT_FALSE(file.raw().contains("Build")) << file.raw().constData();
    EXPECT_FALSE(file.raw().contains("Autostart")) << file.raw().constData();
}

TEST(SettingsManager, ReportFolderFollowsTheDocumentsFolder)
{
    SettingsFile file;
    cv::test::TempDir config;
    const ScopedEnv home("HOME", QByteArray::fromStdString(file.dir.path()));
    const ScopedEnv xdg("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
    SettingsManager settings(file.path);
    const QString homePath = QString::fromStdString(file.dir.path());
    {
        SCOPED_TRACE("no user-dirs file: ~/Documents");
        EXPECT_EQ(settings.getReportPath(), homePath + u"/Documents/Ostrevane/RendmarkMacReports"_s);
    }
    {
        SCOPED_TRACE("the XDG documents folder of user-dirs.dirs");
        cv::test::makeDir(file.dir / "Unterlagen");
        cv::test::writeFile(config / "user-dirs.dirs",
                            std::string("XDG_DOCUMENTS_DIR=\"$HOME/Unterlagen\"\n"));
        EXPECT_EQ(settings.getReportPath(), homePath + u"/Unterlagen/Ostrevane/RendmarkMacReports"_s);
    }
    {
        SCOPED_TRACE("a folder the user chose wins");
        settings.setString(u"/srv/reports"_s, SettingsManager::kSettingsDeletionReportLocation);
        EXPECT_EQ(settings.getReportPath(), u"/srv/reports"_s);
    }
}

TEST(SettingsManager, StoredValuesBeatDefaults)
{
    SettingsFile file;
    SettingsManager(file.path).setBool(false, SettingsManager::kSettingsDeletionReportAutoSave);
    SettingsManager(file.path).setInteger(0, SettingsManager::kSettingsNotificationsInterval);
    // A new launch reads what the last one wrote.
    SettingsManager settings(file.path);
    EXPECT_FALSE(settings.shouldAutoSaveReports()) << "a stored false must beat the true default";
    EXPECT_EQ(settings.getDissmissInterval(), 0) << "a stored 0 must beat the default 60";
    EXPECT_TRUE(settings.showQrCodeInReports()) << "keys never written keep their defaults";
}

TEST(SettingsManager, StringsAreStoredAsBase64)
{
    SettingsFile file;
    SettingsManager settings(file.path);

    settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
    EXPECT_EQ(settings.getReportFormat(), u"HTML"_s);
    EXPECT_EQ(file.rawValue(u"kSettingsDeletionReportFormat"_s), u"SFRNTA=="_s)
        << "the file must hold Base64 of the UTF-8 bytes: " << file.raw().constData();
    EXPECT_FALSE(file.raw().contains("HTML"));

    const QString folder = u"/home/jörg/Berichte, 2024/ü=ß+?"_s;
    settings.setString(folder, SettingsManager::kSettingsDeletionReportLocation);
    EXPECT_EQ(SettingsManager(file.path).getReportPath(), folder);
    EXPECT_EQ(file.rawValue(u"kSettingsDeletionReportLocation"_s),
              QString::fromLatin1(folder.toUtf8().toBase64()));

    settings.setString(QString(), SettingsManager::kSettingsDeletionReportFormat);
    EXPECT_EQ(settings.stringForKey(SettingsManager::kSettingsDeletionReportFormat),
              std::optional<QString>(QString()))
        << "an empty string is a value, not an absent key";
}

TEST(SettingsManager, UndecodableValuesReadAsAbsent)
{
    SettingsFile file;
    SettingsManager settings(file.path);
    const QString format = u"kSettingsDeletionReportFormat"_s;
    file.writeRaw(format, u"HTML!"_s); // clear text where Base64 belongs
    EXPECT_EQ(settings.stringForKey(format), std::nullopt);
    EXPECT_EQ(settings.getReportFormat(), u"PDF"_s);
    file.writeRaw(format, QString::fromLatin1(QByteArray("\xff\xfe\x80").toBase64())); // not UTF-8
    EXPECT_EQ(settings.getReportFormat(), u"PDF"_s);
    file.writeRaw(format, QStringList{u"SFRNTA=="_s, u"SFRNTA=="_s}); // a list
    EXPECT_EQ(settings.getReportFormat(), u"PDF"_s);

    file.writeRaw(u"Build"_s, u"%%%"_s);
    EXPECT_FALSE(settings.isLocked()) << "a PIN that cannot be decoded is no PIN";

    file.writeRaw(u"kSettingsNotificationsEnabled"_s, u"garbage"_s);
    file.writeRaw(u"kSettingsGeneralDiagnose"_s, u"garbage"_s);
    file.writeRaw(u"kSettingsNotificationsInterval"_s, u"ten"_s);
    EXPECT_TRUE(settings.isNotificationsEnabeled());
    EXPECT_FALSE(settings.isDiagnoseSet()) << "a non-empty string must not read as true";
    EXPECT_EQ(settings.getDissmissInterval(), 60);
}

TEST(SettingsManager, TheStoredDefaultMethodIsAMethodThatWritesOrNone)
{
    // The window's screens, the Deletion pane and the command line all read the default this way;
    // whatever the file holds, a value that names no method that writes is no default at all.
    SettingsFile file;
    SettingsManager settings(file.path);
    const QString key = SettingsManager::kSettingsDeletionDefaultMethod.toString();
    const auto stored = [&]() -> std::int64_t {
        const auto method = cv::DefaultMethod::read(settings);
        return method ? static_cast<std::int64_t>(method->identifier()) : -1;
    };
    EXPECT_EQ(stored(), -1) << "no key";
    const std::pair<QVariant, std::int64_t> cases[] = {
        {0, -1},  // the placeholder "- Select your method"
        {22, -1}, // past the last method
        {99, -1},
        {-1, -1},
        {-13, -1},      // not method 13
        {u"abc"_s, -1}, // no number
        {u"13abc"_s, -1},
        {4294967309LL, -1}, // 2^32 + 13: not cut to method 13
        {u"4294967309"_s, -1},
        {13, 13},      // a method
        {u"21"_s, 21}, // as a hand-edited file holds it
        {u" 16 "_s, 16},
        {18, 18},
    };
    for (const auto& [value, expected] : cases) {
        file.writeRaw(key, value);
        EXPECT_EQ(stored(), expected) << value.toString().toStdString();
    }
    settings.setInteger(2, key);
    ASSERT_NE(cv::DefaultMethod::read(settings), nullptr);
    EXPECT_EQ(cv::DefaultMethod::read(settings)->cycles(), 35u) << "the catalogue's method, with its passes";
}

TEST(SettingsManager, ResetEmptiesTheWholeStore)
{
    SettingsFile file;
    SettingsManager settings(file.path);
    settings.setPin(u"1234"_s);
    settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
    settings.setBool(false, SettingsManager::kSettingsNotificationsEnabled);
    settings.setObject(QStringList{u"de"_s}, SettingsManager::kAppleLanguages);
    settings.setBool(true, SettingsManager::kEnableAutostart);
    ASSERT_TRUE(settings.isLocked());

    QSignalSpy pinChanged(&settings, &SettingsManager::pinChanged);
    settings.reset();
    EXPECT_EQ(pinChanged.count(), 1);
    EXPECT_FALSE(settings.isPinSet());
    EXPECT_FALSE(settings.isLocked());
    EXPECT_EQ(settings.getReportFormat(), u"PDF"_s);
    EXPECT_TRUE(settings.isNotificationsEnabeled());
    EXPECT_EQ(settings.getCurrentLanguage(), QString());
    EXPECT_FALSE(settings.boolForKey(SettingsManager::kEnableAutostart)) << "back to the registered value";
    EXPECT_TRUE(QSettings(file.path, QSettings::IniFormat).allKeys().isEmpty()) << file.raw().constData();
}

TEST(SettingsManager, PinAndLockStates)
{
    SettingsFile file;
    SettingsManager settings(file.path);
    QSignalSpy pinChanged(&settings, &SettingsManager::pinChanged);
    QSignalSpy authChanged(&settings, &SettingsManager::authChanged);

    settings.setPin(u"4711"_s);
    EXPECT_EQ(pinChanged.count(), 1);
    EXPECT_TRUE(settings.isPinSet());
    EXPECT_TRUE(settings.isLocked());
    EXPECT_TRUE(settings.locked());

    settings.setAuthed();
    EXPECT_EQ(authChanged.count(), 1);
    EXPECT_TRUE(settings.isAuthed());
    EXPECT_FALSE(settings.isLocked()) << "an authorised user is not locked out although a PIN is set";
    EXPECT_FALSE(settings.locked());

    {
        SCOPED_TRACE("authorisation is never stored: the next launch is locked again");
        SettingsManager nextLaunch(file.path);
        EXPECT_FALSE(nextLaunch.isAuthed());
        EXPECT_TRUE(nextLaunch.locked()) << "creation must evaluate the lock once";
    }

    settings.lockView();
    EXPECT_EQ(authChanged.count(), 2);
    EXPECT_TRUE(settings.isLocked());

    settings.setPin(QString());
    EXPECT_EQ(pinChanged.count(), 2) << "removing the PIN is announced too";
    EXPECT_FALSE(settings.isPinSet());
    EXPECT_FALSE(settings.isLocked());
    EXPECT_FALSE(settings.locked());
}

TEST(SettingsManager, CurrentLanguage)
{
    SettingsFile file;
    SettingsManager settings(file.path);
    const std::vector<std::pair<QStringList, QString>> cases{
        {{u"de-DE"_s}, u"de"_s}, {{u"pt-BR"_s, u"en"_s}, u"pt"_s}, {{u"zh-Hant-TW"_s}, u"zh-Hant"_s},
        {{u"de"_s}, u"de"_s},    {{u"en"_s, u"de-DE"_s}, u"en"_s}, {{u"a-b-c-d"_s}, u"a-b-c-d"_s},
        {{}, QString()},
    };
    for (const auto& [languages, expected] : cases) {
        SCOPED_TRACE(languages.join(u',').toStdString());
        settings.setObject(languages, SettingsManager::kAppleLanguages);
        // Read through a second store as well: a one-entry list comes back from the file as a string.
        EXPECT_EQ(settings.getCurrentLanguage(), expected);
        EXPECT_EQ(SettingsManager(file.path).getCurrentLanguage(), expected);
    }
}

TEST(SettingsManager, TwoProcessesWriteAtOnce)
{
    SettingsFile file;
    SettingsManager settings(file.path);
    EXPECT_TRUE(settings.isNotificationsSoundEnabeled());

    constexpr int kCount = 60;
    const QString program = QCoreApplication::applicationFilePath();
    QProcess first;
    QProcess second;
    first.start(program, {u"--settings-writer"_s, file.path, u"window"_s, QString::number(kCount)});
    second.start(program, {u"--settings-writer"_s, file.path, u"cli"_s, QString::number(kCount)});
    // Meanwhile this process writes and reads too.
    for (int i = 0; i < kCount; ++i) {
        settings.setInteger(i, u"self_int_"_s + QString::number(i));
        EXPECT_EQ(settings.getReportFormat(), u"PDF"_s);
    }
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();

    EXPECT_FALSE(settings.isNotificationsSoundEnabeled())
        << "a running store must see another process's write";
    SettingsManager reader(file.path);
    int missing = 0;
    for (const QString& tag : {u"window"_s, u"cli"_s, u"self"_s}) {
        for (int i = 0; i < kCount; ++i) {
            const QString number = QString::number(i);
            if (reader.integerForKey(tag + u"_int_"_s + number, -1) != i)
                ++missing;
            if (tag != u"self"_s &&
                reader.stringForKey(tag + u"_text_"_s + number) != std::optional(tag + u" text "_s + number))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0) << "writes of one process were lost or damaged by the other";
}

TEST(SettingsManager, ThePinIsKeptAsASaltedSlowHashAndAnOldPlainOneIsReplaced)
{
    using Outcome = SettingsManager::PinCheck::Outcome;
    SettingsFile file;
    {
        SettingsManager settings(file.path);
        settings.setPin(u"4711"_s);
        const QString stored = file.rawValue(u"Build"_s);
        EXPECT_TRUE(stored.startsWith(u"pbkdf2-sha256$"_s)) << stored.toStdString();
        EXPECT_FALSE(file.raw().contains("NDcxMQ==")) << "not the PIN's Base64 text";
        EXPECT_FALSE(file.raw().contains("4711"));
        settings.setPin(u"4711"_s);
        EXPECT_NE(file.rawValue(u"Build"_s), stored) << "a fresh salt for every PIN set";
        EXPECT_EQ(settings.checkPin(u"4711"_s).outcome, Outcome::Accepted);
        EXPECT_EQ(settings.checkPin(u"4712"_s).outcome, Outcome::Wrong);
        EXPECT_EQ(settings.checkPin(QString()).outcome, Outcome::Wrong);
    }
    {
        SCOPED_TRACE("a PIN an older version stored as Base64 is read once and replaced with its hash");
        file.writeRaw(u"Build"_s, u"NDcxMQ=="_s);
        SettingsManager settings(file.path);
        EXPECT_TRUE(settings.isPinSet());
        EXPECT_TRUE(settings.isLocked());
        EXPECT_TRUE(file.rawValue(u"Build"_s).startsWith(u"pbkdf2-sha256$"_s)) << file.raw().constData();
        EXPECT_FALSE(file.raw().contains("NDcxMQ=="));
        EXPECT_EQ(settings.checkPin(u"4711"_s).outcome, Outcome::Accepted);
    }
}

TEST(SettingsManager, AfterFiveWrongPinsEachTryWaitsLongerAlsoAcrossRestarts)
{
    using Outcome = SettingsManager::PinCheck::Outcome;
    SettingsFile file;
    SettingsManager settings(file.path);
    settings.setPin(u"1234"_s);
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int i = 1; i <= 4; ++i) {
        const auto check = settings.checkPin(u"0000"_s, start);
        EXPECT_EQ(check.outcome, Outcome::Wrong) << i;
        EXPECT_EQ(check.waitSeconds, 0) << "the first four wrong PINs cost nothing: " << i;
    }
    const auto fifth = settings.checkPin(u"0000"_s, start);
    EXPECT_EQ(fifth.outcome, Outcome::Wrong);
    EXPECT_EQ(fifth.waitSeconds, 30);
    {
        // Not even the right PIN is looked at while the delay runs, and a restart keeps it.
        SettingsManager restarted(file.path);
        const auto early = restarted.checkPin(u"1234"_s, start.addSecs(10));
        EXPECT_EQ(early.outcome, Outcome::TooEarly);
        EXPECT_EQ(early.waitSeconds, 20);
    }
    EXPECT_EQ(settings.checkPin(u"0000"_s, start.addSecs(31)).waitSeconds, 60) << "doubled";
    EXPECT_EQ(settings.checkPin(u"0000"_s, start.addSecs(100)).waitSeconds, 120);
    EXPECT_EQ(settings.checkPin(u"1234"_s, start.addSecs(150)).outcome, Outcome::TooEarly);
    EXPECT_EQ(settings.checkPin(u"1234"_s, start.addSecs(221)).outcome, Outcome::Accepted);
    EXPECT_EQ(settings.checkPin(u"0000"_s, start.addSecs(222)).waitSeconds, 0) << "counting starts again";
    // A clock put back never waits longer than the count asks for; the delay has a ceiling.
    EXPECT_EQ(SettingsManager::pinDelayAfter(4), 0);
    EXPECT_EQ(SettingsManager::pinDelayAfter(5), 30);
    EXPECT_EQ(SettingsManager::pinDelayAfter(1000), SettingsManager::kMaxPinDelay);
}

TEST(SettingsManager, TheSettingsFileAndTheFolderMadeForItAreTheUsersAlone)
{
    cv::test::TempDir dir;
    const auto modeOf = [](const std::string& path) {
        struct stat info = {};
        return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 07777u;
    };
    const mode_t oldMask = ::umask(022);
    {
        SettingsManager settings(QString::fromStdString(dir / "Ostrevane/Cindervault.ini"));
        settings.setPin(u"4711"_s);
        settings.setBool(true, SettingsManager::kSettingsGeneralDiagnose);
    }
    EXPECT_EQ(modeOf(dir / "Ostrevane/Cindervault.ini"), 0600u);
    EXPECT_EQ(modeOf(dir / "Ostrevane"), 0700u);
    {
        // A file an older version left readable by everyone is narrowed when it is opened.
        ASSERT_EQ(::chmod((dir / "Ostrevane/Cindervault.ini").c_str(), 0644), 0);
        SettingsManager settings(QString::fromStdString(dir / "Ostrevane/Cindervault.ini"));
        EXPECT_EQ(modeOf(dir / "Ostrevane/Cindervault.ini"), 0600u);
        EXPECT_TRUE(settings.isDiagnoseSet());
    }
    ::umask(oldMask);
}
