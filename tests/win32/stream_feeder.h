// The host's capture thread: feeds stream blocks to slot 3 from a thread of its own, paced
// over a given time, padded with null packets as a multiplex carries audio and video.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

#include "plugin_abi.h"
#include "support/section_builder.h"

struct FeedPlan {
    std::vector<Bytes> blocks;
    size_t paddingBytesPerBlock = 0;  // null packets sent after each block, in 188-packet blocks
    unsigned durationMs = 0;          // the blocks spread evenly over this time
    std::function<void(size_t)> beforeBlock;  // runs on the feeding thread before block i
};

class StreamFeeder {
public:
    StreamFeeder(PluginObject plugin, FeedPlan plan) : m_plugin(plugin), m_plan(std::move(plan)) {}
    ~StreamFeeder() { Join(); }
    StreamFeeder(const StreamFeeder&) = delete;
    StreamFeeder& operator=(const StreamFeeder&) = delete;

    void Start();
    bool Done() const { return m_done; }
    void Join();
    size_t BytesFed() const { return m_bytes; }

private:
    void Run();
    PluginObject m_plugin;
    FeedPlan m_plan;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    size_t m_bytes = 0;
};
