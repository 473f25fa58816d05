#pragma once

#include "tempdata/TempResult.h"

#include <QObject>
#include <QThreadPool>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv {

// Told about the temporary-data search, always on the GUI thread: once per category as soon as it
// is measured, then once when all three are.
class TempSearcherDelegate
{
public:
    virtual ~TempSearcherDelegate() = default;
    virtual void finished(std::shared_ptr<TempResult> result) = 0;
    virtual void finishedAll() = 0;
};

// Finds and measures the log and cache folders whose contents the user may shred: three categories
// (logs, system caches, user caches), scanned in parallel on low-priority threads of the searcher's
// own, each result handed to the delegate on the GUI thread as soon as it is ready and finishedAll
// once after the last. A new startSearch supersedes a search still running: what that one finds
// later is dropped. Make, use and destroy the searcher on the GUI thread; its destructor waits for
// scans still running.
class TempSearcher : public QObject
{
    Q_OBJECT

public:
    enum Type : std::int32_t
    {
        Logs = 0,
        SystemCaches = 1,
        UserCaches = 2,
        Trash = 3,
    };
    static constexpr std::int32_t kCategoryCount = 4;

    explicit TempSearcher(QObject* parent = nullptr);
    ~TempSearcher() override;

    TempSearcherDelegate* delegate() const { return m_delegate; }
    void setDelegate(TempSearcherDelegate* delegate) { m_delegate = delegate; }

    // How many categories of the current search have finished.
    std::int32_t finished() const { return m_round->finished.load(); }

    // Starts all four categories (logs, system caches, user caches, the Trash) and returns at once.
    void startSearch();
    void startSearchLogs() { startCategory(Logs); }
    void startSearchCaches() { startCategory(SystemCaches); }
    void startSearchUserCache() { startCategory(UserCaches); }

    // The folders of a category: the standard ones unless others were set.
    std::vector<std::string> folders(std::int32_t type) const;
    // Searches these folders for the category instead (tests search trees of their own).
    void setFolders(std::int32_t type, std::vector<std::string> folders);

    // The standard folders of a category for a home folder and $XDG_CACHE_HOME (empty when unset):
    // logs "/var/log/" and home/.local/share/xorg, system caches "/var/cache/", user caches
    // $XDG_CACHE_HOME when it is an absolute path, else home/.cache.
    static std::vector<std::string> defaultFolders(std::int32_t type, std::string home,
                                                   std::string xdgCacheHome);
    // The same for the current user's home folder and environment. The environment variable of
    // the category (kFolderVariables: "CINDERVAULT_TEMP_LOGS", "..._CACHES", "..._USER_CACHES"),
    // when set, names its folders instead, separated by ':' (set but empty: none; relative ones are ignored),
    // so that tests and benchmarks search trees of their own and never the system's.
    static std::vector<std::string> defaultFolders(std::int32_t type);
    // Whether category type is chosen when the user names none: for the administrator all four;
    // for anyone else only their own (user caches and the Trash), since the system's logs and
    // caches are root's and a job over them would end in one error per file.
    static bool chosenByDefault(std::int32_t type, bool administrator);
    // Whether this process runs as the administrator (root).
    static bool runsAsAdministrator();
    // The folders of a category scanned into a collection, the system's state under its cache
    // folders excluded.
    static std::shared_ptr<PathCollection> collectionOf(std::int32_t type,
                                                        const std::vector<std::string>& folders);
    static constexpr std::array<const char*, kCategoryCount> kFolderVariables{
        "CINDERVAULT_TEMP_LOGS", "CINDERVAULT_TEMP_CACHES", "CINDERVAULT_TEMP_USER_CACHES",
        "CINDERVAULT_TEMP_TRASH"};

protected:
    // The work of one category on its worker thread: a new collection of the folders, scanned.
    virtual std::shared_ptr<PathCollection> scan(std::int32_t type,
                                                 const std::vector<std::string>& folders) const;
    // Waits until no scan runs; a subclass that overrides scan() calls it in its destructor.
    void waitForScans();

private:
    // One startSearch: its own count, so that a superseded search can neither finish the new one
    // early nor be reported.
    struct Round
    {
        std::atomic<std::int32_t> finished{0};
    };

    void startCategory(std::int32_t type);
    void search(std::shared_ptr<TempResult> result, std::vector<std::string> folders,
                std::shared_ptr<Round> round);

    TempSearcherDelegate* m_delegate = nullptr;
    std::shared_ptr<Round> m_round = std::make_shared<Round>();
    std::array<std::optional<std::vector<std::string>>, kCategoryCount> m_folders;
    QThreadPool m_pool;
};

} // namespace cv
