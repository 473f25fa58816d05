#include "translations/AppTranslator.h"

#include "common/Language.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <map>
#include <mutex>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The texts that code without widgets (the engine, notifications) looks up through cv::localized(),
// listed so that lupdate puts them into the tables. The methods' titles and descriptions are not
// among them: lupdate reads those keys from the method catalogue's rows.
[[maybe_unused]] const char* const kEngineTexts[] = {
    QT_TRANSLATE_NOOP("Shared", "Erasing Data"),
    QT_TRANSLATE_NOOP("Shared", "Complete Erase"),
    QT_TRANSLATE_NOOP("Shared", "Freespace Erase only"),
    QT_TRANSLATE_NOOP("Shared", "Initialising"),
    QT_TRANSLATE_NOOP("Shared", "%1 of %2"),
    QT_TRANSLATE_NOOP("Shared", "Canceling..."),
    QT_TRANSLATE_NOOP("Shared", "Formatting"),
    QT_TRANSLATE_NOOP("Shared", "Waiting for authorization..."),
    QT_TRANSLATE_NOOP("Shared", "Path no writable"),
    QT_TRANSLATE_NOOP("Shared", "Failed to open file"),
    QT_TRANSLATE_NOOP("Shared", "Failed to write file"),
    QT_TRANSLATE_NOOP("Shared", "File has other hard links"),
    QT_TRANSLATE_NOOP("Shared", "Mount point, left in place"),
    QT_TRANSLATE_NOOP("Shared", "Read-only file system"),
    QT_TRANSLATE_NOOP("Shared", "Kernel file system, left in place"),
    QT_TRANSLATE_NOOP("Shared", "Folder could not be read"),
    QT_TRANSLATE_NOOP("Shared", "Not overwritten, left in place"),
    QT_TRANSLATE_NOOP("Shared", "Overwritten, but could not be deleted"),
    QT_TRANSLATE_NOOP("Shared", "Overwritten, not deleted: the job was cancelled"),
    QT_TRANSLATE_NOOP("Shared", "Overwritten, not verified: the job was cancelled"),
    QT_TRANSLATE_NOOP("Shared", "Verification failed"),
    QT_TRANSLATE_NOOP("Shared", "first difference at byte"),
    QT_TRANSLATE_NOOP("Shared", "Deleted, but its name could not be removed first"),
    QT_TRANSLATE_NOOP("Shared", "Folder could not be deleted"),
    QT_TRANSLATE_NOOP("Shared", "Free space could not be wiped"),
    QT_TRANSLATE_NOOP("Shared", "Flushing the volume failed"),
    QT_TRANSLATE_NOOP("Shared", "Overwritten in part: the job was cancelled"),
    QT_TRANSLATE_NOOP("Shared", "Replaced since it was overwritten, left in place"),
    QT_TRANSLATE_NOOP("Shared", "File kept growing while it was overwritten"),
    QT_TRANSLATE_NOOP("Shared", "Overwritten, but it grew since: left in place"),
    QT_TRANSLATE_NOOP("Shared", "Deletions could not be synced to the volume"),
    QT_TRANSLATE_NOOP("Shared", "Reformatting failed"),
    QT_TRANSLATE_NOOP("Shared", "the privileged helper is not available"),
    QT_TRANSLATE_NOOP("Shared", "the volume is not on a device that can be reformatted"),
    QT_TRANSLATE_NOOP("Shared", "Snapshots could not be deleted"),
    QT_TRANSLATE_NOOP("Shared", "could not be deleted"),
    QT_TRANSLATE_NOOP("Shared", "Success"),
    QT_TRANSLATE_NOOP("Shared", "Errors"),
    QT_TRANSLATE_NOOP("Shared", "The job has ended with %ld error(s)"),
    QT_TRANSLATE_NOOP("Shared", "The package system's answers (debconf database)"),
    QT_TRANSLATE_NOOP("Shared", "The name server's zones and keys (BIND working folder)"),
    QT_TRANSLATE_NOOP("Shared", "Renaming File"),
    QT_TRANSLATE_NOOP("Shared", "Renaming Files"),
    QT_TRANSLATE_NOOP("Shared", "Securely wiping the freespace"),
    QT_TRANSLATE_NOOP("Shared", "Another wipe of this volume is running"),
    QT_TRANSLATE_NOOP("Shared", "The fill folder lies on another volume"),
    QT_TRANSLATE_NOOP("Shared", "no folder on %1 where you may write"),
    QT_TRANSLATE_NOOP("Shared", "close"),
    QT_TRANSLATE_NOOP("Shared", "Canceled"),
    QT_TRANSLATE_NOOP("Shared", "Finished"),
    QT_TRANSLATE_NOOP("Shared", "Finished with errors"),
    QT_TRANSLATE_NOOP("Shared", "The deletion has been canceled"),
    QT_TRANSLATE_NOOP("Shared", "The freespace has been completly overwritten"),
    QT_TRANSLATE_NOOP("Shared", "The volume has been completly erased"),
    QT_TRANSLATE_NOOP("Shared", "Old content may remain on %1 until its free space is wiped"),
    QT_TRANSLATE_NOOP("Shared", "The free space has been overwritten in part"),
    QT_TRANSLATE_NOOP("Shared", "%1 reserved by the file system could not be written"),
    QT_TRANSLATE_NOOP("Shared", "The deletion of %ld file(s) with %ld errors has been finished"),
    QT_TRANSLATE_NOOP("Shared", "Protecetd"),
    QT_TRANSLATE_NOOP("Shared", "Rendmark Mac 2 is now secured with a pin"),
    QT_TRANSLATE_NOOP("Shared", "Settings Changed"),
    QT_TRANSLATE_NOOP("Shared", "Notification are now enabled"),
    QT_TRANSLATE_NOOP("Shared", "Notification are now disabled"),
    QT_TRANSLATE_NOOP("Shared", "New version available"),
    QT_TRANSLATE_NOOP("Shared", "Cindervault %1 is available. Install it with your package manager."),
    QT_TRANSLATE_NOOP("Shared", "Release notes: %1"),
};

QString& installedLanguage()
{
    static QString language;
    return language;
}

// The tables install() put in, so that a second call replaces them rather than adding to them.
QList<QPointer<QTranslator>>& installedTables()
{
    static QList<QPointer<QTranslator>> tables;
    return tables;
}

// Qt's own table of a language (the file panels', the standard buttons' and the print dialog's
// texts), or null for English, Qt's source language, and when it is not installed.
QTranslator* loadQtTable(const QString& language, QObject* parent)
{
    if (language == u"en"_s)
        return nullptr;
    auto* translator = new QTranslator(parent);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(u"qtbase_"_s + language, folder)) {
        delete translator;
        logMessage("Translations: Qt's own table for ", language.toStdString(), " is missing in ",
                   folder.toStdString(), " (package qt6-translations-l10n); Qt's dialogs stay in English");
        return nullptr;
    }
    return translator;
}

// Numbers, dates and Qt's dialogs follow the language shown: the desktop's own conventions when
// it speaks that language (en_GB stays British), else the language's.
void useLocaleOf(const QString& language)
{
    const QLocale system = QLocale::system();
    const QLocale wanted(language);
    QLocale::setDefault(system.language() == wanted.language() ? system : wanted);
}

// The table of a language, or null when there is none. parent owns it (may be null).
QTranslator* loadTable(const QString& language, QObject* parent)
{
    auto* translator = new QTranslator(parent);
    if (!translator->load(u"cindervault_"_s + language, u":/translations"_s)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

// Loads the English table and, for German, the German one first; returns the language in use.
QString loadTables(const QString& asked, QObject* parent, QList<QTranslator*>& tables)
{
    // German or English, as every part of the program decides it: "de-CH" reads the German tables.
    const std::string_view tag = spokenLanguage(asked.toStdString());
    const QString language = QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
    QString inUse = u"en"_s;
    if (language != u"en"_s) {
        if (QTranslator* table = loadTable(language, parent)) {
            tables.append(table);
            inUse = language;
        } else {
            logMessage("Translations: no table for language ", language.toStdString(), ", using English");
        }
    }
    if (QTranslator* english = loadTable(u"en"_s, parent))
        tables.append(english);
    else
        logLine("Translations: the English table is missing");
    return inUse;
}

// The text of key from the first of tables that knows it, so that a German method title that
// reads the same in German is taken as German, not mistaken for an unknown key.
template <typename Table>
std::optional<std::string> translateIn(const QList<Table>& tables, std::string_view key)
{
    const QByteArray source(key.data(), static_cast<qsizetype>(key.size()));
    for (const Table& table : tables) {
        if (!table)
            continue;
        const QString text = table->translate(AppTranslator::kSharedContext, source.constData());
        if (!text.isNull())
            return text.toStdString();
    }
    return std::nullopt;
}

// The text of key in the tables of a language (English's after the language's own), whatever
// language the program shows. Each language's tables are loaded when first asked for and kept for
// the life of the process, since the lookup may come from any thread until the end.
std::optional<std::string> translateInLanguage(std::string_view key, std::string_view language)
{
    static std::mutex mutex;
    static std::map<QString, QList<QTranslator*>> tablesByLanguage;
    const QString name = QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size()));
    QList<QTranslator*> tables;
    {
        std::lock_guard lock(mutex);
        auto known = tablesByLanguage.find(name);
        if (known == tablesByLanguage.end()) {
            QList<QTranslator*> loaded;
            loadTables(name, nullptr, loaded);
            known = tablesByLanguage.emplace(name, std::move(loaded)).first;
        }
        tables = known->second;
    }
    return translateIn(tables, key);
}

// Binds the engine's hooks: cv::localized() to tables, cv::localizedIn() to each language's own.
void bindLocalizer(const QList<QTranslator*>& tables)
{
    QList<QPointer<QTranslator>> guarded;
    for (QTranslator* table : tables)
        guarded.append(table);
    setLocalizer([guarded](std::string_view key) { return translateIn(guarded, key); });
    setLanguageLocalizer(translateInLanguage);
}

} // namespace

QString AppTranslator::languageAtStartup(const QString& storedLanguage)
{
    return SettingsManager::languageOrDesktop(storedLanguage);
}

QString AppTranslator::install(QCoreApplication& app, const QString& language)
{
    QList<QTranslator*> tables;
    const QString inUse = loadTables(language, &app, tables);
    // The tables of an earlier call go: one language at a time.
    for (const QPointer<QTranslator>& table : std::as_const(installedTables())) {
        if (table) {
            QCoreApplication::removeTranslator(table);
            delete table.data();
        }
    }
    installedTables().clear();
    // Installed last is asked first: Qt's own table goes in first, then English, then ours.
    QList<QTranslator*> installing = tables;
    if (QTranslator* qtTable = loadQtTable(inUse, &app))
        installing.append(qtTable);
    for (auto it = installing.crbegin(); it != installing.crend(); ++it) {
        QCoreApplication::installTranslator(*it);
        installedTables().append(*it);
    }
    bindLocalizer(tables);
    useLocaleOf(inUse);
    installedLanguage() = inUse;
    return inUse;
}

QString AppTranslator::bindEngineTexts(const QString& language)
{
    // Kept for the life of the process: the hook may be asked from any thread until the end.
    static QList<QTranslator*> tables;
    static QString inUse;
    if (tables.isEmpty())
        inUse = loadTables(language, nullptr, tables);
    bindLocalizer(tables);
    return inUse;
}

void AppTranslator::bindLanguageLookup()
{
    setLanguageLocalizer(translateInLanguage);
}

QString AppTranslator::languageInUse()
{
    return installedLanguage();
}

} // namespace cv
