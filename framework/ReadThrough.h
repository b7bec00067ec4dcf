// Reading through a container that a getter filled, and walking an iterator that a GetIter* call
// filled. A getter may succeed with an object that is flagged not valid: no call is made through
// such a container, and the read fails with the container's own validity answer, which names the
// object as the read itself would. The caller then reports what that read reports when it fails.
// A failed result is also told apart from the failures that are a state rather than a failed read:
// the end of a walk, an object flagged not valid, a name that names nothing. Stateless; safe from
// any thread.
#pragma once

#include "lumopi/LumoPI.h"

#include <cstddef>
#include <cstring>

template <class T, class Read>
Lumo::Result readThrough(const Lumo::ContainerT<T>& container, Read&& read)
{
    Lumo::Result valid = container.IsValid();
    if (!valid)
        return valid;
    return read();
}

// The text of a failed result: every failure carries a text, but the result gives it only while
// result texts are on (a process-wide switch that the log's wording depends on). With texts off the
// text is read with them on for that moment, and they are off again before anything else reads a
// result on this thread.
inline Lumo::String failureText(const Lumo::Result& failed)
{
    Lumo::String text = failed.GetDescription();
    if (!text.IsEmpty() || failed)
        return text;
    Lumo::Result::SetStringResultsEnabled(true);
    text = failed.GetDescription();
    Lumo::Result::SetStringResultsEnabled(false);
    return text;
}

// Whether test holds for the text of a failed result (failureText).
template <class Test>
bool failureTextIs(const Lumo::Result& failed, Test&& test)
{
    return test(failureText(failed));
}

// An iterator's IsValid fails at the end of its list as well as on a failed read; the end reads as
// an empty container.
inline bool isEndOfWalk(const Lumo::Result& stop)
{
    // Every walk ends here once: the text is compared in place, without a string of its own.
    static constexpr char kEnd[] = "empty container";
    return failureTextIs(stop, [](const Lumo::String& text) {
        return text.Length() == sizeof(kEnd) - 1 && std::memcmp(text.c_str(), kEnd, sizeof(kEnd) - 1) == 0;
    });
}

// Whether a failure's text begins with `prefix` (a literal).
template <size_t N>
bool failureTextStartsWith(const Lumo::Result& failed, const char (&prefix)[N])
{
    return failureTextIs(failed, [&prefix](const Lumo::String& text) {
        return text.Length() >= N - 1 && std::memcmp(text.c_str(), prefix, N - 1) == 0;
    });
}

// Every call through an object that is flagged not valid fails, naming the object as not valid:
// such a failure is the object's state, not a read that failed.
inline bool isNotValidObject(const Lumo::Result& failed)
{
    return failureTextStartsWith(failed, "object is not valid");
}

// A look-up by name fails so when nothing has the name: nothing to read, not a read that failed.
inline bool isNotFound(const Lumo::Result& failed)
{
    return failureTextStartsWith(failed, "not found");
}

// One step of a walk, as the condition of its loop:
//     Lumo::Result walk = parent->GetIterX(it);
//     for (; walkOn(it, walk); ++it) ...
//     if (!walk) ...report it as the failed GetIterX...
// True while the iterator stands on an element. A walk that stops on anything but the end of its
// list keeps that failure in walk, so that it reads as a failed read of the walk, not as a short
// list. A walk whose result failed already (its GetIter* call) reads nothing.
template <class T>
bool walkOn(const Lumo::IteratorT<T>& iterator, Lumo::Result& walk)
{
    if (!walk)
        return false;
    Lumo::Result valid = iterator.IsValid();
    if (valid)
        return true;
    if (!isEndOfWalk(valid))
        walk = valid;
    return false;
}
