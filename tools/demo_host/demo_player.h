// The host's tuner and capture thread: serves the host interface the plug-in calls
// (GetServiceList, SelectChannel, ChangeServiceID) and plays the stream into slot 3 at
// broadcast pace from a thread of its own, making each stream change a tuning call leads
// to on that thread, as a capture thread does.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture_reader.h"
#include "demo_plan.h"
#include "plugin_abi.h"

constexpr UINT kMsgTuned = WM_APP + 20;  // to the notify window: wParam channel, lParam service id

// Where the packets come from: a file read in blocks as it plays, or bytes in memory; either
// way with the packet size and sync found from the data, so any size of capture plays in
// constant memory and a damaged stretch is passed over.
class StreamSource {
public:
    bool OpenFile(const std::string& path);
    void UseBytes(std::vector<uint8_t> bytes);
    // The first `limit` bytes' packets, for the service scan; leaves the reading position alone.
    std::vector<uint8_t> Head(size_t limit);
    // Up to `packets` packets as 188-byte packets; 0 at the end.
    size_t ReadPackets(uint8_t* out, size_t packets);

private:
    struct Input {
        ~Input();
        std::FILE* file = nullptr;
        MemoryCapture memory;
        std::unique_ptr<CaptureReader> reader;
        PacketRun run;
        size_t taken = 0;  // packets of `run` already handed out
    };
    bool Open(Input& input) const;
    static size_t Read(Input& input, uint8_t* out, size_t packets);

    std::string m_path;
    std::vector<uint8_t> m_bytes;
    Input m_input;
};

class DemoPlayer {
public:
    DemoPlayer(PluginObject plugin, DemoTuner tuner, StreamSource& source, double speed, HWND notify);
    ~DemoPlayer() { Stop(); }
    DemoPlayer(const DemoPlayer&) = delete;
    DemoPlayer& operator=(const DemoPlayer&) = delete;

    void* Interface() { return &m_interface; }
    void Start();
    void Stop();
    bool Finished() const { return m_finished; }
    uint64_t BytesPlayed() const { return m_bytes; }

private:
    struct HostInterface {
        const void* const* vtable;
        DemoPlayer* owner;
    };
    static void __stdcall Unused(HostInterface* self);
    static void __stdcall SelectChannel(HostInterface* self, int32_t channel);
    static void __stdcall ChangeServiceID(HostInterface* self, int32_t serviceId);
    static int32_t __stdcall GetServiceList(HostInterface* self, uint8_t* records, int32_t* count);

    void Queue(const TuneEvent& event);
    void Run();
    void ReportPendingChanges();
    bool PlayDue(uint64_t startMs);

    HostInterface m_interface;
    PluginObject m_plugin;
    StreamSource& m_source;
    double m_speed;
    HWND m_notify;
    std::mutex m_mutex;  // guards the three below; never held while calling the plug-in
    DemoTuner m_tuner;
    std::deque<TuneEvent> m_pending;
    TuneEvent m_reporting;  // the stream change being reported, for GetServiceList
    std::vector<uint8_t> m_block = std::vector<uint8_t>(256 * 188);
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<uint64_t> m_bytes{0};
};
