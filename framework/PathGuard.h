// The objects on the current path of a depth-first walk or a chain of parents. A walk enters an
// object only when Enter succeeds, and leaves it with Leave, so that an object met again below
// itself ends the walk instead of being walked for ever. An object is known by its index; one whose
// index reads empty cannot be told from another, so it is always entered, and only a path holding
// more such objects than any design nests is taken for a cycle. Not shared between threads.
#pragma once

#include "lumopi/LumoPI.h"

#include <cstddef>
#include <cstdint>
#include <unordered_set>

class PathGuard
{
public:
    // Objects with an empty index a path may hold before the walk counts as a cycle.
    static constexpr std::size_t kUnknownObjectsLimit = 256;

    bool Enter(const Lumo::Index& index)
    {
        if (!index.IsEmpty())
            return m_onPath.insert(index.GetValue()).second;
        if (m_unknownOnPath >= kUnknownObjectsLimit)
            return false;
        ++m_unknownOnPath;
        return true;
    }
    void Leave(const Lumo::Index& index)
    {
        if (!index.IsEmpty())
            m_onPath.erase(index.GetValue());
        else if (m_unknownOnPath > 0)
            --m_unknownOnPath;
    }
    void Clear()
    {
        m_onPath.clear();
        m_unknownOnPath = 0;
    }

    // Enters an object for the life of the scope; Entered is false when the object is already on
    // the path, that is when the walk has come round a cycle.
    class Scope
    {
    public:
        Scope(PathGuard& guard, const Lumo::Index& index)
            : m_guard(guard), m_index(index), m_entered(guard.Enter(index))
        {
        }
        ~Scope()
        {
            if (m_entered)
                m_guard.Leave(m_index);
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        bool Entered() const { return m_entered; }

    private:
        PathGuard& m_guard;
        Lumo::Index m_index;
        bool m_entered;
    };

private:
    std::unordered_set<std::uint64_t> m_onPath;
    std::size_t m_unknownOnPath = 0;
};
