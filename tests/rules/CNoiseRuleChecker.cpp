#include "tests/rules/CNoiseRuleChecker.h"

#include "framework/CDICErrors.h"

namespace
{
const char* const ALL_CLASSES = "(All Classes)";
const char* const ALL_NETS = "(All Nets)";

// The search every look-up by name uses; it counts only when it finds exactly one object.
Lumo::SearchParams SearchParams()
{
    Lumo::SearchParams params(Lumo::SP_0);
    params |= Lumo::SP_5;
    return params;
}

template <class Container>
std::string HierarchicalName(const Container& cls)
{
    Lumo::String name;
    if (!cls->GetHierarchicalName(name, '/'))
        return std::string();
    return name.str();
}

template <class Container>
std::string PlainName(const Container& object)
{
    Lumo::String name;
    if (!object->GetName(name))
        return std::string();
    return name.str();
}
} // namespace

CNoiseRuleChecker::CNoiseRuleChecker() = default;

CNoiseRuleChecker::~CNoiseRuleChecker() = default;

std::string CNoiseRuleChecker::getTestDescription() const
{
    return "Test checks if victims and aggressors in noise rules exist";
}

std::string CNoiseRuleChecker::getTestName() const
{
    return "Victims and aggressors valid";
}

std::string CNoiseRuleChecker::getTestShortName() const
{
    return "NoiseRuleChecker";
}

TestStatus CNoiseRuleChecker::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";

    Lumo::IteratorT<const Lumo::INorvNoiseRule> it;
    Lumo::Result itWalk = m_design->GetIterNoiseRules(it);

    for (; walkOn(it, itWalk); ++it)
    {
        // Failures of these two reads are not reported; the rule's findings then carry the empty
        // index or name, never those of the rule before.
        Lumo::Index ruleIndex;
        Lumo::String ruleName;
        it->GetIndex(ruleIndex);
        it->GetName(ruleName);

        Lumo::ENoiseRuleType type{};
        if (!it->GetType(type))
        {
            raiseError(CDICErrors::T30_ERRTYPEOFNOISERULE, ruleIndex, ruleName);
            continue;
        }
        const int kind = static_cast<int>(type);
        if (kind == 0)
            continue;

        const bool classEnds = kind == 1 || kind == 2 || kind == 3 || kind == 7;
        std::string victim;
        std::string aggressor;
        Lumo::ENoiseRuleType readType{};
        if (classEnds)
        {
            Lumo::ContainerT<const Lumo::INorvConstraintClass> victimClass;
            Lumo::ContainerT<const Lumo::INorvConstraintClass> aggressorClass;
            if (!it->Get(victimClass, aggressorClass, readType))
            {
                raiseError(CDICErrors::T30_ERRNOAGRESSORFORNOISERULE, ruleIndex, ruleName);
                continue;
            }
            victim = (kind == 3 || kind == 7) ? std::string(ALL_CLASSES) : HierarchicalName(victimClass);
            aggressor = (kind == 2 || kind == 7) ? std::string(ALL_CLASSES) : HierarchicalName(aggressorClass);
        }
        else
        {
            Lumo::ContainerT<const Lumo::INorvElectricalNet> victimNet;
            Lumo::ContainerT<const Lumo::INorvElectricalNet> aggressorNet;
            if (!it->Get(victimNet, aggressorNet, readType))
            {
                raiseError(CDICErrors::T30_ERRNOAGRESSORFORNOISERULE, ruleIndex, ruleName);
                continue;
            }
            if (kind == 4 || kind == 5 || kind == 6 || kind == 8)
            {
                victim = (kind == 6 || kind == 8) ? std::string(ALL_NETS) : PlainName(victimNet);
                aggressor = (kind == 5 || kind == 8) ? std::string(ALL_NETS) : PlainName(aggressorNet);
            }
        }

        if (victim.empty())
            raiseError(CDICErrors::T30_ERRNOVICTIMSPECIFIEDFORNOISERULE, ruleIndex, ruleName);
        if (aggressor.empty())
            raiseError(CDICErrors::T30_ERRNOAGRESSORSPECIFIEDFORNOISERULE, ruleIndex, ruleName);
        if (victim.empty() || aggressor.empty())
            continue;

        if (classEnds)
        {
            findConstraintClass(victim, ruleIndex, ruleName, "victim");
            findConstraintClass(aggressor, ruleIndex, ruleName, "aggressor");
        }
        else
        {
            findElectricalNet(victim, ruleIndex, ruleName, "victim");
            findElectricalNet(aggressor, ruleIndex, ruleName, "aggressor");
        }
    }
    if (!itWalk)
        return raiseError(CDICErrors::T30_ERRITERNOUSERULES);

    raiseStatus(OK);
    return m_status;
}

void CNoiseRuleChecker::findElectricalNet(Lumo::String name, Lumo::Index ruleIndex, Lumo::String ruleName,
                                          std::string role)
{
    if (name == ALL_NETS || name == "(None)")
        return;

    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (!m_config->FindElectricalNet(found, name, SearchParams()))
    {
        raiseError(CDICErrors::T30_CANTFINDNETFORNOISERULE, Lumo::Index(), role, ruleIndex, ruleName);
        return;
    }
    if (found.Count() != 1)
        raiseError(CDICErrors::T30_CANTFINDNETFORNOISERULE_2, Lumo::Index(), role, ruleIndex,
                   ruleName, Lumo::Index(), name);
}

void CNoiseRuleChecker::findConstraintClass(Lumo::String name, Lumo::Index ruleIndex, Lumo::String ruleName,
                                            std::string role)
{
    if (name == ALL_CLASSES || name == "(All)" || name == "(None)")
        return;

    const std::string path = name.str();
    const std::string::size_type slash = path.find('/');
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (slash == std::string::npos)
    {
        if (!m_design->FindConstraintClass(found, name, SearchParams()))
            raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_5, Lumo::Index(), role, ruleIndex,
                       ruleName);
        else if (found.Count() != 1)
            raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_6, Lumo::Index(), role, ruleIndex,
                       ruleName, Lumo::Index(), path);
        return;
    }

    if (!m_design->FindConstraintClass(found, Lumo::String(path.substr(0, slash)), SearchParams()))
    {
        raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_2, Lumo::Index(), role, ruleIndex,
                   ruleName);
        return;
    }
    if (found.Count() != 1)
    {
        raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_3, Lumo::Index(), role, ruleIndex,
                   ruleName, Lumo::Index(), path);
        return;
    }
    Lumo::ContainerT<const Lumo::INorvConstraintClass> top;
    if (!m_design->GetConstraintClass((*found.GetIterator()).index, top))
    {
        raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_4, Lumo::Index(), role, ruleIndex,
                   ruleName);
        return;
    }
    findChildConstraintClass(top, path, static_cast<unsigned>(slash + 1), ruleIndex, role);
}

void CNoiseRuleChecker::findChildConstraintClass(Lumo::ContainerT<const Lumo::INorvConstraintClass> parent,
                                                 std::string path, unsigned start, Lumo::Index ruleIndex,
                                                 std::string role)
{
    // One element of the path per step, so that a long path cannot exhaust the stack.
    std::string::size_type from = start;
    for (;;)
    {
        const std::string::size_type slash = path.find('/', from);
        const bool last = slash == std::string::npos;
        const std::string element = path.substr(from, last ? std::string::npos : slash - from);

        Lumo::ContainerT<const Lumo::INorvConstraintClass> child;
        if (!parent->GetChildConstraintClass(Lumo::String(element), child))
        {
            raiseError(CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, Lumo::Index(), role, ruleIndex,
                       "");
            return;
        }
        if (last)
            return;
        parent = child;
        from = slash + 1;
    }
}
