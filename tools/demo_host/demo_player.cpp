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

StreamSource::Input::~Input()
{
    reader.reset();
    if (file) std::fclose(file);
}

bool StreamSource::Open(Input& input) const
{
    if (m_path.empty()) {
        input.memory = {m_bytes.data(), m_bytes.size(), 0};
        input.reader = std::make_unique<CaptureReader>(ReadMemoryCapture, &input.memory);
        return true;
    }
    input.file = std::fopen(m_path.c_str(), "rb");
    if (!input.file) return false;
    input.reader = std::make_unique<CaptureReader>(ReadCaptureStream, input.file);
    return true;
}

bool StreamSource::OpenFile(const std::string& path)
{
    m_path = path;
    return Open(m_input);
}

void StreamSource::UseBytes(std::vector<uint8_t> bytes)
{
    m_path.clear();
    m_bytes = std::move(bytes);
    Open(m_input);
}

std::vector<uint8_t> StreamSource::Head(size_t limit)
{
    Input head;
    std::vector<uint8_t> packets(limit / kPacketSize * kPacketSize);
    if (!Open(head)) return {};
    packets.resize(Read(head, packets.data(), packets.size() / kPacketSize) * kPacketSize);
    return packets;
}

size_t StreamSource::ReadPackets(uint8_t* out, size_t packets) { return Read(m_input, out, packets); }

size_t StreamSource::Read(Input& input, uint8_t* out, size_t packets)
{
    size_t n = 0;
    while (n < packets && input.reader) {
        if (input.taken == input.run.count) {
            input.taken = 0;
            if (!input.reader->Next(input.run)) {
                input.run.count = 0;
                break;
            }
        }
        const size_t take = std::min(packets - n, input.run.count - input.taken);
        for (size_t k = 0; k < take; ++k)
            std::memcpy(out + (n + k) * kPacketSize, input.run.first + (input.taken + k) * input.run.stride, kPacketSize);
        input.taken += take;
        n += take;
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
