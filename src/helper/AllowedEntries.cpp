#include "helper/AllowedEntries.h"

namespace cv {

bool AllowedEntries::add(const QString& caller, const std::set<Entry>& entries)
{
    std::lock_guard lock(m_mutex);
    std::set<Entry>& held = m_entries[caller];
    if (held.size() + entries.size() > kMaxPerCaller) {
        if (held.empty())
            m_entries.erase(caller);
        return false;
    }
    held.insert(entries.begin(), entries.end());
    return true;
}

bool AllowedEntries::allows(const QString& caller, const Entry& entry) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(caller);
    return found != m_entries.end() && found->second.contains(entry);
}

bool AllowedEntries::holds(const QString& caller) const
{
    std::lock_guard lock(m_mutex);
    return m_entries.contains(caller);
}

bool AllowedEntries::empty() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.empty();
}

void AllowedEntries::forget(const QString& caller)
{
    std::lock_guard lock(m_mutex);
    m_entries.erase(caller);
}

} // namespace cv
