// Small helpers shared by the rule tests: case folding of names the way the tests compare them
// (the keys for framework/EqualPairs.h), the text of an object's constraint, the opening of a
// scheme's rules; the guard that keeps a walk over a class or rule tree from running round a cycle
// is framework/PathGuard.h. Header only; no state beyond what a caller owns.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/EqualPairs.h"
#include "framework/PathGuard.h"

#include "lumopi/LumoPI.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <unordered_set>

namespace NorvRules
{

inline std::string UpperCase(const std::string& text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The text of the object's constraint of that name; false, value unchanged, when the constraint
// or its value cannot be read.
inline bool ReadConstraintText(const Lumo::IObjectNorv* object, const char* name, std::string& value)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    if (!object || !object->GetConstraint(constraint, name))
        return false;
    Lumo::String text;
    if (!constraint->GetValueByString(text))
        return false;
    value = text.str();
    return true;
}

// Reads the scheme's index and name, opens the iterator over the rules of one kind that the
// scheme lists and gives it to walk(rules, result), which walks it with walkOn. On a failed read
// raises its code on the test and returns false; failCodes are those of the index (no pair), the
// name (with the index) and the iterator (with index and name), which a walk that fails on the way
// raises too. True when the rules were walked to their end.
template <class Rule, class Walk>
bool WalkSchemeRules(CNorvDetailChecker& test, const Lumo::ContainerT<const Lumo::INorvScheme>& scheme,
                     Lumo::Result (Lumo::INorvScheme::*rulesOf)(Lumo::IteratorT<const Rule>&) const,
                     const unsigned (&failCodes)[3], Lumo::Index& index, Walk&& walk)
{
    if (!scheme->GetIndex(index))
    {
        test.raiseError(static_cast<int>(failCodes[0]));
        return false;
    }
    Lumo::String name;
    if (!scheme->GetName(name))
    {
        test.raiseError(static_cast<int>(failCodes[1]), index);
        return false;
    }
    Lumo::IteratorT<const Rule> rules;
    Lumo::Result result = ((*scheme).*rulesOf)(rules);
    if (result)
        walk(rules, result);
    if (!result)
    {
        test.raiseError(static_cast<int>(failCodes[2]), index, name);
        return false;
    }
    return true;
}

// The decimal text of a number, as the findings show numbers.
inline std::string NumberText(long long value)
{
    return std::to_string(value);
}

} // namespace NorvRules
