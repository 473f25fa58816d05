#include "common/Localization.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace cv {

namespace {

std::mutex g_mutex;
std::shared_ptr<const Localizer> g_localizer;
std::shared_ptr<const LanguageLocalizer> g_languageLocalizer;

// English texts of the symbol keys, of the method titles, whose keys are German, and of the
// notices whose keys are misspelt or name the product by another name (the keys stay as they are:
// the translation tables are made from them). Keys that are proper English already need no entry.
const std::unordered_map<std::string_view, std::string_view>& englishTable()
{
    static const std::unordered_map<std::string_view, std::string_view> table{
        {"50 Runden: Ostrevane DWA (2007)", "50 passes: Ostrevane DWA (2007)"},
        {"35 Runden: Gutmann Methode", "35 passes: Gutmann method"},
        {" 8 Runden: Deutsche BSI TL-03423", " 8 passes: German BSI TL-03423"},
        {" 7 Runden: NATO Standard", " 7 passes: NATO standard"},
        {" 7 Runden: DoD 5220.22-M ECE", " 7 passes: DoD 5220.22-M ECE"},
        {" 7 Runden: Canadian RCMP TSSIT OPS-II", " 7 passes: Canadian RCMP TSSIT OPS-II"},
        {" 5 Runden: BSI-2011-VS", " 5 passes: BSI-2011-VS"},
        {" 4 Runden: Ostrevane ADWA (2017)", " 4 passes: Ostrevane ADWA (2017)"},
        {" 4 Runden: DoD 5220.22-M E für SSD", " 4 passes: DoD 5220.22-M E for SSD"},
        {" 3 Runden: Canadian CSEC ITSG-06", " 3 passes: Canadian CSEC ITSG-06"},
        {" 3 Runden: HMG Nr. 5 erweitert", " 3 passes: HMG No. 5 enhanced"},
        {" 3 Runden: AFSSI-5020", " 3 passes: AFSSI-5020"},
        {" 3 Runden: NAVO P-5239-26 (MFM)", " 3 passes: NAVO P-5239-26 (MFM)"},
        {" 3 Runden: NAVO P-5239-26 (RLL)", " 3 passes: NAVO P-5239-26 (RLL)"},
        {" 3 Runden: US Army AR380-19", " 3 passes: US Army AR380-19"},
        {" 3 Runden: DoD 5220.22-M E", " 3 passes: DoD 5220.22-M E"},
        {" 3 Runden: NCSC-TG-025", " 3 passes: NCSC-TG-025"},
        {" 2 Runden: Russian GOST R 50739-95", " 2 passes: Russian GOST R 50739-95"},
        {" 1 Runde: Australien ISM 6.2.92", " 1 pass: Australian ISM 6.2.92"},
        {" 1 Runde: 0XFF für SSD", " 1 pass: 0xFF for SSD"},
        {" 1 Runde: Zufallswerte", " 1 pass: random data"},
        {"IDS__ALGORITHM_DETAIL_OV",
         "Ostrevane's own 50-pass method: five random passes, two random three-byte patterns, two zero "
         "passes, twenty-five passes of the Gutmann table, a zero pass, five more random three-byte "
         "patterns and ten random passes. The most thorough and the slowest method."},
        {"IDS__ALGORITHM_DETAIL_GUTMANN",
         "Peter Gutmann's 35-pass method: four random passes, twenty-seven fixed patterns aimed at the "
         "encodings of older magnetic drives, and four more random passes. Very slow; meant for old hard "
         "disks."},
        {"IDS__ALGORITHM_DETAIL_BSI",
         "Guideline TL-03423 of the German Federal Office for Information Security: eight passes of zeros "
         "and ones, alternating, with one pass of a random byte."},
        {"IDS__ALGORITHM_DETAIL_M7",
         "NATO standard: seven passes, zeros and ones in turn, ending with a pass of ones."},
        {"IDS__ALGORITHM_DETAIL_DOD2",
         "US Department of Defense 5220.22-M ECE: seven passes of zeros, the bytes 0x35 and 0xCA, a random "
         "byte and three more passes of zeros."},
        {"DESC_CANADIANRCMPTSSITOPSII",
         "Royal Canadian Mounted Police TSSIT OPS-II: six passes of alternating zeros and ones, then a pass "
         "of a random byte."},
        {"IDS__ALGORITHM_DETAIL_BSI2011",
         "BSI-2011-VS of the German Federal Office for Information Security: zeros, ones, zeros, a random "
         "byte and ones, in five passes."},
        {"DESC_ADWA",
         "Ostrevane's 4-pass method of 2017: first every block of the file is rewritten with an AES-256 "
         "transformation of its own content under a random key, then passes of ones, the pattern "
         "92 49 24 and a random byte follow."},
        {"IDS__ALGORITHM_DETAIL_DOD_SSD",
         "US Department of Defense 5220.22-M E for solid-state drives: four passes of the bytes 0x00, "
         "0xFF, 0xAA and 0x55."},
        {"DESC_CSEC", "Communications Security Establishment Canada ITSG-06: three passes of random data."},
        {"IDS__ALGORITHM_DETAIL_HMG",
         "British HMG Infosec Standard No. 5, enhanced: two passes of zeros and one of ones."},
        {"IDS__ALGORITHM_DETAIL_M3_1", "US Air Force AFSSI-5020: two passes of zeros and one of ones."},
        {"IDS__ALGORITHM_DETAIL_M3_2",
         "US Navy NAVO P-5239-26 for MFM-encoded drives: the words 0x00000000, 0xFFFFFFFF and 0xBFFFFFFF, "
         "one per pass."},
        {"IDS__ALGORITHM_DETAIL_M3_3",
         "US Navy NAVO P-5239-26 for RLL-encoded drives: a random word, then the words 0xFFFFFFFF and "
         "0x27FFFFFF."},
        {"IDS__ALGORITHM_DETAIL_AR380", "US Army AR380-19: zeros, a random byte, zeros, in three passes."},
        {"IDS__ALGORITHM_DETAIL_DOD",
         "US Department of Defense 5220.22-M E: three passes of the bytes 0x00, 0x35 and 0xCA."},
        {"DESC_NCSCTG025",
         "US National Computer Security Center NCSC-TG-025: zeros, ones and a random byte, in three "
         "passes."},
        {"DESC_RUSSIANGOSTR50739",
         "Russian standard GOST R 50739-95: a pass of zeros followed by a pass of a random byte."},
        {"IDS__ALGORITHM_DETAIL_M1", "Australian ISM 6.2.92: one pass of random data."},
        {"IDS__ALGORITHM_DETAIL_SSD", "One pass of the byte 0xFF, gentle on solid-state drives."},
        {"IDS__ALGORITHM_DETAIL_RANDOM", "One pass of random data: fast, and enough for modern drives."},
        {"close", "Close"},
        {"The freespace has been completly overwritten", "The free space has been completely overwritten"},
        {"The volume has been completly erased", "The volume has been completely erased"},
        {"The deletion of %ld file(s) with %ld errors has been finished",
         "The deletion of %ld file(s) has finished with %ld error(s)"},
        {"Protecetd", "Protected"},
        {"Path no writable", "Path not writable"},
        {"Rendmark Mac 2 is now secured with a pin", "Cindervault is now secured with a PIN"},
        {"Notification are now enabled", "Notifications are now enabled"},
        {"Notification are now disabled", "Notifications are now disabled"},
    };
    return table;
}

} // namespace

void setLocalizer(Localizer localizer)
{
    auto next = localizer ? std::make_shared<const Localizer>(std::move(localizer)) : nullptr;
    std::lock_guard lock(g_mutex);
    g_localizer = std::move(next);
}

std::string englishText(std::string_view key)
{
    const auto& table = englishTable();
    const auto it = table.find(key);
    return std::string(it == table.end() ? key : it->second);
}

std::string localized(std::string_view key)
{
    std::shared_ptr<const Localizer> localizer;
    {
        std::lock_guard lock(g_mutex);
        localizer = g_localizer;
    }
    if (localizer) {
        if (std::optional<std::string> text = (*localizer)(key))
            return std::move(*text);
    }
    return englishText(key);
}

void setLanguageLocalizer(LanguageLocalizer localizer)
{
    auto next = localizer ? std::make_shared<const LanguageLocalizer>(std::move(localizer)) : nullptr;
    std::lock_guard lock(g_mutex);
    g_languageLocalizer = std::move(next);
}

std::string localizedIn(std::string_view key, std::string_view language)
{
    std::shared_ptr<const LanguageLocalizer> localizer;
    {
        std::lock_guard lock(g_mutex);
        localizer = g_languageLocalizer;
    }
    if (localizer) {
        if (std::optional<std::string> text = (*localizer)(key, language))
            return std::move(*text);
    }
    return englishText(key);
}

} // namespace cv
