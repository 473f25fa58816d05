#include "settings/SettingsManager.h"

#include "common/Log.h"
#include "common/PrivateFile.h"
#include "settings/PinHash.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// A truth value as the INI file holds it ("true", "false", a number) or as registered.
std::optional<bool> toBool(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong() != 0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.compare(u"true"_s, Qt::CaseInsensitive) == 0 ||
            text.compare(u"yes"_s, Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"false"_s, Qt::CaseInsensitive) == 0 ||
            text.compare(u"no"_s, Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        if (ok)
            return number != 0;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<qint64> toInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::QString: {
        bool ok = false;
        const qlonglong number = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return number;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Base64 of UTF-8 back to text; nothing when the stored value is not such a text.
std::optional<QString> decodeString(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QByteArray encoded = value.toString().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(*decoded);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace

SettingsManager& SettingsManager::sharedManager()
{
    static SettingsManager instance;
    return instance;
}

SettingsManager::SettingsManager()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, u"Ostrevane"_s, u"Cindervault"_s)
{
    m_settings.setFallbacksEnabled(false);
    // Signals go out to receivers on the GUI thread, wherever the first caller ran.
    if (auto* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
    openStore();
}

SettingsManager::SettingsManager(const QString& filePath, QObject* parent)
    : QObject(parent), m_settings(filePath, QSettings::IniFormat)
{
    m_settings.setFallbacksEnabled(false);
    openStore();
}

SettingsManager::~SettingsManager() = default;

void SettingsManager::openStore()
{
    registerSettings();
    {
        QMutexLocker lock(&m_mutex);
        keepFilePrivate(false);
    }
    upgradePlainPin();
    isLocked();
}

QString SettingsManager::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings.fileName();
}

void SettingsManager::registerSettings()
{
    QMutexLocker lock(&m_mutex);
    m_registered.insert(kBuild.toString(), QString());
    m_registered.insert(kEnableAutostart.toString(), false);
}

QVariant SettingsManager::lookup(QAnyStringView key) const
{
    QMutexLocker lock(&m_mutex);
    // Pick up what another process (the window or the command line) wrote since the last look;
    // QSettings only rereads the file when its size or time stamp changed.
    m_settings.sync();
    QVariant value = m_settings.value(key);
    if (value.isValid())
        return value;
    return m_registered.value(key.toString());
}

void SettingsManager::keepFilePrivate(bool createMissing)
{
    const std::string path = QFile::encodeName(m_settings.fileName()).toStdString();
    if (!createMissing) {
        if (::access(path.c_str(), F_OK) != 0)
            return;
        if (auto narrowed = PrivateFile::restrictFile(path); !narrowed)
            logMessage("Settings file not made private: ", narrowed.error());
        return;
    }
    const std::string folder = QFile::encodeName(QFileInfo(m_settings.fileName()).path()).toStdString();
    if (auto made = PrivateFile::createFolders(folder); !made) {
        logMessage("Settings folder: ", made.error());
        return;
    }
    // Not truncated: an existing file keeps what it holds; O_NONBLOCK so that nothing put in its
    // place can stall the program.
    const UniqueFd fd(::open(path.c_str(),
                             O_WRONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC,
                             PrivateFile::kFileMode));
    if (!fd) {
        logMessage("Settings file ", path, " cannot be opened: ", std::strerror(errno));
        return;
    }
    if (auto checked = PrivateFile::checkOwnFile(fd.get()); !checked)
        logMessage("Settings file not made private: ", checked.error(), ": ", path);
}

void SettingsManager::store(QAnyStringView key, const QVariant& value)
{
    {
        QMutexLocker lock(&m_mutex);
        keepFilePrivate(true);
        m_settings.setValue(key, value);
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError)
            logMessage("Settings could not be written to ", m_settings.fileName().toStdString(), " (key ",
                       key.toString().toStdString(), ")");
    }
    emit valueChanged(key.toString());
}

void SettingsManager::setString(const QString& string, QAnyStringView key)
{
    store(key, QString::fromLatin1(string.toUtf8().toBase64()));
}

std::optional<QString> SettingsManager::stringForKey(QAnyStringView key) const
{
    const QVariant value = lookup(key);
    if (!value.isValid())
        return std::nullopt;
    return decodeString(value);
}

QString SettingsManager::stringForKey(QAnyStringView key, const QString& defaultValue) const
{
    return stringForKey(key).value_or(defaultValue);
}

void SettingsManager::setObject(const QVariant& value, QAnyStringView key)
{
    store(key, value);
}

void SettingsManager::setInteger(qint64 value, QAnyStringView key)
{
    store(key, value);
}

void SettingsManager::setBool(bool value, QAnyStringView key)
{
    store(key, value);
}

QVariant SettingsManager::objectForKey(QAnyStringView key) const
{
    return lookup(key);
}

qint64 SettingsManager::integerForKey(QAnyStringView key) const
{
    return integerForKey(key, 0);
}

qint64 SettingsManager::integerForKey(QAnyStringView key, qint64 defaultValue) const
{
    return toInteger(lookup(key)).value_or(defaultValue);
}

bool SettingsManager::boolForKey(QAnyStringView key) const
{
    return boolForKey(key, false);
}

bool SettingsManager::boolForKey(QAnyStringView key, bool defaultValue) const
{
    return toBool(lookup(key)).value_or(defaultValue);
}

QString SettingsManager::getReportPath() const
{
    QString documents = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0);
    if (documents.isEmpty())
        documents = QDir::home().filePath(u"Documents"_s);
    return stringForKey(kSettingsDeletionReportLocation,
                        QDir(documents).filePath(kDefaultReportSubfolder.toString()));
}

QString SettingsManager::getReportFormat() const
{
    return stringForKey(kSettingsDeletionReportFormat, u"PDF"_s);
}

bool SettingsManager::shouldAutoSaveReports() const
{
    return boolForKey(kSettingsDeletionReportAutoSave, true);
}

bool SettingsManager::showSignatureInReports() const
{
    return boolForKey(kSettingsDeletionReportShowSignature, true);
}

bool SettingsManager::shouldCapFilesInReport() const
{
    return boolForKey(kSettingsDeletionReportShouldCapFiles, false);
}

bool SettingsManager::showQrCodeInReports() const
{
    return boolForKey(kSettingsDeletionReportShowQrCode, true);
}

bool SettingsManager::showSecurityPrompts() const
{
    return boolForKey(kSettingsDeletionShowPrompt, true);
}

bool SettingsManager::verifiesLastPass() const
{
    return boolForKey(kSettingsDeletionVerifyLastPass, false);
}

bool SettingsManager::isDiagnoseSet() const
{
    return boolForKey(kSettingsGeneralDiagnose, false);
}

bool SettingsManager::isNotificationsEnabeled() const
{
    return boolForKey(kSettingsNotificationsEnabled, true);
}

bool SettingsManager::isNotificationsSoundEnabeled() const
{
    return boolForKey(kSettingsNotificationsSound, true);
}

bool SettingsManager::shouldDissmissNoification() const
{
    return boolForKey(kSettingsNotificationsDismiss, false);
}

qint64 SettingsManager::getDissmissInterval() const
{
    return integerForKey(kSettingsNotificationsInterval, 60);
}

QString SettingsManager::getCurrentLanguage() const
{
    // A one-entry list comes back from the INI file as a plain string; toStringList takes both.
    const QStringList languages = lookup(kAppleLanguages).toStringList();
    if (languages.isEmpty())
        return {};
    return parseLanguage(languages.first());
}

QString SettingsManager::languageOrDesktop(const QString& storedLanguage)
{
    if (!storedLanguage.isEmpty())
        return storedLanguage;
    const QStringList desktop = QLocale::system().uiLanguages();
    const QString language = desktop.isEmpty() ? QString() : parseLanguage(desktop.first());
    // The C locale (no LANG set) reads as English.
    return language.isEmpty() || language == u"C"_s ? u"en"_s : language;
}

QString SettingsManager::parseLanguage(const QString& identifier)
{
    const QStringList parts = identifier.split(u'-');
    if (parts.size() == 2)
        return parts[0];
    if (parts.size() == 3)
        return parts[0] + u'-' + parts[1];
    return identifier;
}

QString SettingsManager::storedPin() const
{
    const QVariant value = lookup(kBuild);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void SettingsManager::upgradePlainPin()
{
    const QString stored = storedPin();
    if (stored.isEmpty() || PinHash::isHash(stored))
        return;
    const std::optional<QString> plain = decodeString(stored);
    if (!plain || plain->isEmpty())
        return;
    store(kBuild, PinHash::make(*plain));
    logLine("The PIN stored as plain text was replaced with its hash");
}

bool SettingsManager::isPinSet() const
{
    const QString stored = storedPin();
    if (PinHash::isHash(stored))
        return true;
    // An older version's plain value that could not be replaced yet (a file that cannot be written).
    return !decodeString(stored).value_or(QString()).isEmpty();
}

void SettingsManager::setPin(const QString& pin)
{
    store(kBuild, pin.isEmpty() ? QString() : PinHash::make(pin));
    store(kSettingsPinFailures, 0);
    store(kSettingsPinRetryAfter, 0);
    emit pinChanged();
}

qint64 SettingsManager::pinDelayAfter(qint64 failures)
{
    if (failures <= kFreePinAttempts)
        return 0;
    const qint64 doublings = std::min<qint64>(failures - kFreePinAttempts - 1, 20);
    return std::min(kFirstPinDelay << doublings, kMaxPinDelay);
}

SettingsManager::PinCheck SettingsManager::checkPin(const QString& pin, const QDateTime& now)
{
    const qint64 failures = std::max<qint64>(integerForKey(kSettingsPinFailures, 0), 0);
    const qint64 nowSeconds = now.toSecsSinceEpoch();
    // Never longer than the count asks for, so that a clock put back cannot lock the user out.
    const qint64 wait =
        std::min(integerForKey(kSettingsPinRetryAfter, 0) - nowSeconds, pinDelayAfter(failures));
    if (wait > 0)
        return {PinCheck::Outcome::TooEarly, wait};

    const QString stored = storedPin();
    const bool right = PinHash::isHash(stored)
                           ? PinHash::matches(stored, pin)
                           : !pin.isEmpty() && decodeString(stored).value_or(QString()) == pin;
    if (right) {
        if (failures > 0) {
            store(kSettingsPinFailures, 0);
            store(kSettingsPinRetryAfter, 0);
        }
        return {PinCheck::Outcome::Accepted, 0};
    }
    const qint64 delay = pinDelayAfter(failures + 1);
    store(kSettingsPinFailures, failures + 1);
    store(kSettingsPinRetryAfter, nowSeconds + delay);
    logMessage("Wrong PIN entered (", failures + 1, " in a row)");
    return {PinCheck::Outcome::Wrong, delay};
}

bool SettingsManager::isLocked()
{
    const bool result = !m_authed && isPinSet();
    m_locked = result;
    return result;
}

void SettingsManager::setAuthed()
{
    m_authed = true;
    emit authChanged();
}

void SettingsManager::lockView()
{
    m_authed = false;
    emit authChanged();
}

void SettingsManager::reset()
{
    {
        QMutexLocker lock(&m_mutex);
        keepFilePrivate(true);
        m_settings.sync(); // know the keys another process added, so that they go too
        m_settings.clear();
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError)
            logMessage("Settings could not be reset in ", m_settings.fileName().toStdString());
    }
    emit pinChanged();
}

} // namespace cv
