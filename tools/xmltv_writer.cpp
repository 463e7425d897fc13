#include "xmltv_writer.h"

#include <cerrno>
#include <cstring>

#include "arib_genre.h"
#include "tool_files.h"

namespace {

struct VideoFormat {
    const char* quality = nullptr;
    const char* aspect = nullptr;
};

// component_type (ARIB STD-B10): the high nibble is the scanning format, the low nibble
// the aspect ratio (1 4:3; 2 and 3 16:9 with and without pan vectors; 4 wider).
VideoFormat VideoOf(int componentType)
{
    VideoFormat v;
    if (componentType < 0) return v;
    switch (componentType >> 4) {
    case 0x0: case 0xA: case 0xD: v.quality = "SDTV"; break;
    case 0xB: case 0xC: case 0xE: v.quality = "HDTV"; break;
    default: break;
    }
    switch (componentType & 0x0F) {
    case 1: v.aspect = "4:3"; break;
    case 2: case 3: v.aspect = "16:9"; break;
    default: break;
    }
    return v;
}

void WriteProgramme(std::FILE* out, const std::string& channelId, const XmltvProgramme& p)
{
    std::fprintf(out, "  <programme start=\"%s\"", XmltvTime(p.start).c_str());
    if (p.stop != kNoStop) std::fprintf(out, " stop=\"%s\"", XmltvTime(p.stop).c_str());
    std::fprintf(out, " channel=\"%s\">\n    <title lang=\"ja\">%s</title>\n", channelId.c_str(),
                 XmlEscape(p.title).c_str());
    if (!p.desc.empty()) std::fprintf(out, "    <desc lang=\"ja\">%s</desc>\n", XmlEscape(p.desc).c_str());
    if (const GenreName* genre = p.genre >= 0 ? MajorGenre(static_cast<unsigned>(p.genre)) : nullptr)
        std::fprintf(out, "    <category lang=\"ja\">%s</category>\n    <category lang=\"en\">%s</category>\n",
                     genre->japanese, genre->english);
    const VideoFormat video = VideoOf(p.videoComponent);
    if (video.quality || video.aspect) {
        std::fprintf(out, "    <video>\n");
        if (video.aspect) std::fprintf(out, "      <aspect>%s</aspect>\n", video.aspect);
        if (video.quality) std::fprintf(out, "      <quality>%s</quality>\n", video.quality);
        std::fprintf(out, "    </video>\n");
    }
    std::fprintf(out, "  </programme>\n");
}

}  // namespace

std::string XmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

void WriteXmltv(std::FILE* out, const std::vector<XmltvChannel>& channels)
{
    std::fprintf(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
                      "<tv generator-info-name=\"lumara-inspect\">\n");
    for (const XmltvChannel& c : channels)
        std::fprintf(out, "  <channel id=\"%s\">\n    <display-name lang=\"ja\">%s</display-name>\n  </channel>\n",
                     c.id.c_str(), XmlEscape(c.name).c_str());
    for (const XmltvChannel& c : channels)
        for (const XmltvProgramme& p : c.programmes) WriteProgramme(out, c.id, p);
    std::fprintf(out, "</tv>\n");
}

bool SaveXmltv(const char* path, const std::vector<XmltvChannel>& channels, std::string& error)
{
    if (std::strcmp(path, "-") == 0) {
        WriteXmltv(stdout, channels);
        if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
        error = std::string("cannot write to standard output: ") + std::strerror(errno);
        return false;
    }
    std::string temp;
    std::FILE* out = CreateTemporaryBeside(path, temp);
    if (!out) {
        error = std::string("cannot write ") + path + ": " + std::strerror(errno);
        return false;
    }
    WriteXmltv(out, channels);
    if (CloseToDisk(out) && ReplaceFileUtf8(temp.c_str(), path)) return true;
    error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    RemoveFileUtf8(temp.c_str());
    return false;
}
