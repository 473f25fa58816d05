#include "app/tempdata/TempDataSelection.h"

#include "engine/Algorithm.h"
#include "targets/PathCollectionFactory.h"

namespace cv {

namespace {

bool validType(int type)
{
    return TempCategories::find(type) != nullptr;
}

} // namespace

TempDataSelection::TempDataSelection(std::unique_ptr<TempSearcher> searcher, QObject* parent)
    : QObject(parent), m_searcher(searcher ? std::move(searcher) : std::make_unique<TempSearcher>()),
      m_results(TempCategories::rows().size()), m_chosen(TempCategories::rows().size())
{
    m_searcher->setDelegate(this);
}

TempDataSelection::~TempDataSelection()
{
    m_searcher->setDelegate(nullptr);
}

bool TempDataSelection::startSearch()
{
    if (m_searchStarted)
        return false;
    m_searchStarted = true;
    m_searcher->startSearch();
    return true;
}

std::shared_ptr<TempResult> TempDataSelection::result(int type) const
{
    return validType(type) ? m_results[std::size_t(type)] : nullptr;
}

bool TempDataSelection::isChosen(int type) const
{
    return validType(type) && m_chosen[std::size_t(type)];
}

void TempDataSelection::toggleType(int type)
{
    if (!validType(type) || !m_results[std::size_t(type)])
        return;
    m_chosen[std::size_t(type)] = !m_chosen[std::size_t(type)];
}

bool TempDataSelection::needsAdministrator(int type) const
{
    return validType(type) && !TempSearcher::chosenByDefault(type, m_administrator);
}

bool TempDataSelection::anyChosen() const
{
    for (int type = 0; type < TempCategories::count(); ++type) {
        if (isChosen(type))
            return true;
    }
    return false;
}

std::int64_t TempDataSelection::totalSize() const
{
    std::int64_t total = 0;
    for (int type = 0; type < TempCategories::count(); ++type) {
        if (isChosen(type) && m_results[std::size_t(type)]->pathColection)
            total += static_cast<std::int64_t>(m_results[std::size_t(type)]->pathColection->totalSize());
    }
    return total;
}

std::uint64_t TempDataSelection::fileCount() const
{
    std::uint64_t count = 0;
    for (int type = 0; type < TempCategories::count(); ++type) {
        if (isChosen(type) && m_results[std::size_t(type)]->pathColection)
            count += m_results[std::size_t(type)]->pathColection->fileCount();
    }
    return count;
}

bool TempDataSelection::canStart(const Algorithm* method) const
{
    return m_searchComplete && anyChosen() && method && method->identifier() != 0 && method->cycles() > 0;
}

std::shared_ptr<PathCollection> TempDataSelection::mergedCollection() const
{
    std::vector<const PathCollection*> chosen;
    for (int type = 0; type < TempCategories::count(); ++type) {
        if (isChosen(type) && m_results[std::size_t(type)]->pathColection)
            chosen.push_back(m_results[std::size_t(type)]->pathColection.get());
    }
    if (chosen.empty())
        return nullptr;
    return PathCollectionFactory::mergePathCollections(chosen);
}

ShredOptions TempDataSelection::shredOptions(bool removeSnapshots)
{
    ShredOptions options;
    options.optionKey = "delete";
    options.removeSnapshots = removeSnapshots;
    // Services expect their log and cache folders: only the files in them go.
    options.filesOnly = true;
    return options;
}

void TempDataSelection::finished(std::shared_ptr<TempResult> result)
{
    if (!result || !validType(result->type))
        return; // a type the screen does not know
    const auto type = std::size_t(result->type);
    const bool first = !m_results[type];
    m_results[type] = std::move(result);
    // Chosen when it arrives, if it is the user's to clean; a repeated report of the category
    // keeps the user's choice.
    if (first)
        m_chosen[type] =
            m_only < 0 ? TempSearcher::chosenByDefault(int(type), m_administrator) : int(type) == m_only;
    emit categoryFound(int(type));
}

void TempDataSelection::finishedAll()
{
    m_searchComplete = true;
    emit searchCompleted();
}

} // namespace cv
