#include "tempdata/TempCategories.h"

#include "common/PathText.h"
#include "targets/PathCollectionFactory.h"
#include "tempdata/TrashCan.h"

#include <QtGlobal>

#include <cstdlib>
#include <iterator>
#include <pwd.h>
#include <unistd.h>

namespace cv {

namespace {

std::vector<std::string> logFolders(const std::string& home, const std::string&)
{
    return {"/var/log/", home + "/.local/share/xorg"};
}

std::vector<std::string> systemCacheFolders(const std::string&, const std::string&)
{
    return {"/var/cache/"};
}

std::vector<std::string> userCacheFolders(const std::string& home, const std::string& xdgCacheHome)
{
    // A relative $XDG_CACHE_HOME is invalid and ignored, as the base-directory rules say.
    if (!xdgCacheHome.empty() && xdgCacheHome.front() == '/')
        return {std::string(withoutTrailingSlashes(xdgCacheHome))};
    return {home + "/.cache"};
}

std::vector<std::string> trashFolders(const std::string& home, const std::string&)
{
    return {home + "/.local/share/Trash"};
}

// The trash folders are found where they are (the home trash and those of the mounted volumes) and
// each is checked: one that is a link, or not the user's, is named and left.
TempCategories::Found findTrash()
{
    TrashCan::Found found = TrashCan::find();
    return {std::move(found.folders), std::move(found.refused)};
}

// The titles and the wording are texts of the temporary-data screen, which looks them up: marked
// in its context, so that the translation tables keep them there.
constexpr TempCategories::Row kRows[] = {
    {
        .type = TempCategories::Logs,
        .name = "Logs",
        .flag = "--logs",
        .flagSummary = "the log folders",
        .folderVariable = "CINDERVAULT_TEMP_LOGS",
        .title = QT_TRANSLATE_NOOP("cv::TempDataViewController", "Logs"),
        .named = QT_TRANSLATE_NOOP("cv::TempDataViewController", "the logs"),
        .icon = ":/images/file.svg",
        .usersOwn = false,
        .standardFolders = &logFolders,
    },
    {
        .type = TempCategories::SystemCaches,
        .name = "Cache",
        .flag = "--caches",
        .flagSummary = "the system's cache folders",
        .folderVariable = "CINDERVAULT_TEMP_CACHES",
        .title = QT_TRANSLATE_NOOP("cv::TempDataViewController", "Caches"),
        .named = QT_TRANSLATE_NOOP("cv::TempDataViewController", "the system caches"),
        .icon = ":/images/hdd.svg",
        .usersOwn = false,
        .standardFolders = &systemCacheFolders,
        // What the system's cache folders hold that is state and not a cache stays, named.
        .keptIn = &SystemState::keptIn,
    },
    {
        .type = TempCategories::UserCaches,
        .name = "UserCache",
        .flag = "--user-caches",
        .flagSummary = "the user's cache folder",
        .folderVariable = "CINDERVAULT_TEMP_USER_CACHES",
        .title = QT_TRANSLATE_NOOP("cv::TempDataViewController", "User caches"),
        .named = QT_TRANSLATE_NOOP("cv::TempDataViewController", "your caches"),
        .icon = ":/images/folder.svg",
        .usersOwn = true,
        .standardFolders = &userCacheFolders,
    },
    {
        .type = TempCategories::Trash,
        .name = "Trash",
        .flag = "--trash",
        .flagSummary = "the Trash: trashed items with their records, and expunged items",
        .folderVariable = TrashCan::kFolderVariable,
        .title = QT_TRANSLATE_NOOP("cv::TempDataViewController", "Trash"),
        .named = QT_TRANSLATE_NOOP("cv::TempDataViewController", "the Trash"),
        .icon = ":/images/trash.svg",
        .usersOwn = true,
        .standardFolders = &trashFolders,
        .find = &findTrash,
        // Trashed items go whole, each record after its item.
        .collect = &TrashCan::collect,
    },
};

// Arrays indexed by type rely on row i having type i.
constexpr bool typesAreIndices()
{
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        if (kRows[i].type != std::int32_t(i))
            return false;
    }
    return true;
}
static_assert(typesAreIndices(), "row i of the categories must have type i");

// Two rows with one flag, object name or variable would make one of them unreachable.
constexpr bool eachRowHasItsOwnNames()
{
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        for (std::size_t j = i + 1; j < std::size(kRows); ++j) {
            if (kRows[i].flag == kRows[j].flag || kRows[i].name == kRows[j].name ||
                std::string_view(kRows[i].folderVariable) == kRows[j].folderVariable)
                return false;
        }
    }
    return true;
}
static_assert(eachRowHasItsOwnNames(), "each category needs a flag, a name and a variable of its own");

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

// The absolute folders of a ':'-separated list; empty and relative entries are left out, since a
// relative one would depend on the working folder.
std::vector<std::string> absoluteFolders(std::string_view list)
{
    std::vector<std::string> folders;
    while (!list.empty()) {
        const auto colon = list.find(':');
        if (colon != 0 && list.front() == '/')
            folders.emplace_back(list.substr(0, colon));
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return folders;
}

} // namespace

std::span<const TempCategories::Row> TempCategories::rows()
{
    return kRows;
}

const TempCategories::Row* TempCategories::find(std::int32_t type)
{
    return type >= 0 && type < count() ? &kRows[std::size_t(type)] : nullptr;
}

std::vector<std::string> TempCategories::standardFolders(const Row& row, std::string home,
                                                         const std::string& xdgCacheHome)
{
    home = std::string(withoutTrailingSlashes(home));
    if (home == "/")
        home.clear(); // so that home + "/.cache" reads "/.cache"
    return row.standardFolders(home, xdgCacheHome);
}

TempCategories::Found TempCategories::foldersOf(const Row& row)
{
    if (row.find)
        return row.find();
    if (const char* named = std::getenv(row.folderVariable))
        return {absoluteFolders(named), {}};
    const char* xdgCacheHome = std::getenv("XDG_CACHE_HOME");
    return {standardFolders(row, currentHome(), xdgCacheHome ? xdgCacheHome : ""), {}};
}

std::vector<SystemState::Kept> TempCategories::keptIn(const Row& row, const std::vector<std::string>& folders)
{
    return row.keptIn ? row.keptIn(folders) : std::vector<SystemState::Kept>{};
}

std::shared_ptr<PathCollection> TempCategories::collect(const Row& row,
                                                        const std::vector<std::string>& folders)
{
    if (row.collect)
        return row.collect(folders);
    auto collection = std::make_shared<PathCollection>();
    collection->setPaths(folders);
    // What stays as the system's state is excluded: neither counted nor shredded.
    std::vector<std::string> excludes;
    for (const SystemState::Kept& kept : keptIn(row, folders))
        excludes.push_back(kept.path);
    collection->setExcludes(std::move(excludes));
    PathCollectionFactory().updatePathCollection(*collection);
    return collection;
}

} // namespace cv
