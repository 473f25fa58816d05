#pragma once

#include <QAnyStringView>
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
// The application-wide notifications "AuthChanged", "PinChanged" and "ReportGenerated" are the
// signals authChanged, pinChanged and reportGenerated of the shared manager.
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
    static constexpr QStringView kBuild = u"Build"; // the application PIN
    static constexpr QStringView kEnableAutostart = u"Enable Autostart";
    static constexpr QStringView kPinp = u"PINP";
    static constexpr QStringView kAppleLanguages = u"AppleLanguages";

    // Names of the application-wide notifications, for logs and for code that dispatches on them.
    static constexpr QStringView AuthChanged = u"AuthChanged";
    static constexpr QStringView PinChanged = u"PinChanged";
    static constexpr QStringView ReportGenerated = u"ReportGenerated";

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

    // The application PIN ("Build"); an empty PIN means none.
    QString getCurrentPin() const;
    bool isPinSet() const;
    void setPin(const QString& pin); // emits pinChanged
    // True while a PIN is set and the user has not entered it since start; remembered in locked().
    bool isLocked();
    bool locked() const { return m_locked; }
    bool isAuthed() const { return m_authed; }
    void setAuthed(); // emits authChanged
    void lockView();  // emits authChanged

    // Empties the whole persistent store: every key returns to its default and the PIN is removed
    // (emits pinChanged, since the PIN is gone).
    void reset();

    // Announces that a report file was written (or its writing was attempted).
    void postReportGenerated() { emit reportGenerated(); }

signals:
    void authChanged();
    void pinChanged();
    void reportGenerated();

private:
    SettingsManager(); // on the user's own file
    void registerSettings();
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
