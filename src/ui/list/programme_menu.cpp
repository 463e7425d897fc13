#include "ui/list/programme_menu.h"

#include <cstdio>

#include "broadcast/broadcast_time.h"
#include "store/programme_store.h"
#include "ui/list/event_scan.h"
#include "broadcast/event_text.h"
#include "ui/list/list_row.h"
#include "ui/list/tune_request.h"

namespace {

constexpr const char* kTitleFormat = "［%s］%s";
constexpr const char* kTuneSuffix = "- 選局";
constexpr const char* kEntryFormat = "%02d:%02d～%02d:%02d：%s";
constexpr const char* kOpenEndFormat = "%02d:%02d～：%s";  // the duration is undefined
constexpr const char* kUntimedFormat = "%s";              // the start is undefined
constexpr int kColumnTextBytes = 79;  // the column 0 text as read from the list
constexpr int kMenuOffsetX = 5;
constexpr int kMenuOffsetY = 3;

class MenuTaker final : public IEventTaker {
public:
    explicit MenuTaker(std::vector<ProgrammeMenuEntry>& entries) : m_entries(entries) {}

    int Take(const EventEntry& event, const EventTimeRange& times) override
    {
        char name[kRowTitleBytes] = {};
        uint8_t videoType = 0;
        ByteReader loop = event.Descriptors();
        Descriptor descriptor;
        while (NextDescriptor(loop, descriptor)) {
            if (descriptor.tag == kShortEventTag) {
                const ShortEventStrings strings = ReadShortEvent(descriptor);
                DecodeCut(strings.name, strings.nameLength, EventTextScratch(strings.nameLength), kRowTitleBytes - 1,
                          name, sizeof name);
            } else if (descriptor.tag == kComponentTag) {
                videoType = ComponentType(descriptor);
            }
        }
        if (name[0] != '\0') AddEntry(times, ProgrammeClockOf(event.times), name, videoType);
        return static_cast<int>(m_entries.size());
    }

private:
    void AddEntry(const EventTimeRange& times, const ProgrammeClock& clock, const char* name, uint8_t videoType)
    {
        char text[32 + kRowTitleBytes];
        if (StartUndefined(times.start))
            std::snprintf(text, sizeof text, kUntimedFormat, name);
        else if (DurationUndefined(times))
            std::snprintf(text, sizeof text, kOpenEndFormat, clock.startHour, clock.startMinute, name);
        else
            std::snprintf(text, sizeof text, kEntryFormat, clock.startHour, clock.startMinute, clock.endHour,
                          clock.endMinute, name);
        m_entries.push_back({text, IsStandardDefinition(videoType)});
    }

    std::vector<ProgrammeMenuEntry>& m_entries;
};

const ServiceEntry* FindService(const ProgrammeStore& store, uint16_t serviceId)
{
    for (int i = 0; i < kMaxServices && store.services[i]; ++i)
        if (store.services[i]->serviceId == serviceId) return store.services[i];
    return nullptr;
}

std::string MenuTitle(const char* column0Text, bool tuning, bool recording)
{
    char name[kColumnTextBytes + 1] = {};
    std::snprintf(name, sizeof name, "%s", column0Text ? column0Text : "");
    CutShiftJis(name, kColumnTextBytes);
    char title[kMenuTitleBytes + 16];
    std::snprintf(title, sizeof title, kTitleFormat, name, tuning || recording ? "" : kTuneSuffix);
    CutShiftJis(title, kMenuTitleBytes - 1);
    return title;
}

}  // namespace

ProgrammeClock ProgrammeClockOf(const uint8_t* times)
{
    ProgrammeClock clock;
    clock.startHour = Bcd(times[2]);
    clock.startMinute = Bcd(times[3]);
    const int carrySecond = Bcd(times[4]) + Bcd(times[7]) >= 60 ? 1 : 0;
    int minute = clock.startMinute + Bcd(times[6]) + carrySecond;
    const int carryHour = minute / 60;
    clock.endMinute = minute % 60;
    // Wraps on the clock face for any duration, one of 99 hours or malformed BCD included.
    clock.endHour = (clock.startHour + Bcd(times[5]) + carryHour) % 24;
    return clock;
}

bool IsStandardDefinition(uint8_t componentType)
{
    const int format = componentType >> 4;
    return componentType != 0 && (format == 0x0 || format == 0xA);
}

std::optional<ProgrammeMenu> BuildProgrammeMenu(const ProgrammeStore& store, int rowIndex, uint16_t serviceId,
                                                const char* column0Text, bool tuning, bool recording, int64_t now)
{
    if (rowIndex < 0) return std::nullopt;
    const ServiceEntry* service = FindService(store, serviceId);
    if (!service) return std::nullopt;
    ProgrammeMenu menu;
    MenuTaker taker(menu.entries);
    ScanEvents(*service, now, kMenuScanLimit, taker);
    if (menu.entries.empty()) return std::nullopt;
    menu.title = MenuTitle(column0Text, tuning, recording);
    menu.titleCommand = recording ? 0 : kTuneCommandBase + rowIndex;
    return menu;
}

int WriteMenuTexts(const ProgrammeMenu& menu, char (&title)[kMenuTitleBytes],
                   char (&texts)[kMenuTextCount][kMenuTextChars])
{
    std::snprintf(title, sizeof title, "%s", menu.title.c_str());
    int written = 0;
    for (; written < kMenuTextCount && static_cast<size_t>(written) < menu.entries.size(); ++written)
        std::snprintf(texts[written], kMenuTextChars, "%s", menu.entries[static_cast<size_t>(written)].text.c_str());
    return written;
}

MenuPosition ProgrammeMenuPosition(int cursorX, int cursorY)
{
    return {cursorX + kMenuOffsetX, cursorY + kMenuOffsetY};
}
