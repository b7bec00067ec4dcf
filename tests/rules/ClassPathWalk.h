// The walk that the tests of used classes make over a class tree (constraint classes or net
// classes) once per run: a record {index, path name} per class in depth-first pre-order, and the
// path names in a hash set for lookups. A path name joins the names of a class's ancestors and its
// own with "/". Header only; the walk runs on the test's thread and owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/IndexNameRecord.h"
#include "tests/rules/RuleWalk.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace NorvRules
{

// Where the walk puts what it finds, and the guard that stops it on a cycle.
struct ClassPathSink
{
    std::vector<IndexNameRecord>& records;
    std::unordered_set<std::string>& names;
    PathGuard& path;
};

// The codes a failed read raises. The failed children read carries the class's (index, path)
// when childrenFailureNamesClass is set, no pair otherwise.
struct ClassWalkCodes
{
    unsigned nameFailed;
    unsigned indexFailed;
    unsigned childrenFailed;
    bool childrenFailureNamesClass;
};

// Walks the classes of the iterator and, depth first, their children below parentPath. The first
// failed read is raised on the test and ends the walk with false. A class met again below itself
// is reported as if its children could not be read, and so is a walk of its children that fails on
// the way. A failure of this walk itself on the way is left in walk, unraised, for the caller.
template <class Class>
bool CollectClassPaths(CNorvDetailChecker& test, Lumo::IteratorT<const Class>& it, const std::string& parentPath,
                       Lumo::Result (Class::*childrenOf)(Lumo::IteratorT<const Class>&) const,
                       const ClassWalkCodes& codes, const ClassPathSink& sink, Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        std::string path = parentPath;
        if (!path.empty())
            path += "/";
        Lumo::String name;
        if (!it->GetName(name))
        {
            test.raiseError(static_cast<int>(codes.nameFailed));
            return false;
        }
        Lumo::Index index;
        if (!it->GetIndex(index))
        {
            test.raiseError(static_cast<int>(codes.indexFailed));
            return false;
        }
        path += name.str();
        sink.records.emplace_back(index, path);
        sink.names.insert(path);

        PathGuard::Scope onPath(sink.path, index);
        Lumo::IteratorT<const Class> children;
        const bool entered = onPath.Entered();
        Lumo::Result childrenWalk = entered ? ((*it).*childrenOf)(children) : Lumo::Result();
        bool collected = false;
        if (entered && childrenWalk)
            collected = CollectClassPaths(test, children, path, childrenOf, codes, sink, childrenWalk);
        if (!entered || !childrenWalk)
        {
            if (codes.childrenFailureNamesClass)
                test.raiseError(static_cast<int>(codes.childrenFailed), index, path);
            else
                test.raiseError(static_cast<int>(codes.childrenFailed));
            return false;
        }
        if (!collected)
            return false;
    }
    return static_cast<bool>(walk);
}

} // namespace NorvRules
