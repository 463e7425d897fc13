#include "ui/list/list_row.h"

int RowCount(const RowTable& rows)
{
    int count = 0;
    while (count < kMaxServices && rows[count]) ++count;
    return count;
}

const ListRow* RowAt(const RowTable& rows, int index)
{
    if (index < 0 || index >= RowCount(rows)) return nullptr;
    return rows[index];
}

int FindRowIndex(const RowTable& rows, int serviceId)
{
    for (int i = 0; i < kMaxServices && rows[i]; ++i)
        if (rows[i]->serviceId == serviceId) return i;
    return -1;
}

void MarkChangedRows(RowTable& rows, const std::vector<uint16_t>& serviceIds)
{
    for (uint16_t serviceId : serviceIds) {
        const int index = FindRowIndex(rows, serviceId);
        if (index >= 0) rows[index]->changed = 1;
    }
}

void ClearRows(RowTable& rows)
{
    for (int i = 0; i < kMaxServices && rows[i]; ++i) {
        delete rows[i];
        rows[i] = nullptr;
    }
}
