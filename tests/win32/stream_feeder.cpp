#include "stream_feeder.h"

#include <windows.h>

#include <algorithm>

#include "support/packetizer.h"

namespace {

constexpr size_t kPaddingPackets = 512;

}  // namespace

void StreamFeeder::Start() { m_thread = std::thread([this] { Run(); }); }

void StreamFeeder::Join()
{
    if (m_thread.joinable()) m_thread.join();
}

void StreamFeeder::Run()
{
    Bytes padding;
    for (size_t i = 0; i < kPaddingPackets; ++i) AppendBytes(padding, MakeNullPacket());
    const DWORD start = GetTickCount();
    const size_t count = m_plan.blocks.size();
    for (size_t i = 0; i < count; ++i) {
        const DWORD due = static_cast<DWORD>(static_cast<unsigned long long>(m_plan.durationMs) * i / count);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed < due) Sleep(due - elapsed);
        if (m_plan.beforeBlock) m_plan.beforeBlock(i);
        const Bytes& block = m_plan.blocks[i];
        m_plugin.StreamData(block.data(), static_cast<uint32_t>(block.size()));
        m_bytes += block.size();
        for (size_t left = m_plan.paddingBytesPerBlock; left > 0;) {
            const size_t n = std::min(left, padding.size());
            m_plugin.StreamData(padding.data(), static_cast<uint32_t>(n));
            m_bytes += n;
            left -= n;
        }
    }
    m_done = true;
}
