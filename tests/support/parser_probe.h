// Records the sections the section processor hands to the table handlers.
#pragma once

#include <vector>

#include "support/section_builder.h"
#include "ts/stream_parser.h"

struct HandedSection {
    int pid = 0;
    Bytes bytes;
};

class SectionRecorder {
public:
    explicit SectionRecorder(StreamParser& parser)
    {
        parser.sectionTap = &SectionRecorder::Tap;
        parser.sectionTapContext = this;
    }
    std::vector<HandedSection> sections;

private:
    static void Tap(void* context, int pid, const uint8_t* section, int length)
    {
        static_cast<SectionRecorder*>(context)->sections.push_back({pid, Bytes(section, section + length)});
    }
};

inline void Feed(StreamParser& parser, const Bytes& stream) { TakePackets(parser, stream.data(), stream.size()); }
