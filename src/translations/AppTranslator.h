#pragma once

#include <QCoreApplication>
#include <QString>

namespace cv {

// Loads the interface translations and binds the engine's localized-text hook to them. English is
// the source language, but some keys are symbols ("cannot_delete_hdd") or German method titles, so
// an English table is always installed under the chosen language's. The tables are resources of
// this small library, which the command line links too (its engine texts follow the stored
// language when that is German).
class AppTranslator
{
public:
    // The language to show: the first entry of "AppleLanguages" when set, else the desktop's.
    static QString languageAtStartup(const QString& storedLanguage);
    // Installs the English table and, for a language other than English, its table when one
    // exists, and Qt's own table of that language (qtbase_<language> from Qt's translations
    // folder) so that Qt's dialogs speak it too; makes that language's QLocale the default, so that
    // numbers follow it; binds cv::setLocalizer to Qt's translator (context "Shared"). A second
    // call replaces what the first installed. Returns the language whose table is in use ("en"
    // when there was none for the language asked for).
    static QString install(QCoreApplication& app, const QString& language);
    // The language install() put in use last; empty before.
    static QString languageInUse();
    // Binds only the engine's hook (cv::localized) to the tables of language, for a program
    // without an application object (the command line). Returns the language in use.
    static QString bindEngineTexts(const QString& language);
    // Binds only cv::localizedIn(), the lookup in a given language's tables, for a program whose
    // own texts stay English while what it makes (a German report) needs another language's.
    static void bindLanguageLookup();
    // Texts asked for through cv::localized() (engine, notifications) live under this context.
    static constexpr const char* kSharedContext = "Shared";
};

} // namespace cv
