#include "ui/list/build_rows.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "changelog/change_log.h"
#include "ts/stream_parser.h"
#include "ui/list/event_scan.h"
#include "broadcast/event_text.h"
#include "ui/list/service_settings.h"

namespace {

// Opens a gap at position p of the row table and puts the row there.
void InsertRow(RowTable& rows, int count, int p, ListRow* row)
{
    for (int i = count; i > p; --i) rows[i] = rows[i - 1];
    rows[p] = row;
}

// Before the first row whose key is greater than the full value read, so equal keys keep
// store order.
int SortPosition(const RowTable& rows, int count, int sortValue)
{
    for (int i = 0; i < count; ++i)
        if (rows[i]->sortKey > sortValue) return i;
    return count;
}

void FillNames(ListRow& row, const ServiceEntry& service)
{
    const size_t nameLength = service.serviceNameLength < kNameBytes ? service.serviceNameLength : kNameBytes;
    if (nameLength > 0)
        DecodeCut(service.serviceName, nameLength, NameScratch(nameLength), kRowNameBytes - 1, row.serviceName,
                  sizeof row.serviceName);
    else if (row.channel != 0)
        std::snprintf(row.serviceName, sizeof row.serviceName, "%dch", row.channel);
    else
        std::snprintf(row.serviceName, sizeof row.serviceName, "%d", row.serviceId);
    const size_t tsLength = service.tsNameLength < kNameBytes ? service.tsNameLength : kNameBytes;
    if (tsLength > 0) DecodeCut(service.tsName, tsLength, NameScratch(tsLength), kRowNameBytes - 1, row.tsName, sizeof row.tsName);
}

// Title, text and component types of an event into a programme slot; times are not set.
void ReadProgramme(const EventEntry& event, ProgrammeSlot& slot)
{
    slot.title[0] = '\0';
    ByteReader loop = event.Descriptors();
    Descriptor descriptor;
    while (NextDescriptor(loop, descriptor)) {
        if (descriptor.tag == kShortEventTag) {
            const ShortEventStrings strings = ReadShortEvent(descriptor);
            if (strings.nameLength > 0)
                DecodeCut(strings.name, strings.nameLength, EventTextScratch(strings.nameLength), kRowTitleBytes - 1,
                          slot.title, sizeof slot.title);
            if (strings.textLength > 0)
                DecodeCut(strings.text, strings.textLength, EventTextScratch(strings.textLength), kRowTextBytes - 1,
                          slot.text, sizeof slot.text);
        } else if (descriptor.tag == kComponentTag) {
            slot.videoComponentType = ComponentType(descriptor);
        } else if (descriptor.tag == kAudioComponentTag) {
            slot.audioComponentType = ComponentType(descriptor);
        }
    }
}

// Takes the row's present and following programmes and merges the row into its run after
// each. The run head is remembered as a table position across rows; rows inserted before it
// later shift the rows, not the remembered position.
class RowTaker final : public IEventTaker {
public:
    RowTaker(RowTable& rows, int position, int64_t now, int& headPosition)
        : m_rows(rows), m_row(*rows[position]), m_position(position), m_now(now), m_head(headPosition)
    {
    }

    int Take(const EventEntry& event, const EventTimeRange& times) override
    {
        ReadProgramme(event, m_taken == 0 ? m_row.present : m_row.following);
        if (m_taken == 0 && m_now < times.start) {
            // Nothing on air: the upcoming programme is the following one.
            ProgrammeSlot& following = m_row.following;
            std::memcpy(following.title, m_row.present.title, sizeof following.title);
            std::memcpy(following.text, m_row.present.text, sizeof following.text);
            following.videoComponentType = m_row.present.videoComponentType;
            following.audioComponentType = m_row.present.audioComponentType;
            m_taken = 1;
        }
        ProgrammeSlot& slot = m_taken == 0 ? m_row.present : m_row.following;
        if (slot.title[0] != '\0') {
            slot.start = times.start;
            slot.end = times.end;
        }
        ++m_taken;
        MergeIntoRun();
        return m_taken;
    }

private:
    void MergeIntoRun()
    {
        const bool member = m_position > 0 && m_rows[m_position - 1]->serviceId + 1 == m_row.serviceId;
        // A remembered head that an insertion has moved onto this very row would hide the
        // row's own programmes; the row heads a run of its own then.
        if (!member || m_rows[m_head] == &m_row) {
            m_head = m_position;
            return;
        }
        const ListRow& head = *m_rows[m_head];
        const bool following = m_taken == 2;
        ProgrammeSlot& slot = following ? m_row.following : m_row.present;
        const ProgrammeSlot& headSlot = following ? head.following : head.present;
        if (std::strcmp(slot.title, headSlot.title) == 0) slot.start = 0;
        if (following && m_row.following.start >= head.following.end) m_row.following.start = 0;
    }

    RowTable& m_rows;
    ListRow& m_row;
    int m_position;
    int64_t m_now;
    int& m_head;
    int m_taken = 0;
};

ListRow* NewRow(const ServiceEntry& service, int storeIndex, const ServiceSettings& settings,
                const ChangeLog& changeLog, int& sortValue)
{
    ListRow* row = new (std::nothrow) ListRow();
    if (!row) return nullptr;
    const ServiceSetting* read = settings.Find(service.serviceId);
    const ServiceSetting setting = read ? *read : ServiceSetting{};
    const int visible = setting.check;
    sortValue = setting.sort;
    row->serviceId = service.serviceId;
    row->channel = service.channel;
    row->remoteKeyId = service.remoteKeyId;
    row->sortKey = static_cast<uint8_t>(sortValue);
    row->visible = visible;
    row->storeIndex = static_cast<uint8_t>(storeIndex);
    row->changed = changeLog.HasService(service.serviceId) ? 1 : 0;
    FillNames(*row, service);
    return row;
}

}  // namespace

int64_t RowReferenceTime(const StreamParser& parser, int64_t systemNow)
{
    return parser.totYear > 0 ? parser.totTime : systemNow;
}

int BuildRows(RowTable& rows, const ProgrammeStore& store, const ServiceSettings& settings,
              const ChangeLog& changeLog, int64_t now)
{
    ClearRows(rows);
    int count = 0;
    int headPosition = 0;
    for (int v = 0; v < kMaxServices && store.services[v]; ++v) {
        const ServiceEntry& service = *store.services[v];
        int sortValue = 0;
        ListRow* row = NewRow(service, v, settings, changeLog, sortValue);
        if (!row) continue;
        const int position = SortPosition(rows, count, sortValue);
        InsertRow(rows, count, position, row);
        ++count;
        RowTaker taker(rows, position, now, headPosition);
        ScanEvents(service, now, kRowScanLimit, taker);
    }
    return count;
}
