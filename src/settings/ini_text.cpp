#include "settings/ini_text.h"

#include <cstdint>
#include <cstring>

namespace {

enum class LineKind { Blank, Comment, Section, Key };

struct IniLine {
    size_t begin = 0;       // first byte of the line
    size_t contentEnd = 0;  // where its line end (or the text) starts
    size_t next = 0;        // first byte of the following line
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section or key name
    std::string_view value;  // key value, blanks removed
    bool hasValue = false;   // the key line has '='
};

// First CR or LF from pos, or the end of the text; memchr keeps long files cheap.
size_t LineEnd(std::string_view text, size_t pos)
{
    const char* begin = text.data() + pos;
    size_t left = text.size() - pos;
    const void* lf = std::memchr(begin, '\n', left);
    size_t end = lf ? size_t(static_cast<const char*>(lf) - begin) : left;
    const void* cr = std::memchr(begin, '\r', end);
    if (cr) end = size_t(static_cast<const char*>(cr) - begin);
    return pos + end;
}

// Reads the line starting at pos (pos < text.size()). Key lines are split into name and value
// only when wanted: most lines of a lookup lie outside the section it looks in.
IniLine ReadLine(std::string_view text, size_t pos, bool wantKeys)
{
    IniLine line;
    line.begin = pos;
    size_t end = LineEnd(text, pos);
    line.contentEnd = end;
    line.next = end;
    if (end < text.size()) {
        line.next = end + 1;
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') line.next = end + 2;
    }

    size_t first = pos;
    while (first < end && IniIsBlank(text[first])) ++first;
    if (first == end) return line;
    if (!wantKeys && text[first] != '[') {
        line.kind = LineKind::Key;
        return line;
    }
    std::string_view content = IniTrim(text.substr(first, end - first));
    if (content.front() == ';') {
        line.kind = LineKind::Comment;
        return line;
    }
    if (content.front() == '[') {
        size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            line.name = IniTrim(content.substr(1, close - 1));
            return line;
        }
    }
    line.kind = LineKind::Key;
    size_t equals = content.find('=');
    line.name = IniTrim(content.substr(0, equals));
    if (equals != std::string_view::npos) {
        line.hasValue = true;
        line.value = IniTrim(content.substr(equals + 1));
    }
    return line;
}

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool NamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

// Where the first section of the name lies and what it holds about the key.
struct SectionScan {
    bool sectionFound = false;
    bool keyFound = false;
    IniLine keyLine;
    size_t appendAt = 0;          // just after the last non-blank line of the section
    bool appendNeedsEol = false;  // that line is the last of the text and has no line end
};

SectionScan ScanSection(std::string_view text, std::string_view section, std::string_view key)
{
    SectionScan scan;
    bool inside = false;
    // A UTF-8 byte-order mark (left by some editors) is not part of the first line.
    size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    for (size_t pos = start; pos < text.size();) {
        IniLine line = ReadLine(text, pos, inside);
        pos = line.next;
        if (line.kind == LineKind::Section) {
            if (inside) break;  // only the first section of the name counts
            inside = NamesEqual(line.name, section);
            scan.sectionFound = scan.sectionFound || inside;
        } else if (!inside || line.kind == LineKind::Blank) {
            continue;
        } else if (line.kind == LineKind::Key && NamesEqual(line.name, key)) {
            scan.keyFound = true;
            scan.keyLine = line;
            return scan;
        }
        if (inside) {
            scan.appendAt = line.next;
            scan.appendNeedsEol = line.next == line.contentEnd;
        }
    }
    return scan;
}

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool IsValidEdit(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.empty() || key.empty()) return false;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    // A key must read back as the same key line.
    return key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[';
}

std::string_view SkipLeadingBlanks(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && IniIsBlank(s[i])) ++i;
    return s.substr(i);
}

}  // namespace

bool IniIsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view IniTrim(std::string_view s)
{
    size_t first = 0;
    size_t last = s.size();
    while (first < last && IniIsBlank(s[first])) ++first;
    while (last > first && IniIsBlank(s[last - 1])) --last;
    return s.substr(first, last - first);
}

bool IniFindValue(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view& value)
{
    SectionScan scan = ScanSection(text, IniTrim(section), IniTrim(key));
    if (!scan.keyFound || !scan.keyLine.hasValue) return false;
    value = scan.keyLine.value;
    return true;
}

std::string_view IniUnquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

int IniValueToInt(std::string_view value)
{
    std::string_view s = value.substr(0, kIniIntTextLimit);
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < s.size() && s[i] == '0') {
        char prefix = s[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        uint32_t digit = (c >= '0' && c <= '9')   ? uint32_t(c - '0')
                         : (c >= 'A' && c <= 'Z') ? uint32_t(c - 'A' + 10)
                         : (c >= 'a' && c <= 'z') ? uint32_t(c - 'a' + 10)
                                                  : base;
        if (digit >= base) break;
        total = total * base + digit;
    }
    if (negative) total = 0u - total;
    return static_cast<int>(total);
}

IniEdit IniSetValue(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value, std::string& out)
{
    section = IniTrim(section);
    key = IniTrim(key);
    value = SkipLeadingBlanks(value);
    if (!IsValidEdit(section, key, value)) return IniEdit::Invalid;

    SectionScan scan = ScanSection(text, section, key);
    if (scan.keyFound) {
        const IniLine& line = scan.keyLine;
        if (line.hasValue && line.value == value) return IniEdit::Unchanged;
        out.reserve(text.size() + value.size() + 2);
        out.assign(text.substr(0, line.begin));
        out.append(line.name).append("=").append(value);
        out.append(text.substr(line.contentEnd));
        return IniEdit::Changed;
    }

    std::string added;
    size_t at = text.size();
    if (scan.sectionFound) {
        at = scan.appendAt;
        if (scan.appendNeedsEol) added.append("\r\n");
    } else {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') added.append("\r\n");
        added.append("[").append(section).append("]\r\n");
    }
    added.append(key).append("=").append(value).append("\r\n");
    out.reserve(text.size() + added.size());
    out.assign(text.substr(0, at));
    out.append(added);
    out.append(text.substr(at));
    return IniEdit::Changed;
}
