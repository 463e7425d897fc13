#include "changelog/change_log.h"

#include <new>

bool ChangeLog::Append(const ChangeRecord& record)
{
    try {
        m_records.push_back(record);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void ChangeLog::RemoveFirst(size_t n)
{
    if (n >= m_records.size()) {
        m_records.clear();
        return;
    }
    m_records.erase(m_records.begin(), m_records.begin() + static_cast<std::ptrdiff_t>(n));
}

bool ChangeLog::HasService(uint16_t serviceId) const
{
    for (const ChangeRecord& record : m_records)
        if (record.serviceId == serviceId) return true;
    return false;
}
