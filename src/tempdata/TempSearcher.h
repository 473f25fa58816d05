#pragma once

#include "tempdata/TempCategories.h"
#include "tempdata/TempResult.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cv {

// Told about the temporary-data search, always on the GUI thread: once per category as soon as it
// is measured, then once when all of them are.
class TempSearcherDelegate
{
public:
    virtual ~TempSearcherDelegate() = default;
    virtual void finished(std::shared_ptr<TempResult> result) = 0;
    virtual void finishedAll() = 0;
};

// Finds and measures the folders whose contents the user may shred: every category of the table
// (logs, system caches, user caches, the Trash), scanned in parallel on low-priority threads of the
// searcher's own, each result handed to the delegate on the GUI thread as soon as it is ready and
// finishedAll once after the last. A new startSearch supersedes a search still running: what that
// one finds later is dropped. Make, use and destroy the searcher on the GUI thread; its destructor
// waits for scans still running.
class TempSearcher : public QObject
{
    Q_OBJECT

public:
    // The categories that code names, as the table numbers them.
    using enum TempCategories::Type;

    explicit TempSearcher(QObject* parent = nullptr);
    ~TempSearcher() override;

    TempSearcherDelegate* delegate() const { return m_delegate; }
    void setDelegate(TempSearcherDelegate* delegate) { m_delegate = delegate; }

    // How many categories of the current search have finished.
    std::int32_t finished() const { return m_round->finished.load(); }

    // Starts every category, in the table's order, and returns at once.
    void startSearch();
    void startSearchLogs() { startCategory(Logs); }
    void startSearchCaches() { startCategory(SystemCaches); }
    void startSearchUserCache() { startCategory(UserCaches); }

    // The folders of a category: the standard ones unless others were set.
    std::vector<std::string> folders(std::int32_t type) const;
    // Searches these folders for the category instead (tests search trees of their own).
    void setFolders(std::int32_t type, std::vector<std::string> folders);

    // The standard folders of a category for a home folder and $XDG_CACHE_HOME (empty when unset),
    // as its row gives them.
    static std::vector<std::string> defaultFolders(std::int32_t type, std::string home,
                                                   std::string xdgCacheHome);
    // The same for the current user's home folder and environment; the category's variable, when
    // set, names its folders instead (TempCategories::foldersOf).
    static std::vector<std::string> defaultFolders(std::int32_t type);
    // Whether category type is chosen when the user names none: for the administrator every one;
    // for anyone else only their own (user caches and the Trash), since the system's logs and
    // caches are root's and a job over them would end in one error per file.
    static bool chosenByDefault(std::int32_t type, bool administrator);
    // Whether this process runs as the administrator (root).
    static bool runsAsAdministrator();
    // The folders of a category scanned into a collection, the system's state under its cache
    // folders excluded.
    static std::shared_ptr<PathCollection> collectionOf(std::int32_t type,
                                                        const std::vector<std::string>& folders);

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
    // Per category: the folders set for it, if any.
    std::vector<std::optional<std::vector<std::string>>> m_folders;
    QThreadPool m_pool;
};

} // namespace cv
