#include "ui/dialogs/popup_text.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "aribtext/arib_decoder.h"
#include "ui/dialogs/extended_event.h"
#include "broadcast/local_calendar.h"
#include "broadcast/event_text.h"
#include "ui/list/list_items.h"

namespace {

constexpr uint8_t kExtendedEventTag = 0x4E;  // ARIB STD-B10 extended event descriptor
// descriptor_number and last_descriptor_number, ISO_639_language_code, length_of_items.
constexpr size_t kExtendedFieldsOffset = 5;
constexpr size_t kPendingItemBytes = 4096;
constexpr size_t kHeadingMaxBytes = 99;

std::string Decode(const uint8_t* raw, size_t length)
{
    std::vector<char> buffer(2 * length + 80, '\0');
    DecodeAribText(raw, length, buffer.data(), buffer.size());
    return buffer.data();
}

// The text of one item, collected raw across descriptors and decoded as one string.
class PendingItem {
public:
    void Add(const uint8_t* bytes, size_t n)
    {
        const size_t room = kPendingItemBytes - m_bytes.size();
        m_bytes.insert(m_bytes.end(), bytes, bytes + (n < room ? n : room));
    }
    void Flush(std::string& out)
    {
        if (m_bytes.empty()) return;
        AppendLines(out, Decode(m_bytes.data(), m_bytes.size()));
        m_bytes.clear();
    }

private:
    std::vector<uint8_t> m_bytes;
};

void AppendHeading(std::string& out, const uint8_t* raw, size_t length)
{
    std::string heading = Decode(raw, length);
    CutShiftJis(heading.data(), kHeadingMaxBytes);
    out += "\r\n\r\n";
    out += heading.c_str();
    out += "\r\n";
}

// Every field is a length byte and that many bytes, up to the end of the descriptor; a field
// that would run past it ends the descriptor.
void ReadExtendedDescriptor(const Descriptor& descriptor, PendingItem& pending, std::string& out)
{
    ByteReader body(descriptor.body, descriptor.length);
    if (!body.Skip(kExtendedFieldsOffset)) return;
    for (bool first = true; body.Remaining() > 0; first = false) {
        const uint8_t length = body.U8();
        const uint8_t* field = body.Bytes(length);
        if (!field) return;
        if (!first) {
            pending.Add(field, length);
        } else if (length != 0) {
            pending.Flush(out);
            AppendHeading(out, field, length);
        }
    }
}

// A row's fixed-size text field up to its terminator, never past the field.
std::string_view FieldText(const char* field, size_t size)
{
    const void* end = std::memchr(field, '\0', size);
    return std::string_view(field, end ? static_cast<const char*>(end) - field : size);
}

}  // namespace

const char* VideoFormatText(uint8_t componentType)
{
    switch (componentType >> 4) {
    case 0x0: return "480i";
    case 0xA: return "480p";
    case 0xB: return "1080i";
    default: return "--";
    }
}

const char* AspectText(uint8_t componentType)
{
    switch (componentType & 0x0F) {
    case 1: return "(4:3)";
    case 3: return "(16:9)";
    case 4: return "(4:3pan)";
    default: return "(--)";
    }
}

void AppendLines(std::string& out, std::string_view text)
{
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.empty()) return;
    for (size_t cut = text.find('\r'); cut != std::string_view::npos; cut = text.find('\r')) {
        out.append(text.substr(0, cut));
        out += "\r\n";
        text.remove_prefix(cut + 1);
    }
    out.append(text);
}

int PopupSlotIndex(int column, const char* cellText)
{
    int slot = column - 1;
    if (cellText && std::strcmp(cellText, kContinuationMark) == 0) --slot;
    return slot < 0 ? 0 : (slot > 1 ? 1 : slot);
}

std::string PopupNameLine(const char* name, int64_t start)
{
    char line[kPopupNameTextBytes + 64];
    if (StartUndefined(start)) {
        std::snprintf(line, sizeof line, "[%s]", name ? name : "");
        return line;
    }
    const LocalCalendarTime t = LocalCalendarOf(start);
    std::snprintf(line, sizeof line, "[%s] - %04d/%02d/%02d(%s)", name ? name : "", t.year, t.month, t.day,
                  WeekdayName(t.weekday));
    return line;
}

std::string PopupTimesLine(const ProgrammeSlot& slot)
{
    std::string span = TimeSpanText({slot.start, slot.end});
    if (!span.empty()) span += ' ';
    char line[64];
    std::snprintf(line, sizeof line, " %s%s%s", span.c_str(), VideoFormatText(slot.videoComponentType),
                  AspectText(slot.videoComponentType));
    return line;
}

void AppendExtendedItems(std::string& out, const EventEntry& event)
{
    PendingItem pending;
    ByteReader loop = event.Descriptors();
    Descriptor descriptor;
    while (NextDescriptor(loop, descriptor))
        if (descriptor.tag == kExtendedEventTag) ReadExtendedDescriptor(descriptor, pending, out);
    pending.Flush(out);
}

std::string PopupBody(const ProgrammeSlot& slot, const EventEntry* extended)
{
    std::string body = "【";
    body.append(FieldText(slot.title, sizeof slot.title));
    body += "】\r\n\r\n";
    AppendLines(body, FieldText(slot.text, sizeof slot.text));
    if (extended) AppendExtendedItems(body, *extended);
    return body;
}

bool DescribeProgramme(const ListRow& row, int column, const char* cellText, const char* nameText,
                       const ProgrammeStore& store, PopupTexts& out)
{
    if (!cellText || cellText[0] == '\0') return false;
    const ProgrammeSlot& slot = PopupSlotIndex(column, cellText) == 0 ? row.present : row.following;
    std::optional<EventEntry> extended;
    if (const ServiceEntry* service = StoreEntryOfRow(store, row.storeIndex, row.serviceId))
        extended = FindExtendedEvent(*service, slot.start);
    out.nameLine = PopupNameLine(nameText, slot.start);
    out.timesLine = PopupTimesLine(slot);
    out.body = PopupBody(slot, extended ? &*extended : nullptr);
    return true;
}
