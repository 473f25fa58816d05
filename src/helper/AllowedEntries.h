#pragma once

#include <QString>
#include <cstddef>
#include <map>
#include <mutex>
#include <set>
#include <sys/types.h>
#include <utility>

namespace cv {

// The entries each caller (a unique bus name) was allowed to have opened, renamed and deleted with
// one question for its whole list: its job asks once, and each later call on one of them is
// carried out without a question of its own, after all of its own checks. An entry is its device
// and inode, so that it stays allowed under the random names the job gives it. Nothing is kept but
// these numbers, no descriptor: a caller's allowances go when it says so (at the end of its job)
// or leaves the bus. Safe to use from any thread.
class AllowedEntries
{
public:
    // The most entries one caller holds at once; a list beyond it is refused.
    static constexpr std::size_t kMaxPerCaller = 1'000'000;

    using Entry = std::pair<dev_t, ino_t>;

    // False when the caller would hold more than kMaxPerCaller.
    bool add(const QString& caller, const std::set<Entry>& entries);
    bool allows(const QString& caller, const Entry& entry) const;
    // Whether the caller holds any.
    bool holds(const QString& caller) const;
    bool empty() const;
    void forget(const QString& caller);

private:
    mutable std::mutex m_mutex;
    std::map<QString, std::set<Entry>> m_entries;
};

} // namespace cv
