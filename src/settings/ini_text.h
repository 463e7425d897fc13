// Lookup and edit of INI text held in memory, with the Windows private-profile rules:
// lines end at CR, LF or CR LF; blanks around a line, a key name and a value do not count;
// "[name]" opens a section (the name is what lies between '[' and the last ']', blanks
// removed);
// "name=value" is a key, a line without '=' a key without value; ';' starts a comment line;
// names compare without regard to ASCII case; only the first section of a name is used, and
// in it the first key of a name. Any bytes are accepted; nothing is read outside the text.
#pragma once

#include <string>
#include <string_view>

// The key's value, blanks around it removed, quotes kept. False when the section or the key
// is missing or the key has no '='.
bool IniFindValue(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view& value);

// The value as the profile API hands it out: one pair of matching quotes (' or ") dropped.
std::string_view IniUnquote(std::string_view value);

// Integer of a value the way the profile API converts it: leading blanks, optional sign,
// optional "0x"/"0o"/"0b" base prefix, digits up to the first other character, modulo 2^32.
// Only the first kIniIntTextLimit characters count.
constexpr size_t kIniIntTextLimit = 29;
int IniValueToInt(std::string_view value);

enum class IniEdit {
    Unchanged,  // the key already holds this value; nothing to write
    Changed,    // out holds the new text
    Invalid,    // a name or value that cannot be represented on one line
};

// Sets the key in the text. An existing key's line becomes "name=value" (its own name
// spelling and line end kept); a new key goes after the last non-blank line of its section;
// a new section goes at the end of the text. New lines end with CR LF. Every other byte of
// the text is kept.
IniEdit IniSetValue(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value, std::string& out);

// Blanks as the profile API sees them (the C space set plus the DOS end-of-file mark).
bool IniIsBlank(char c);
std::string_view IniTrim(std::string_view s);
