// Text helpers of the utility library: trimming, ASCII case, replacing, prefix and suffix tests,
// splitting, base64 and random names. All work on bytes (no locale), keep no state and report
// nothing but their result; they are safe to call from any thread (randomString uses rand()).
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <vector>

namespace LumoUtils {

// White space here is blank, tab, line feed and carriage return.
std::string trimLeft(const std::string& s);
std::string trimRight(const std::string& s);
std::string trim(const std::string& s);

// ASCII letters only; every other byte (embedded zero bytes included) is kept.
std::string toLower(const std::string& s);
std::string toUpper(const std::string& s);

// In place; each returns s.
std::string& replaceChar(std::string& s, char from, char to);
// Replaces every occurrence of from, left to right, never re-scanning inserted text.
// An empty (or null) from leaves s unchanged; a null to counts as empty.
std::string& replaceAll(std::string& s, const char* from, const char* to);
// Carriage returns and line feeds become the two-character escapes \r and \n.
std::string& escapeNewlines(std::string& s);
// Whether s holds a control byte (0x00-0x1F or 0x7F).
bool hasControlChars(const std::string& s);
// s with every control byte not listed in keep written as \xHH (two upper-case hex digits), so
// that a name cannot break a line or drive a terminal. Text without one comes back unchanged.
std::string escapeControls(const std::string& s, const char* keep = "");

// Whether s[pos, pos + len) equals other; len is cut to what s holds from pos on. False when pos
// is not inside s (so nothing matches in an empty s).
bool compareSubstring(const std::string& s, unsigned pos, unsigned len, const std::string& other,
                      bool caseSensitive);
// On a match rest is s without the prefix (suffix); otherwise rest is emptied.
bool stripPrefix(const std::string& s, const std::string& prefix, std::string& rest, bool caseSensitive);
bool stripSuffix(const std::string& s, const std::string& suffix, std::string& rest, bool caseSensitive);

// n characters from A-Z and 0-9, drawn with the C library's rand() (not seeded here).
std::string randomString(unsigned n);

bool isBase64Char(unsigned char c);
// Standard base64 (RFC 4648) with '=' padding.
std::string base64Encode(const char* data, std::size_t length);
std::string base64Encode(const std::string& data);
// Decodes up to the first '=' or the first character outside the alphabet; a single leftover
// character yields nothing.
std::string base64Decode(const std::string& text);

// The non-empty pieces between occurrences of delimiter, in order. An empty delimiter gives the
// whole text as one piece; an empty text gives none.
std::vector<std::string> split(const std::string& text, const std::string& delimiter);
// The pieces of split appended to out; each returns out's size afterwards.
int splitInto(const std::string& text, const std::string& delimiter, std::vector<std::string>& out);
int splitIntoList(const std::string& text, const std::string& delimiter, std::list<std::string>& out);
std::list<std::string> splitToList(const std::string& text, const std::string& delimiter);

} // namespace LumoUtils
