#include "engine/AlgorithmCollection.h"

#include "common/Localization.h"

#include <array>
#include <string_view>

namespace cv {

namespace {

struct CatalogueEntry
{
    std::uint64_t identifier;
    std::string_view selectDesc;
    std::uint64_t cycles;
};

// Menu order. Display names keep their leading blank so that the pass counts line up in menus.
constexpr std::array<CatalogueEntry, 22> kCatalogue{{
    {0, "- Select your method", 0},
    {1, "50 Runden: Ostrevane DWA (2007)", 50},
    {2, "35 Runden: Gutmann Methode", 35},
    {3, " 8 Runden: Deutsche BSI TL-03423", 8},
    {4, " 7 Runden: NATO Standard", 7},
    {5, " 7 Runden: DoD 5220.22-M ECE", 7},
    {21, " 7 Runden: Canadian RCMP TSSIT OPS-II", 7},
    {6, " 5 Runden: BSI-2011-VS", 5},
    {18, " 4 Runden: Ostrevane ADWA (2017)", 4},
    {7, " 4 Runden: DoD 5220.22-M E für SSD", 4},
    {17, " 3 Runden: Canadian CSEC ITSG-06", 3},
    {8, " 3 Runden: HMG Nr. 5 erweitert", 3},
    {9, " 3 Runden: AFSSI-5020", 3},
    {10, " 3 Runden: NAVO P-5239-26 (MFM)", 3},
    {11, " 3 Runden: NAVO P-5239-26 (RLL)", 3},
    {12, " 3 Runden: US Army AR380-19", 3},
    {13, " 3 Runden: DoD 5220.22-M E", 3},
    {19, " 3 Runden: NCSC-TG-025", 3},
    {20, " 2 Runden: Russian GOST R 50739-95", 2},
    {14, " 1 Runde: Australien ISM 6.2.92", 1},
    {15, " 1 Runde: 0XFF für SSD", 1},
    {16, " 1 Runde: Zufallswerte", 1},
}};

// Description keys in identifier order, 1 to 21.
constexpr std::array<std::string_view, 21> kDescriptionKeys{{
    "IDS__ALGORITHM_DETAIL_OV",
    "IDS__ALGORITHM_DETAIL_GUTMANN",
    "IDS__ALGORITHM_DETAIL_BSI",
    "IDS__ALGORITHM_DETAIL_M7",
    "IDS__ALGORITHM_DETAIL_DOD2",
    "IDS__ALGORITHM_DETAIL_BSI2011",
    "IDS__ALGORITHM_DETAIL_DOD_SSD",
    "IDS__ALGORITHM_DETAIL_HMG",
    "IDS__ALGORITHM_DETAIL_M3_1",
    "IDS__ALGORITHM_DETAIL_M3_2",
    "IDS__ALGORITHM_DETAIL_M3_3",
    "IDS__ALGORITHM_DETAIL_AR380",
    "IDS__ALGORITHM_DETAIL_DOD",
    "IDS__ALGORITHM_DETAIL_M1",
    "IDS__ALGORITHM_DETAIL_SSD",
    "IDS__ALGORITHM_DETAIL_RANDOM",
    "DESC_CSEC",
    "DESC_ADWA",
    "DESC_NCSCTG025",
    "DESC_RUSSIANGOSTR50739",
    "DESC_CANADIANRCMPTSSITOPSII",
}};

} // namespace

AlgorithmCollection::AlgorithmCollection()
{
    intiDescriptions();
    preFillCollection();
}

void AlgorithmCollection::intiDescriptions()
{
    m_algoDescriptions.clear();
    m_algoDescriptions.emplace_back();
    for (const auto key : kDescriptionKeys)
        m_algoDescriptions.push_back(localized(key));
}

void AlgorithmCollection::preFillCollection()
{
    m_algorithms.clear();
    for (const auto& entry : kCatalogue) {
        m_algorithms.push_back(std::make_shared<Algorithm>(entry.identifier, entry.cycles,
                                                           localized(entry.selectDesc),
                                                           m_algoDescriptions[entry.identifier]));
    }
}

std::shared_ptr<Algorithm> AlgorithmCollection::get(std::size_t index) const
{
    return index < m_algorithms.size() ? m_algorithms[index] : nullptr;
}

std::vector<std::string> AlgorithmCollection::getAllSelectableTitles() const
{
    std::vector<std::string> titles;
    titles.reserve(m_algorithms.size());
    for (const auto& algorithm : m_algorithms)
        titles.push_back(algorithm->selectDesc());
    return titles;
}

std::string AlgorithmCollection::titleFor(std::uint64_t identifier, std::string_view language)
{
    for (const auto& entry : kCatalogue) {
        if (entry.identifier == identifier)
            return language == "de" ? std::string(entry.selectDesc) : englishText(entry.selectDesc);
    }
    return {};
}

std::size_t AlgorithmCollection::getIndexForIdentifier(std::uint64_t identifier) const
{
    for (std::size_t i = 0; i < m_algorithms.size(); ++i) {
        if (m_algorithms[i]->identifier() == identifier)
            return i;
    }
    return m_algorithms.size();
}

std::shared_ptr<Algorithm> AlgorithmCollection::findByIdentifier(std::uint64_t identifier) const
{
    return get(getIndexForIdentifier(identifier));
}

} // namespace cv
