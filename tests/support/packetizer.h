// Cuts sections into 188-byte transport-stream packets the way a multiplexer does:
// PUSI with pointer_field where a section starts, continuity counters per PID, several
// sections per packet when they fit, 0xFF stuffing after the last one.
#pragma once

#include <cstdint>
#include <vector>

#include "support/section_builder.h"

class Packetizer {
public:
    explicit Packetizer(uint16_t pid, int firstCC = 0) : m_pid(pid), m_cc(firstCC & 0x0F) {}

    // Packets carrying the sections back to back; a new packet starts each call.
    Bytes Packetize(const std::vector<Bytes>& sections);
    Bytes Packetize(const Bytes& section) { return Packetize(std::vector<Bytes>{section}); }

    int NextCC() const { return m_cc; }
    void SetNextCC(int cc) { m_cc = cc & 0x0F; }

private:
    uint16_t m_pid;
    int m_cc;
};

// One packet on `pid` with the given payload (up to 184 bytes, padded with 0xFF).
Bytes MakePacket(uint16_t pid, bool unitStart, int cc, const Bytes& payload);

// A TOT packet as broadcast: PUSI, pointer_field 0, the section, stuffing.
Bytes MakeTotPacket(const BroadcastTime& jst, int cc = 0);

// A null packet (PID 0x1FFF), standing in for audio and video.
Bytes MakeNullPacket();

// Splits bytes into blocks of the given sizes, cycling through them (the host's data calls).
std::vector<Bytes> CutBlocks(const Bytes& stream, const std::vector<size_t>& sizes);

void AppendBytes(Bytes& to, const Bytes& from);
