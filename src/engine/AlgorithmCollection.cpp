#include "engine/AlgorithmCollection.h"

#include "common/Language.h"
#include "common/Localization.h"
#include "engine/MethodCatalogue.h"

#include <algorithm>

namespace cv {

AlgorithmCollection::AlgorithmCollection()
{
    intiDescriptions();
    preFillCollection();
}

void AlgorithmCollection::intiDescriptions()
{
    std::uint64_t highest = 0;
    for (const auto& row : MethodCatalogue::rows())
        highest = std::max(highest, row.identifier);
    m_algoDescriptions.assign(static_cast<std::size_t>(highest) + 1, std::string());
    for (const auto& row : MethodCatalogue::rows()) {
        if (!row.descriptionKey.empty())
            m_algoDescriptions[row.identifier] = localized(row.descriptionKey);
    }
}

void AlgorithmCollection::preFillCollection()
{
    m_algorithms.clear();
    for (const auto& row : MethodCatalogue::rows()) {
        m_algorithms.push_back(std::make_shared<Algorithm>(row.identifier, row.passes, localized(row.title),
                                                           m_algoDescriptions[row.identifier]));
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
    const MethodCatalogue::Row* row = MethodCatalogue::find(identifier);
    if (!row)
        return {};
    return languageOf(language) == Language::German ? std::string(row->title) : englishText(row->title);
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
