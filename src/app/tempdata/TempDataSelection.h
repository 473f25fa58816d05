#pragma once

#include "engine/ShredOptions.h"
#include "tempdata/TempResult.h"
#include "tempdata/TempSearcher.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

namespace cv {

class Algorithm;
class PathCollection;

// What the user chose on the temporary-data screen, without widgets: the search's result per
// category (each row of TempCategories), which categories are chosen, their totals, and whether a
// job may start. When its result arrives a category becomes chosen if it is the user's to clean
// (for anyone but root: the user caches and the Trash, not the system's logs and caches); the
// user may then tick or untick it. The search runs once per screen.
class TempDataSelection : public QObject, public TempSearcherDelegate
{
    Q_OBJECT

public:
    // searcher: by default one over the standard folders (or those the environment names).
    explicit TempDataSelection(std::unique_ptr<TempSearcher> searcher = nullptr, QObject* parent = nullptr);
    ~TempDataSelection() override;

    TempSearcher& searcher() { return *m_searcher; }
    // Starts the search unless it was started before; false when it was.
    bool startSearch();
    bool searchStarted() const { return m_searchStarted; }
    bool searchComplete() const { return m_searchComplete; }

    // Only this category becomes chosen when the results arrive (the desktop's "Shred the Trash");
    // the user may still choose the others.
    void chooseOnly(int type) { m_only = type; }
    // Whether the user is the administrator (root), who may clean the system's categories; by
    // default whether this process runs as root.
    bool administrator() const { return m_administrator; }
    void setAdministrator(bool administrator) { m_administrator = administrator; }
    // Whether category type needs the administrator and the user is not.
    bool needsAdministrator(int type) const;
    // The result of category type, null until it arrives (or for a type no category has).
    std::shared_ptr<TempResult> result(int type) const;
    bool isChosen(int type) const;
    // Inverts whether category type is chosen; a type no category has, or one whose result has
    // not arrived, changes nothing.
    void toggleType(int type);
    bool anyChosen() const;
    // The sums over the chosen categories.
    std::int64_t totalSize() const;
    std::uint64_t fileCount() const;

    // Whether a job may start with method: the search complete, a category chosen and a real method.
    bool canStart(const Algorithm* method) const;
    // The chosen categories' collections merged, in the table's order.
    std::shared_ptr<PathCollection> mergedCollection() const;
    // The options record of the job: files only, every folder stays; snapshots as answered.
    static ShredOptions shredOptions(bool removeSnapshots);

    // TempSearcherDelegate
    void finished(std::shared_ptr<TempResult> result) override;
    void finishedAll() override;

signals:
    // The result of category type arrived (and the category is chosen).
    void categoryFound(int type);
    // Every category is in.
    void searchCompleted();

private:
    std::unique_ptr<TempSearcher> m_searcher;
    // Per category, indexed by its type.
    std::vector<std::shared_ptr<TempResult>> m_results;
    std::vector<bool> m_chosen;
    int m_only = -1; // the one category chosen on arrival, or -1 for the default ones
    bool m_administrator = TempSearcher::runsAsAdministrator();
    bool m_searchStarted = false;
    bool m_searchComplete = false;
};

} // namespace cv
