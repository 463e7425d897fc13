#include "demo_player.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kPacketSize = 188;
constexpr size_t kBlockPackets = 256;      // one slot-3 call, about 48 KB
constexpr uint64_t kMaxBytesPerTurn = 4u << 20;  // tuning calls are answered between turns
constexpr int kRecordSize = 1116;
constexpr int kRecordServiceIdOffset = 64;
constexpr int kRecordCapacity = 20;

}  // namespace

StreamSource::~StreamSource()
{
    if (m_file) std::fclose(m_file);
}

bool StreamSource::OpenFile(const std::string& path)
{
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return false;
    uint8_t probe[192 * 16 + 4] = {};
    const size_t got = std::fread(probe, 1, sizeof(probe), m_file);
    std::fseek(m_file, 0, SEEK_SET);
    // 192-byte packets carry a 4-byte time-code prefix before each sync byte.
    bool prefixed = got >= 192 * 4;
    for (size_t at = 4; prefixed && at < got; at += 192) prefixed = probe[at] == 0x47;
    m_stride = prefixed && probe[0] != 0x47 ? 192 : 188;
    return true;
}

void StreamSource::UseBytes(std::vector<uint8_t> bytes)
{
    m_bytes = std::move(bytes);
    m_position = 0;
    m_stride = 188;
}

size_t StreamSource::ReadRaw(uint8_t* out, size_t bytes)
{
    if (m_file) return std::fread(out, 1, bytes, m_file);
    const size_t n = std::min(bytes, m_bytes.size() - m_position);
    std::memcpy(out, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

std::vector<uint8_t> StreamSource::Head(size_t limit)
{
    std::vector<uint8_t> head(limit / m_stride * kPacketSize);
    const long filePosition = m_file ? std::ftell(m_file) : 0;
    const size_t memoryPosition = m_position;
    head.resize(ReadPackets(head.data(), head.size() / kPacketSize) * kPacketSize);
    if (m_file) std::fseek(m_file, filePosition, SEEK_SET);
    m_position = memoryPosition;
    return head;
}

size_t StreamSource::ReadPackets(uint8_t* out, size_t packets)
{
    if (m_stride == kPacketSize) return ReadRaw(out, packets * kPacketSize) / kPacketSize;
    uint8_t packet[192];
    size_t n = 0;
    while (n < packets && ReadRaw(packet, sizeof(packet)) == sizeof(packet)) {
        std::memcpy(out + n * kPacketSize, packet + 4, kPacketSize);
        ++n;
    }
    return n;
}

DemoPlayer::DemoPlayer(PluginObject plugin, DemoTuner tuner, StreamSource& source, double speed, HWND notify)
    : m_plugin(plugin), m_source(source), m_speed(speed), m_notify(notify), m_tuner(std::move(tuner))
{
    static const void* const kTable[] = {
        reinterpret_cast<const void*>(&Unused),          reinterpret_cast<const void*>(&SelectChannel),
        reinterpret_cast<const void*>(&Unused),          reinterpret_cast<const void*>(&ChangeServiceID),
        reinterpret_cast<const void*>(&Unused),          reinterpret_cast<const void*>(&GetServiceList),
    };
    m_interface = {kTable, this};
    for (const TuneEvent& event : m_tuner.StartUpScan()) m_pending.push_back(event);
}

void DemoPlayer::Start() { m_thread = std::thread([this] { Run(); }); }

void DemoPlayer::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void __stdcall DemoPlayer::Unused(HostInterface*) {}

void __stdcall DemoPlayer::SelectChannel(HostInterface* self, int32_t channel)
{
    DemoPlayer& player = *self->owner;
    std::lock_guard<std::mutex> guard(player.m_mutex);
    if (const auto event = player.m_tuner.SelectChannel(channel)) player.m_pending.push_back(*event);
}

void __stdcall DemoPlayer::ChangeServiceID(HostInterface* self, int32_t serviceId)
{
    DemoPlayer& player = *self->owner;
    std::lock_guard<std::mutex> guard(player.m_mutex);
    if (const auto event = player.m_tuner.ChangeServiceID(static_cast<uint32_t>(serviceId)))
        player.m_pending.push_back(*event);
}

// Called by the plug-in from inside our stream-change call: the services of the channel
// being reported. The records are the host's own; only the service id means anything.
int32_t __stdcall DemoPlayer::GetServiceList(HostInterface* self, uint8_t* records, int32_t* count)
{
    DemoPlayer& player = *self->owner;
    std::vector<uint32_t> services;
    {
        std::lock_guard<std::mutex> guard(player.m_mutex);
        DemoTuner view(player.m_tuner.Plan());
        if (view.SelectChannel(player.m_reporting.channel)) services = view.CurrentServices();
    }
    const int capacity = std::min(*count, kRecordCapacity);
    const int filled = std::min(static_cast<int>(services.size()), capacity);
    for (int i = 0; i < filled; ++i) {
        uint8_t* record = records + static_cast<size_t>(i) * kRecordSize;
        std::memset(record, 0, kRecordSize);
        const uint32_t id = services[static_cast<size_t>(i)];
        for (int b = 0; b < 4; ++b) record[kRecordServiceIdOffset + b] = static_cast<uint8_t>(id >> (8 * b));
    }
    *count = filled;
    return filled > 0 ? 1 : 0;
}

void DemoPlayer::ReportPendingChanges()
{
    for (;;) {
        TuneEvent event;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            if (m_pending.empty()) return;
            event = m_pending.front();
            m_pending.pop_front();
            m_reporting = event;
        }
        m_plugin.StreamChange(event.channel, static_cast<int32_t>(event.serviceId));
        if (m_notify) PostMessageA(m_notify, kMsgTuned, static_cast<WPARAM>(event.channel), static_cast<LPARAM>(event.serviceId));
    }
}

// Hands over what is due by now; false at the end of the stream.
bool DemoPlayer::PlayDue(uint64_t startMs)
{
    const uint64_t due = BytesDue(GetTickCount64() - startMs, m_speed);
    const uint64_t limit = m_bytes + kMaxBytesPerTurn;
    while (m_bytes < due && m_bytes < limit && !m_stop) {
        const uint64_t wanted = std::min<uint64_t>((due - m_bytes) / kPacketSize, kBlockPackets);
        const size_t packets = m_source.ReadPackets(m_block.data(), static_cast<size_t>(std::max<uint64_t>(wanted, 1)));
        if (packets == 0) return false;
        m_plugin.StreamData(m_block.data(), static_cast<uint32_t>(packets * kPacketSize));
        m_bytes += packets * kPacketSize;
    }
    return true;
}

void DemoPlayer::Run()
{
    const uint64_t start = GetTickCount64();
    while (!m_stop) {
        ReportPendingChanges();
        if (!m_finished && !PlayDue(start)) m_finished = true;
        Sleep(m_finished ? 50 : 5);
    }
}
