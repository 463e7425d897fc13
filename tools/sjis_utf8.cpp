#include "sjis_utf8.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr size_t kOutChunk = 4096;

// Keeps tab and line feed, turns CR and CR LF into a line feed, drops the other C0 and the
// C1 controls (U+0080..U+009F, which XML readers reject or flag).
std::string CleanControls(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r') {
            out += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (c < 0x20 && c != '\t' && c != '\n') {
            continue;
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::string ShiftJisToXmlUtf8(const std::string& sjis)
{
    // One descriptor for the process: opening one per string costs more than converting it.
    static const iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    char* in = const_cast<char*>(sjis.data());
    size_t inLeft = sjis.size();
    char chunk[kOutChunk];
    while (inLeft > 0) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        const size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(chunk, static_cast<size_t>(dst - chunk));
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // A byte that starts no character, or a character cut short: drop one byte.
        ++in;
        --inLeft;
    }
    return CleanControls(out);
}
