// The translation tables against the sources. A key is marked where it stands (a method's row, the
// report's words, the engine's list) and reaches the tables only through lupdate; its English and
// German texts live in the tables alone, and code without Qt reads the English table's texts from
// a copy the build makes.
#include "common/Localization.h"
#include "engine/MethodCatalogue.h"

#include <QString>
#include <QTranslator>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// Every key the sources mark for the tables under context "Shared", with a file that marks it.
std::map<std::string, std::string> sharedKeys()
{
    const std::regex mark(R"re((?:QT|CV)_TRANSLATE_NOOP\("Shared",\s*"([^"]*)"\))re");
    std::map<std::string, std::string> keys;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CINDERVAULT_SOURCE_DIR)) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h")
            continue;
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), mark), end; it != end; ++it)
            keys.emplace((*it)[1], entry.path().filename().string());
    }
    return keys;
}

QString fromTable(const QTranslator& table, const std::string& key)
{
    return table.translate("Shared", key.c_str());
}

} // namespace

TEST(Translations, EveryKeyTheSourcesMarkHasItsGermanText)
{
    // A key added to a method's row or to the report without running lupdate, or left untranslated,
    // shows English in a German window and a German report.
    QTranslator german;
    ASSERT_TRUE(german.load(u"cindervault_de"_s, u":/translations"_s));
    const std::map<std::string, std::string> keys = sharedKeys();
    for (const char* marked : {" 1 Runde: Zufallswerte", "IDS__ALGORITHM_DETAIL_RANDOM", "Deleted, verified",
                               "Skipped", "Path no writable"})
        ASSERT_TRUE(keys.contains(marked)) << marked << " is no longer found where it stands";
    for (const auto& [key, file] : keys)
        EXPECT_FALSE(fromTable(german, key).isEmpty()) << file << ": \"" << key << "\" has no German text";
}

TEST(Translations, WithoutATranslatorEveryKeyReadsAsTheEnglishTableHasIt)
{
    // The engine and the command line in English read englishText(), which the build takes from the
    // English table: it must give the table's text for every key that has one (apostrophes and all)
    // and the key itself for the others.
    QTranslator english;
    ASSERT_TRUE(english.load(u"cindervault_en"_s, u":/translations"_s));
    for (const auto& [key, file] : sharedKeys()) {
        const QString text = fromTable(english, key);
        EXPECT_EQ(cv::englishText(key), text.isEmpty() ? key : text.toStdString()) << file << ": " << key;
    }
    // A method's keys are a German title and a symbol: without an English text of their own, an
    // English menu shows the German title and the symbol.
    for (const cv::MethodCatalogue::Row& row : cv::MethodCatalogue::rows()) {
        if (row.passes == 0)
            continue;
        for (std::string_view key : {row.title, row.descriptionKey})
            EXPECT_NE(cv::englishText(key), key)
                << row.identifier << ": \"" << key << "\" has no English text";
    }
}
