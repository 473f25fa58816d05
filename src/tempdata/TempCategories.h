#pragma once

#include "targets/PathCollection.h"
#include "tempdata/SystemState.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// The fixed table of the temporary-data categories: one row per category, in the order the
// temporary-data screen shows them. Everything that makes a category sits in its row: the command
// line's flag and its help, the environment variable that names other folders, the screen's title,
// wording and icon, whether a user who is not root gets it chosen, and its search (where its
// folders are, what under them stays, how they become a collection). The searcher, the screen's
// boxes, the command line's flags and its help are all made from the table, so that a category is
// added in one place and nothing is kept in step by position.
class TempCategories
{
public:
    // The categories that code names (the Trash has wording and notes of its own on the screen);
    // a category is numbered by its row's index in the table, carried by results and selections.
    enum Type : std::int32_t
    {
        Logs = 0,
        SystemCaches = 1,
        UserCaches = 2,
        Trash = 3,
    };

    // A category's folders for this user and machine, and the folders it left alone with why.
    struct Found
    {
        std::vector<std::string> folders;
        std::vector<std::string> refused;
    };

    struct Row
    {
        std::int32_t type;       // the row's index
        std::string_view name;   // the screen's object names of the category ("box" + name)
        std::string_view flag;   // clean-temp's option that names the category
        const char* flagSummary; // that option's line in the help
        // Names the category's folders instead, separated by ':', so that tests and benchmarks
        // search trees of their own and never the system's: every category has one.
        const char* folderVariable;
        const char* title; // the box's title, a text of the temporary-data screen
        const char* named; // how the screen's confirmation names the category
        const char* icon;  // the box's image, a resource of the window
        bool usersOwn;     // chosen by default for any user, not only for root

        // The category's search: where its folders are, what under them stays, how they become a
        // collection. Only the standard folders are required.
        // The standard folders for a home folder (without trailing slash, "" for "/") and
        // $XDG_CACHE_HOME (empty when unset).
        std::vector<std::string> (*standardFolders)(const std::string& home, const std::string& xdgCacheHome);
        // Finds and checks the folders itself; null: those the variable names, else the standard ones.
        Found (*find)() = nullptr;
        // What stays under the folders as the system's state; null: nothing.
        std::vector<SystemState::Kept> (*keptIn)(const std::vector<std::string>& folders) = nullptr;
        // The collection of the folders; null: every file below them, what stays excluded.
        std::shared_ptr<PathCollection> (*collect)(const std::vector<std::string>& folders) = nullptr;
    };

    // Every row, in the screen's order; row i has type i.
    static std::span<const Row> rows();
    static std::int32_t count() { return std::int32_t(rows().size()); }
    // The row of that type, or null when no category has it.
    static const Row* find(std::int32_t type);

    // The standard folders of a category for a home folder and $XDG_CACHE_HOME.
    static std::vector<std::string> standardFolders(const Row& row, std::string home,
                                                    const std::string& xdgCacheHome);
    // The folders of a category for the current user and environment: its own finding, else the
    // folders its variable names when set (set but empty: none; relative ones are ignored), else
    // the standard ones for $HOME and $XDG_CACHE_HOME.
    static Found foldersOf(const Row& row);
    // What stays under these folders of the category as the system's state.
    static std::vector<SystemState::Kept> keptIn(const Row& row, const std::vector<std::string>& folders);
    // These folders of the category scanned into a collection, what stays excluded.
    static std::shared_ptr<PathCollection> collect(const Row& row, const std::vector<std::string>& folders);
};

} // namespace cv
