#include "tempdata/TempSearcher.h"

#include "common/PathText.h"
#include "targets/PathCollectionFactory.h"
#include "tempdata/SystemState.h"
#include "tempdata/TrashCan.h"

#include <QThread>

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace cv {

namespace {

std::string currentHome()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

} // namespace

TempSearcher::TempSearcher(QObject* parent) : QObject(parent)
{
    // One thread per category, so that a slow system folder does not hold back the others.
    m_pool.setMaxThreadCount(kCategoryCount);
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
    startSearchLogs();
    startSearchCaches();
    startSearchUserCache();
    startCategory(Trash);
}

void TempSearcher::startCategory(std::int32_t type)
{
    auto result = std::make_shared<TempResult>();
    result->type = type;
    std::vector<std::string> folderList = folders(type);
    // The trash folders found are checked: one that is a link, or not the user's, is named and left.
    if (type == Trash && !m_folders[std::size_t(Trash)]) {
        TrashCan::Found found = TrashCan::find();
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
    if (result->type == SystemCaches)
        result->kept = SystemState::keptIn(folders);
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
    if (round->finished.fetch_add(1) + 1 == kCategoryCount) {
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
    if (type == Trash)
        return TrashCan::collect(folders);
    auto collection = std::make_shared<PathCollection>();
    collection->setPaths(folders);
    // The state under the system's cache folders is excluded: neither counted nor shredded.
    if (type == SystemCaches) {
        std::vector<std::string> excludes;
        for (const SystemState::Kept& kept : SystemState::keptIn(folders))
            excludes.push_back(kept.path);
        collection->setExcludes(std::move(excludes));
    }
    PathCollectionFactory().updatePathCollection(*collection);
    return collection;
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
    home = std::string(withoutTrailingSlashes(home));
    if (home == "/")
        home.clear(); // so that home + "/.cache" reads "/.cache"
    switch (type) {
    case Logs:
        return {"/var/log/", home + "/.local/share/xorg"};
    case SystemCaches:
        return {"/var/cache/"};
    case UserCaches:
        // A relative $XDG_CACHE_HOME is invalid and ignored, as the base-directory rules say.
        if (!xdgCacheHome.empty() && xdgCacheHome.front() == '/')
            return {std::string(withoutTrailingSlashes(xdgCacheHome))};
        return {home + "/.cache"};
    case Trash:
        return {home + "/.local/share/Trash"};
    default:
        return {};
    }
}

std::vector<std::string> TempSearcher::defaultFolders(std::int32_t type)
{
    // The Trash's folders are found, and checked, where they are (CINDERVAULT_TEMP_TRASH included).
    if (type == Trash)
        return TrashCan::find().folders;
    if (type >= 0 && type < std::int32_t(kFolderVariables.size())) {
        if (const char* named = std::getenv(kFolderVariables[std::size_t(type)])) {
            std::vector<std::string> folders;
            std::string_view rest = named;
            while (!rest.empty()) {
                const auto colon = rest.find(':');
                // Only absolute folders: a relative one would depend on the working folder.
                if (colon != 0 && rest.front() == '/')
                    folders.emplace_back(rest.substr(0, colon));
                rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
            }
            return folders;
        }
    }
    const char* xdgCacheHome = std::getenv("XDG_CACHE_HOME");
    return defaultFolders(type, currentHome(), xdgCacheHome ? xdgCacheHome : "");
}

bool TempSearcher::chosenByDefault(std::int32_t type, bool administrator)
{
    return administrator || type == UserCaches || type == Trash;
}

bool TempSearcher::runsAsAdministrator()
{
    return ::geteuid() == 0;
}

} // namespace cv
