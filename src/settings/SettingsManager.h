#pragma once

#include <QAnyStringView>
#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <QVariantMap>

#include <atomic>
#include <optional>

namespace cv {

// The user's settings: one INI file per user (organisation "Ostrevane", application "Cindervault"),
// typed accessors whose defaults apply only while a key is absent, Base64 storage for string values,
// a registration domain that lives in memory only, and the in-memory authorisation state of the PIN
// lock. Every setter writes through to disk at once, so the window and cindervault-cli can use the
// same file side by side: QSettings merges each write into the file as it is on disk, under its lock
// file, and every reader looks at the file again before it reads.
//
// The application-wide notifications "AuthChanged" and "PinChanged" are the signals authChanged and
// pinChanged of the shared manager.
class SettingsManager : public QObject
{
    Q_OBJECT

public:
    // Keys of the store.
    static constexpr QStringView kSettingsDeletionDefaultMethod = u"kSettingsDeletionDefaultMethod";
    static constexpr QStringView kSettingsDeletionReportLocation = u"kSettingsDeletionReportLocation";
    static constexpr QStringView kSettingsDeletionReportFormat = u"kSettingsDeletionReportFormat";
    static constexpr QStringView kSettingsDeletionReportAutoSave = u"kSettingsDeletionReportAutoSave";
    static constexpr QStringView kSettingsDeletionReportShowSignature =
        u"kSettingsDeletionReportShowSignature";
    static constexpr QStringView kSettingsDeletionReportShouldCapFiles =
        u"kSettingsDeletionReportShouldCapFiles";
    static constexpr QStringView kSettingsDeletionReportShowQrCode = u"kSettingsDeletionReportShowQrCode";
    static constexpr QStringView kSettingsDeletionShowPrompt = u"kSettingsDeletionShowPrompt";
    static constexpr QStringView kSettingsDeletionVerifyLastPass = u"kSettingsDeletionVerifyLastPass";
    static constexpr QStringView kSettingsGeneralDiagnose = u"kSettingsGeneralDiagnose";
    static constexpr QStringView kSettingsNotificationsEnabled = u"kSettingsNotificationsEnabled";
    static constexpr QStringView kSettingsNotificationsSound = u"kSettingsNotificationsSound";
    static constexpr QStringView kSettingsNotificationsDismiss = u"kSettingsNotificationsDismiss";
    static constexpr QStringView kSettingsNotificationsInterval = u"kSettingsNotificationsInterval";
    // The Updates pane's: the interval in seconds, the last check in seconds since 1970 (UTC).
    static constexpr QStringView kSettingsUpdatesCheckAutomatically = u"kSettingsUpdatesCheckAutomatically";
    static constexpr QStringView kSettingsUpdatesDownloadAutomatically =
        u"kSettingsUpdatesDownloadAutomatically";
    static constexpr QStringView kSettingsUpdatesInterval = u"kSettingsUpdatesInterval";
    static constexpr QStringView kSettingsUpdatesLastCheck = u"kSettingsUpdatesLastCheck";
    static constexpr QStringView kBuild = u"Build"; // the application PIN, as a PinHash
    // Wrong PINs entered in a row, and when (seconds since 1970, UTC) the next one may be tried.
    static constexpr QStringView kSettingsPinFailures = u"kSettingsPinFailures";
    static constexpr QStringView kSettingsPinRetryAfter = u"kSettingsPinRetryAfter";
    static constexpr QStringView kEnableAutostart = u"Enable Autostart";
    static constexpr QStringView kPinp = u"PINP";
    static constexpr QStringView kAppleLanguages = u"AppleLanguages";

    // Names of the application-wide notifications, for logs and for code that dispatches on them.
    static constexpr QStringView AuthChanged = u"AuthChanged";
    static constexpr QStringView PinChanged = u"PinChanged";

    // The relative path below the Documents folder that holds the reports by default.
    static constexpr QStringView kDefaultReportSubfolder = u"Ostrevane/RendmarkMacReports";

    // The process-wide store on the user's own settings file, made on the first call (thread-safe).
    static SettingsManager& sharedManager();

    // A store on the INI file at filePath; for tests and tools that must not touch the user's file.
    explicit SettingsManager(const QString& filePath, QObject* parent = nullptr);
    ~SettingsManager() override;

    // The file the store reads and writes.
    QString fileName() const;

    // Strings are stored as the Base64 text of their UTF-8 bytes. A stored value that is not such a
    // text (not a string, not Base64, not UTF-8) reads as absent.
    void setString(const QString& string, QAnyStringView key);
    std::optional<QString> stringForKey(QAnyStringView key) const;
    QString stringForKey(QAnyStringView key, const QString& defaultValue) const;

    // Plain values. The readers without a default return the stored or registered value, and 0 or
    // false for an absent or unreadable one; those with a default return it while the key is absent
    // (or holds something that is not a number or a truth value).
    void setObject(const QVariant& value, QAnyStringView key);
    void setInteger(qint64 value, QAnyStringView key);
    void setBool(bool value, QAnyStringView key);
    QVariant objectForKey(QAnyStringView key) const;
    qint64 integerForKey(QAnyStringView key) const;
    qint64 integerForKey(QAnyStringView key, qint64 defaultValue) const;
    bool boolForKey(QAnyStringView key) const;
    bool boolForKey(QAnyStringView key, bool defaultValue) const;

    // Named settings.
    QString getReportPath() const;
    QString getReportFormat() const;
    bool shouldAutoSaveReports() const;
    bool showSignatureInReports() const;
    bool shouldCapFilesInReport() const;
    bool showQrCodeInReports() const;
    bool showSecurityPrompts() const;
    // Jobs read the last pass of every file back from the device (off unless chosen).
    bool verifiesLastPass() const;
    bool isDiagnoseSet() const;
    bool isNotificationsEnabeled() const;
    bool isNotificationsSoundEnabeled() const;
    bool shouldDissmissNoification() const;
    qint64 getDissmissInterval() const;
    // The interface language from the first entry of "AppleLanguages" ("en-US" gives "en",
    // "zh-Hans-CN" gives "zh-Hans"); empty when there is none.
    QString getCurrentLanguage() const;
    static QString parseLanguage(const QString& identifier);
    // The language the window shows: storedLanguage (getCurrentLanguage) when set, else the
    // desktop's; "en" where the desktop names none.
    static QString languageOrDesktop(const QString& storedLanguage);
    QString getInterfaceLanguage() const { return languageOrDesktop(getCurrentLanguage()); }

    // The application PIN ("Build"): kept as a salted slow hash (PinHash), never as the PIN; an
    // empty value means none. A PIN stored by an older version as plain Base64 text is read once,
    // when the store opens, and replaced with its hash.
    bool isPinSet() const;
    void setPin(const QString& pin); // emits pinChanged; the empty PIN removes it

    // The first kFreePinAttempts wrong PINs in a row cost nothing; each one after that makes the
    // next attempt wait, twice as long each time (kFirstPinDelay, doubled, at most kMaxPinDelay).
    // The count and the time are kept in the store, so that a restart does not reset them.
    static constexpr qint64 kFreePinAttempts = 4;
    static constexpr qint64 kFirstPinDelay = 30; // seconds, after the fifth wrong PIN
    static constexpr qint64 kMaxPinDelay = 3600;
    // Seconds to wait after the given number of wrong PINs in a row.
    static qint64 pinDelayAfter(qint64 failures);
    struct PinCheck
    {
        enum class Outcome
        {
            Accepted, // the PIN is right; the count of wrong ones starts again
            Wrong,    // counted; waitSeconds until the next attempt (0 for the first ones)
            TooEarly, // not checked at all: waitSeconds are left until the next attempt
        };
        Outcome outcome = Outcome::Wrong;
        qint64 waitSeconds = 0;
    };
    PinCheck checkPin(const QString& pin, const QDateTime& now = QDateTime::currentDateTimeUtc());
    // True while a PIN is set and the user has not entered it since start; remembered in locked().
    bool isLocked();
    bool locked() const { return m_locked; }
    bool isAuthed() const { return m_authed; }
    void setAuthed(); // emits authChanged
    void lockView();  // emits authChanged

    // Empties the whole persistent store: every key returns to its default and the PIN is removed
    // (emits pinChanged, since the PIN is gone).
    void reset();

signals:
    // A setter of this store wrote key (screens that show a setting follow it at once).
    void valueChanged(const QString& key);
    void authChanged();
    void pinChanged();

private:
    SettingsManager(); // on the user's own file
    // What both constructors do: register the defaults, narrow the file to the user, replace a
    // plain PIN with its hash, and evaluate the lock once.
    void openStore();
    void registerSettings();
    // The raw stored value of the PIN key: a PinHash, an older version's Base64 text, or empty.
    QString storedPin() const;
    // Replaces a PIN stored as plain Base64 text with its hash.
    void upgradePlainPin();
    // The settings file and the folders made for it are the user's alone: made 0600 before the
    // first write (QSettings replaces the file keeping its mode), an existing one narrowed to 0600.
    // Called with m_mutex held.
    void keepFilePrivate(bool createMissing);
    // The stored value, else the registered one, else an invalid QVariant. Takes m_mutex.
    QVariant lookup(QAnyStringView key) const;
    void store(QAnyStringView key, const QVariant& value);

    mutable QMutex m_mutex; // QSettings is reentrant, not thread-safe
    mutable QSettings m_settings;
    QVariantMap m_registered; // the registration domain; never written to disk
    std::atomic<bool> m_locked = false;
    std::atomic<bool> m_authed = false;
};

} // namespace cv
