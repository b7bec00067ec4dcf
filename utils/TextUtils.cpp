#include "utils/TextUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace LumoUtils {

namespace {

const char* const kWhiteSpace = " \t\n\r";
const std::string kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kRandomAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

char lowerByte(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperByte(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Value of a base64 character, or -1.
int base64Value(char c)
{
    const std::size_t pos = kBase64Alphabet.find(c);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

// Calls emit for each non-empty piece of text between occurrences of delimiter.
template <typename Emit>
void forEachPiece(const std::string& text, const std::string& delimiter, Emit emit)
{
    if (delimiter.empty()) {
        if (!text.empty())
            emit(text);
        return;
    }
    std::size_t start = 0;
    for (std::size_t p = text.find(delimiter); p != std::string::npos; p = text.find(delimiter, start)) {
        if (p != start)
            emit(text.substr(start, p - start));
        start = p + delimiter.size();
    }
    if (start < text.size())
        emit(text.substr(start));
}

} // namespace

std::string trimLeft(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(kWhiteSpace);
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string trimRight(const std::string& s)
{
    const std::size_t last = s.find_last_not_of(kWhiteSpace);
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

std::string trim(const std::string& s)
{
    return trimLeft(trimRight(s));
}

std::string toLower(const std::string& s)
{
    std::string result(s);
    for (char& c : result)
        c = lowerByte(c);
    return result;
}

std::string toUpper(const std::string& s)
{
    std::string result(s);
    for (char& c : result)
        c = upperByte(c);
    return result;
}

std::string& replaceChar(std::string& s, char from, char to)
{
    for (char& c : s) {
        if (c == from)
            c = to;
    }
    return s;
}

std::string& replaceAll(std::string& s, const char* from, const char* to)
{
    if (!from || !*from)
        return s;
    const std::size_t fromLength = std::strlen(from);
    const std::string replacement = to ? to : "";
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + replacement.size()))
        s.replace(p, fromLength, replacement);
    return s;
}

std::string& escapeNewlines(std::string& s)
{
    replaceAll(s, "\r", "\\r");
    return replaceAll(s, "\n", "\\n");
}

bool hasControlChars(const std::string& s)
{
    for (char c : s)
        if (isControl(static_cast<unsigned char>(c)))
            return true;
    return false;
}

std::string escapeControls(const std::string& s, const char* keep)
{
    static const char kHex[] = "0123456789ABCDEF";
    if (!hasControlChars(s))
        return s;
    std::string out;
    out.reserve(s.size() + 8);
    for (char c : s) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (isControl(byte) && (c == '\0' || std::strchr(keep, c) == nullptr)) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool compareSubstring(const std::string& s, unsigned pos, unsigned len, const std::string& other,
                      bool caseSensitive)
{
    if (pos >= s.size())
        return false;
    const std::size_t length = std::min<std::size_t>(len, s.size() - pos);
    if (length != other.size())
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const char a = s[pos + i];
        const char b = other[i];
        if (caseSensitive ? a != b : lowerByte(a) != lowerByte(b))
            return false;
    }
    return true;
}

bool stripPrefix(const std::string& s, const std::string& prefix, std::string& rest, bool caseSensitive)
{
    if (compareSubstring(s, 0, static_cast<unsigned>(prefix.size()), prefix, caseSensitive)) {
        rest = s.substr(prefix.size());
        return true;
    }
    rest.clear();
    return false;
}

bool stripSuffix(const std::string& s, const std::string& suffix, std::string& rest, bool caseSensitive)
{
    if (suffix.size() <= s.size()) {
        const std::size_t pos = s.size() - suffix.size();
        if (compareSubstring(s, static_cast<unsigned>(pos), static_cast<unsigned>(suffix.size()), suffix,
                             caseSensitive)) {
            rest = s.substr(0, pos);
            return true;
        }
    }
    rest.clear();
    return false;
}

std::string randomString(unsigned n)
{
    const int alphabetSize = static_cast<int>(sizeof(kRandomAlphabet) - 1);
    std::string result(n, ' ');
    for (unsigned i = n; i > 0; --i)
        result[i - 1] = kRandomAlphabet[std::rand() % alphabetSize];
    return result;
}

bool isBase64Char(unsigned char c)
{
    return std::isalnum(c) || c == '+' || c == '/';
}

std::string base64Encode(const char* data, std::size_t length)
{
    std::string result;
    if (!data || length == 0)
        return result;
    result.reserve((length + 2) / 3 * 4);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        result += kBase64Alphabet[(group >> 18) & 0x3F];
        result += kBase64Alphabet[(group >> 12) & 0x3F];
        result += kBase64Alphabet[(group >> 6) & 0x3F];
        result += kBase64Alphabet[group & 0x3F];
    }
    const std::size_t left = length - i;
    if (left > 0) {
        const unsigned group = (bytes[i] << 16) | (left == 2 ? bytes[i + 1] << 8 : 0);
        result += kBase64Alphabet[(group >> 18) & 0x3F];
        result += kBase64Alphabet[(group >> 12) & 0x3F];
        result += left == 2 ? kBase64Alphabet[(group >> 6) & 0x3F] : '=';
        result += '=';
    }
    return result;
}

std::string base64Encode(const std::string& data)
{
    return base64Encode(data.data(), data.size());
}

std::string base64Decode(const std::string& text)
{
    std::string result;
    unsigned group = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=' || !isBase64Char(static_cast<unsigned char>(c)))
            break;
        const int value = base64Value(c);
        if (value < 0) // alphanumeric outside ASCII (possible in other C locales)
            break;
        group = (group << 6) | static_cast<unsigned>(value);
        if (++count == 4) {
            result += static_cast<char>((group >> 16) & 0xFF);
            result += static_cast<char>((group >> 8) & 0xFF);
            result += static_cast<char>(group & 0xFF);
            group = 0;
            count = 0;
        }
    }
    if (count >= 2) {
        group <<= 6 * (4 - count);
        result += static_cast<char>((group >> 16) & 0xFF);
        if (count == 3)
            result += static_cast<char>((group >> 8) & 0xFF);
    }
    return result;
}

std::vector<std::string> split(const std::string& text, const std::string& delimiter)
{
    std::vector<std::string> pieces;
    forEachPiece(text, delimiter, [&pieces](std::string piece) { pieces.push_back(std::move(piece)); });
    return pieces;
}

int splitInto(const std::string& text, const std::string& delimiter, std::vector<std::string>& out)
{
    forEachPiece(text, delimiter, [&out](std::string piece) { out.push_back(std::move(piece)); });
    return static_cast<int>(out.size());
}

int splitIntoList(const std::string& text, const std::string& delimiter, std::list<std::string>& out)
{
    forEachPiece(text, delimiter, [&out](std::string piece) { out.push_back(std::move(piece)); });
    return static_cast<int>(out.size());
}

std::list<std::string> splitToList(const std::string& text, const std::string& delimiter)
{
    std::list<std::string> pieces;
    splitIntoList(text, delimiter, pieces);
    return pieces;
}

} // namespace LumoUtils
