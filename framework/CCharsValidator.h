// The sets of characters allowed in names of the Norv objects. No state: each call returns a fresh
// string, so the sets are safe to read from any thread.
#pragma once

#include <string>

class CCharsValidator
{
public:
    // Every printable ASCII character, space to tilde (95).
    static std::string ALL_VALID_CHARS();
    // All but the double quote, backslash and exclamation mark (92).
    static std::string CLEARRULE_VALID_CHARS();
    // All but the double quote, backslash, slash and exclamation mark (91).
    static std::string SCHEME_VALID_CHARS();
    // All but the backslash (94).
    static std::string TEMPLATE_VALID_CHARS();
};
