// The log of detected schedule changes: one record per programme added, removed, moved in
// time or retitled between two versions of an EIT schedule section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kEventNameBytes = 100;  // names longer than this are cut

// One side of a change. start 0 means the side is empty.
struct EventSnapshot {
    int64_t start = 0;  // EventTimes: the broadcast time taken as local time
    int64_t end = 0;
    uint8_t videoType = 0;  // component_type of the component descriptor; 0 without one
    uint8_t audioType = 0;  // component_type of the audio component descriptor; 0 without one
    uint8_t genre = 0;      // content_nibble_level_1 of the content descriptor; 0 without one
    uint16_t nameLength = 0;
    uint8_t name[kEventNameBytes] = {};  // event_name, raw ARIB 8-unit bytes

    bool Empty() const { return start == 0; }
};

// Added: before empty. Removed: after empty. Changed: both set.
struct ChangeRecord {
    uint16_t serviceId = 0;
    EventSnapshot before;
    EventSnapshot after;
};

// Oldest first; records are appended at the end and removed from the front only, so an
// index stays valid until records in front of it are removed.
class ChangeLog {
public:
    using const_iterator = std::vector<ChangeRecord>::const_iterator;

    // False, with the log unchanged, when memory runs out.
    bool Append(const ChangeRecord& record);
    size_t Count() const { return m_records.size(); }
    // index < Count().
    const ChangeRecord& operator[](size_t index) const { return m_records[index]; }
    const_iterator begin() const { return m_records.begin(); }
    const_iterator end() const { return m_records.end(); }

    // Removes the oldest n records (all when n exceeds the count).
    void RemoveFirst(size_t n);
    void Clear() { m_records.clear(); }
    bool HasService(uint16_t serviceId) const;

private:
    std::vector<ChangeRecord> m_records;
};
