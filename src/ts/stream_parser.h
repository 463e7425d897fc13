// The parser object: packet intake by PID, section assembly per PID and the broadcast
// clock (ISO/IEC 13818-1 packets and sections; ARIB STD-B10 TOT). Its table handlers write
// the programme store it holds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/programme_store.h"

constexpr int kPacketSize = 188;
constexpr int kPidCount = 8192;
constexpr uint16_t kPidNit = 0x0010;
constexpr uint16_t kPidSdt = 0x0011;
constexpr uint16_t kPidEit = 0x0012;
constexpr uint16_t kPidTot = 0x0014;
constexpr uint8_t kTableIdTot = 0x73;
// ISO/IEC 13818-1 limits private sections to 4093 bytes after section_length.
constexpr int kMaxSectionLength = 4093;
constexpr int kMaxSectionBytes = kMaxSectionLength + 3;

struct PidBuffer {
    int nextCC = 0;
    uint8_t* data = nullptr;  // owned
    int capacity = 0;
    int reserved = 0;
    int fill = 0;
};

// Sees every complete section with a valid CRC, before its table handler.
using SectionTap = void (*)(void* context, int pid, const uint8_t* section, int length);

struct StreamParser {
    StreamParser() = default;
    ~StreamParser();
    StreamParser(const StreamParser&) = delete;
    StreamParser& operator=(const StreamParser&) = delete;

    ProgrammeStore store;
    PidBuffer* pidBuffers[kPidCount] = {};
    int totYear = 0;  // 0 = no TOT seen yet
    int totMonth = 0;
    int totDay = 0;
    int totHour = 0;
    int totMinute = 0;
    int totSecond = 0;
    int64_t totTime = 0;  // broadcast clock; advanced by the window's one-second tick
    int suspended = 0;

    SectionTap sectionTap = nullptr;
    void* sectionTapContext = nullptr;

    // Every section CRC-checked (portable CRC) and handed to its handler, repeats included:
    // the reference the fast intake is compared with.
    bool plainIntake = false;
    uint64_t sectionCount = 0;  // complete valid sections taken
    uint64_t repeatCount = 0;   // of which equal to their stored copy, so neither checked nor handled
};

// Packet intake for one 188-byte packet.
void TakePacket(StreamParser& parser, const uint8_t* packet);

// Feeds every whole packet of a block in order; a trailing fragment shorter than a packet
// is not read. Returns the number of packets taken.
size_t TakePackets(StreamParser& parser, const uint8_t* data, size_t size);

// Runs the table handler of a PID on its buffered bytes until no complete section is left.
void ProcessSections(StreamParser& parser, int pid);

// Stream change: every section buffer drops its partial content; storage is kept.
void ResetSectionBuffers(StreamParser& parser);

// Clears the programme data: every service of the store and every section buffer. The
// clock, scheduleBase, dirty and cacheVersion are kept.
void ClearProgrammeData(StreamParser& parser);

// Start-up: a store loaded from the event cache on its own replaces the programme data,
// section buffers included (MoveLoadedStore); loaded is left empty.
void MoveLoadedCache(ProgrammeStore& loaded, StreamParser& target);
