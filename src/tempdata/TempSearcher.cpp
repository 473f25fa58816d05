#include "tempdata/TempSearcher.h"

#include <QThread>

#include <unistd.h>

namespace cv {

TempSearcher::TempSearcher(QObject* parent) : QObject(parent), m_folders(TempCategories::rows().size())
{
    // One thread per category, so that a slow system folder does not hold back the others.
    m_pool.setMaxThreadCount(TempCategories::count());
    m_pool.setThreadPriority(QThread::LowPriority);
}

TempSearcher::~TempSearcher()
{
    // Workers post to this object and call scan(); both must outlive them.
    waitForScans();
}

void TempSearcher::waitForScans()
{
    m_pool.waitForDone();
}

void TempSearcher::startSearch()
{
    m_round = std::make_shared<Round>();
    for (const TempCategories::Row& row : TempCategories::rows())
        startCategory(row.type);
}

void TempSearcher::startCategory(std::int32_t type)
{
    auto result = std::make_shared<TempResult>();
    result->type = type;
    std::vector<std::string> folderList;
    if (m_folders[std::size_t(type)]) {
        folderList = *m_folders[std::size_t(type)];
    } else {
        // A category that checks the folders it finds names those it leaves alone.
        TempCategories::Found found = TempCategories::foldersOf(*TempCategories::find(type));
        folderList = std::move(found.folders);
        result->refused = std::move(found.refused);
    }
    m_pool.start([this, result, folderList = std::move(folderList), round = m_round]() mutable {
        search(std::move(result), std::move(folderList), std::move(round));
    });
}

void TempSearcher::search(std::shared_ptr<TempResult> result, std::vector<std::string> folders,
                          std::shared_ptr<Round> round)
{
    // What the system's cache folders hold that is state stays out of the category, named.
    result->kept = TempCategories::keptIn(*TempCategories::find(result->type), folders);
    result->pathColection = scan(result->type, folders);
    // Posted before the count goes up, so the GUI thread gets every result before finishedAll.
    QMetaObject::invokeMethod(
        this,
        [this, result, round] {
            if (round == m_round && m_delegate)
                m_delegate->finished(result);
        },
        Qt::QueuedConnection);
    // Increment and comparison in one atomic step: exactly one category posts finishedAll.
    if (round->finished.fetch_add(1) + 1 == TempCategories::count()) {
        QMetaObject::invokeMethod(
            this,
            [this, round] {
                if (round == m_round && m_delegate)
                    m_delegate->finishedAll();
            },
            Qt::QueuedConnection);
    }
}

std::shared_ptr<PathCollection> TempSearcher::scan(std::int32_t type,
                                                   const std::vector<std::string>& folders) const
{
    return collectionOf(type, folders);
}

std::shared_ptr<PathCollection> TempSearcher::collectionOf(std::int32_t type,
                                                           const std::vector<std::string>& folders)
{
    const TempCategories::Row* row = TempCategories::find(type);
    return row ? TempCategories::collect(*row, folders) : std::make_shared<PathCollection>();
}

std::vector<std::string> TempSearcher::folders(std::int32_t type) const
{
    if (type >= 0 && type < std::int32_t(m_folders.size()) && m_folders[std::size_t(type)])
        return *m_folders[std::size_t(type)];
    return defaultFolders(type);
}

void TempSearcher::setFolders(std::int32_t type, std::vector<std::string> folders)
{
    if (type >= 0 && type < std::int32_t(m_folders.size()))
        m_folders[std::size_t(type)] = std::move(folders);
}

std::vector<std::string> TempSearcher::defaultFolders(std::int32_t type, std::string home,
                                                      std::string xdgCacheHome)
{
    const TempCategories::Row* row = TempCategories::find(type);
    return row ? TempCategories::standardFolders(*row, std::move(home), xdgCacheHome)
               : std::vector<std::string>{};
}

std::vector<std::string> TempSearcher::defaultFolders(std::int32_t type)
{
    const TempCategories::Row* row = TempCategories::find(type);
    return row ? TempCategories::foldersOf(*row).folders : std::vector<std::string>{};
}

bool TempSearcher::chosenByDefault(std::int32_t type, bool administrator)
{
    const TempCategories::Row* row = TempCategories::find(type);
    return row && (administrator || row->usersOwn);
}

bool TempSearcher::runsAsAdministrator()
{
    return ::geteuid() == 0;
}

} // namespace cv
