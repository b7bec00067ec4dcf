// Reading through a container that a getter filled, and walking an iterator that a GetIter* call
// filled. A getter may succeed with an object that is flagged not valid: no call is made through
// such a container, and the read fails with the container's own validity answer, which names the
// object as the read itself would. The caller then reports what that read reports when it fails.
// Stateless; safe from any thread.
#pragma once

#include "lumopi/LumoPI.h"

#include <cstring>

template <class T, class Read>
Lumo::Result readThrough(const Lumo::ContainerT<T>& container, Read&& read)
{
    Lumo::Result valid = container.IsValid();
    if (!valid)
        return valid;
    return read();
}

// An iterator's IsValid fails at the end of its list as well as on a failed read; the end reads as
// an empty container. Every failure carries a text, but the result gives it only while result texts
// are on (a process-wide switch that the log's wording depends on): with texts off the text is read
// with them on for that moment, and they are off again before anything else reads a result on
// this thread.
inline bool isEndOfWalk(const Lumo::Result& stop)
{
    // Every walk ends here once: the text is compared in place, without a string of its own.
    static constexpr char kEnd[] = "empty container";
    const auto isEnd = [](const Lumo::String& text) {
        return text.Length() == sizeof(kEnd) - 1 && std::memcmp(text.c_str(), kEnd, sizeof(kEnd) - 1) == 0;
    };
    {
        const Lumo::String text = stop.GetDescription();
        if (!text.IsEmpty())
            return isEnd(text);
    }
    Lumo::Result::SetStringResultsEnabled(true);
    const bool end = isEnd(stop.GetDescription());
    Lumo::Result::SetStringResultsEnabled(false);
    return end;
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
