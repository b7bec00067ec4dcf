#include "framework/CCharsValidator.h"

#include <algorithm>

namespace
{

// The character classes, concatenated in this order to make the full set.
const char* const kLower = "abcdefghijklmnopqrstuvwxyz";
const char* const kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kDigits = "0123456789";
const char* const kSpace = " ";
const char* const kPunct1 = "!\"#$%&'()*+,-./";
const char* const kPunct2 = ":;<=>?@";
const char* const kPunct3 = "[\\]^_`";
const char* const kPunct4 = "{|}~";

std::string without(std::string chars, const char* removed)
{
    chars.erase(std::remove_if(chars.begin(), chars.end(),
                               [removed](char c) { return std::string(removed).find(c) != std::string::npos; }),
                chars.end());
    return chars;
}

} // namespace

std::string CCharsValidator::ALL_VALID_CHARS()
{
    return std::string(kLower) + kUpper + kDigits + kSpace + kPunct1 + kPunct2 + kPunct3 + kPunct4;
}

std::string CCharsValidator::CLEARRULE_VALID_CHARS()
{
    return without(ALL_VALID_CHARS(), "\"\\!");
}

std::string CCharsValidator::SCHEME_VALID_CHARS()
{
    return without(ALL_VALID_CHARS(), "\"\\/!");
}

std::string CCharsValidator::TEMPLATE_VALID_CHARS()
{
    return without(ALL_VALID_CHARS(), "\\");
}
