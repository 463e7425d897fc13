#include "changelog/difference_text.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Bytes only one side has must be followed by this many equal bytes before the walk
// resynchronises past them.
constexpr size_t kResyncBytes = 6;

bool IsShiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A byte past the end reads as the terminator, as in the NUL-terminated cell texts.
unsigned char At(std::string_view s, size_t index)
{
    return index < s.size() ? static_cast<unsigned char>(s[index]) : 0;
}

// The 6 bytes of `from` at `at` appear in `in` at `where` (fewer than 6 left in `from` never match).
bool SixBytesMatch(std::string_view in, size_t where, std::string_view from, size_t at)
{
    return at + kResyncBytes <= from.size() && where + kResyncBytes <= in.size() &&
           std::memcmp(in.data() + where, from.data() + at, kResyncBytes) == 0;
}

class PieceList {
public:
    explicit PieceList(std::string_view a) : m_a(a) {}

    void Add(size_t from, size_t to, bool difference) { Add(m_a.substr(from, to - from), difference); }
    void Add(std::string_view text, bool difference)
    {
        if (text.empty()) return;
        m_pieces.push_back({std::string(text), difference, m_pieces.empty()});
    }
    std::vector<TextPiece> Take() { return std::move(m_pieces); }

private:
    std::string_view m_a;
    std::vector<TextPiece> m_pieces;
};

struct Walk {
    size_t i = 0;
    size_t j = 0;
    size_t runStart = 0;
    std::string pending;
    bool leadA = false;
    bool leadB = false;
};

bool Compare(std::string_view a, std::string_view b, Walk& w)
{
    w.leadA = w.leadA ? false : IsShiftJisLead(At(a, w.i));
    w.leadB = w.leadB ? false : IsShiftJisLead(At(b, w.j));
    if (w.leadA && w.leadB) {
        if (At(a, w.i) != At(b, w.j) || At(a, w.i + 1) != At(b, w.j + 1)) return false;
        w.i = std::min(w.i + 2, a.size());
        w.j = std::min(w.j + 2, b.size());
        w.leadA = w.leadB = false;
        return true;
    }
    if (At(a, w.i) != At(b, w.j)) return false;
    ++w.i;
    ++w.j;
    return true;
}

// Looks for where the two texts agree again; otherwise takes one character of A as changed.
void Resynchronise(std::string_view a, std::string_view b, Walk& w)
{
    for (size_t k = w.i; k + kResyncBytes < a.size(); ++k) {
        if (SixBytesMatch(a, k, b, w.j)) {
            w.pending.append(a.substr(w.i, k - w.i));
            w.i = w.runStart = k;
            return;
        }
    }
    for (size_t m = w.j; m + kResyncBytes < b.size(); ++m) {
        if (SixBytesMatch(b, m, a, w.i)) {
            w.j = m;
            w.runStart = w.i;
            return;
        }
    }
    const size_t take = std::min<size_t>(w.leadA ? 2 : 1, a.size() - w.i);
    w.pending.append(a.substr(w.i, take));
    w.i += take;
    w.j = std::min<size_t>(w.j + (w.leadB ? 2 : 1), b.size());
    w.leadA = w.leadB = false;
    w.runStart = w.i;
}

}  // namespace

std::vector<TextPiece> DifferencePieces(std::string_view a, std::string_view b)
{
    PieceList pieces(a);
    Walk w;
    while (w.i < a.size() && w.j < b.size()) {
        if (Compare(a, b, w)) {
            pieces.Add(w.pending, true);
            w.pending.clear();
            continue;
        }
        if (w.runStart < w.i) pieces.Add(w.runStart, w.i, false);
        Resynchronise(a, b, w);
    }
    pieces.Add(w.pending, true);
    if (w.runStart < w.i) pieces.Add(w.runStart, w.i, false);
    if (w.i < a.size()) pieces.Add(w.i, a.size(), true);
    return pieces.Take();
}
