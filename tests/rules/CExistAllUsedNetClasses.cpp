#include "tests/rules/CExistAllUsedNetClasses.h"

#include "framework/CDICErrors.h"

CExistAllUsedNetClasses::CExistAllUsedNetClasses() = default;

CExistAllUsedNetClasses::~CExistAllUsedNetClasses() = default;

std::string CExistAllUsedNetClasses::getTestDescription() const
{
    return "Test checks if all net classes used by electrical nets and differential pairs exist in the design";
}

std::string CExistAllUsedNetClasses::getTestName() const
{
    return "All used net classes valid";
}

std::string CExistAllUsedNetClasses::getTestShortName() const
{
    return "ExistAllUsedNetClasses";
}

bool CExistAllUsedNetClasses::containsName(const std::string& name) const
{
    return m_existingNames.count(name) != 0;
}

bool CExistAllUsedNetClasses::collectNetClasses()
{
    Lumo::IteratorT<const Lumo::INorvNetClass> it;
    Lumo::Result walk = m_design->GetIterNetClasses(it);
    if (walk && collectChildNetClasses(it, std::string(), walk))
        return true;
    if (!walk)
        raiseError(CDICErrors::T20_ERRITERNETCLASSES);
    return false;
}

bool CExistAllUsedNetClasses::collectChildNetClasses(Lumo::IteratorT<const Lumo::INorvNetClass>& it,
                                                     const std::string& parentPath, Lumo::Result& walk)
{
    static const NorvRules::ClassWalkCodes codes{CDICErrors::T20_ERRNAMEOFNETCLASS,
                                                 CDICErrors::T20_ERRINDEXOFNETCLASS,
                                                 CDICErrors::T20_ERRITERCHILDRENOFNETCLASS, true};
    return NorvRules::CollectClassPaths(*this, it, parentPath, &Lumo::INorvNetClass::GetIterChildNetClasses,
                                        codes, {m_existingClasses, m_existingNames, m_path}, walk);
}

void CExistAllUsedNetClasses::checkElectricalNet(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net)
{
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> it;
    Lumo::Result itWalk = net->GetIterPhysicalNets(it);

    for (; walkOn(it, itWalk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
        {
            raiseError(CDICErrors::T20_ERRINDEXOFPHYSNET);
            return;
        }
        Lumo::ContainerT<const Lumo::INorvNetClass> cls;
        if (!it->GetNetClass(cls))
        {
            raiseError(CDICErrors::T20_ERRPCLASSOFPHYSNET, index);
            continue;
        }
        Lumo::String className;
        if (!cls->GetHierarchicalName(className, '/'))
        {
            raiseError(CDICErrors::T20_ERRPCLASSVALUEOFPHYSNET, index);
            continue;
        }
        if (!containsName(className.str()))
        {
            Lumo::String netName;
            it->GetName(netName);
            raiseError(CDICErrors::T20_CANTFINTNETCLASSOFPHYSNET, Lumo::Index(), className, index,
                       netName);
        }
    }
    if (!itWalk)
    {
        // Not tested: a failed read leaves the empty index, which names no object.
        Lumo::Index netIndex;
        net->GetIndex(netIndex);
        raiseError(CDICErrors::T20_ERRITERPHYSNETSINENET, netIndex, indexToName(netIndex));
        return;
    }
}

void CExistAllUsedNetClasses::checkDiffPair(const Lumo::ContainerT<const Lumo::INorvDiffPair>& pair)
{
    Lumo::Index index;
    if (!pair->GetIndex(index))
    {
        raiseError(CDICErrors::T20_ERRINDEXOFDIFFPAIR);
        return;
    }
    Lumo::String name;
    if (!pair->GetName(name))
    {
        raiseError(CDICErrors::T20_ERRNAMEOFDIFFPAIR, index, "<...>");
        return;
    }

    Lumo::ContainerT<const Lumo::INorvElectricalNet> first;
    if (!pair->GetFirstElecNet(first))
        raiseError(CDICErrors::T20_ERRFIRSTENETOFDIFFPAIR, index, name);
    Lumo::ContainerT<const Lumo::INorvElectricalNet> second;
    if (!pair->GetSecondElecNet(second))
        raiseError(CDICErrors::T20_ERRSECONDENETOFDIFFPAIR, index, name);

    if (first.IsValid())
        checkElectricalNet(first);
    if (second.IsValid())
        checkElectricalNet(second);
}

TestStatus CExistAllUsedNetClasses::runTest(bool /*runArg*/)
{
    m_existingClasses.clear();
    m_existingNames.clear();
    m_path.Clear();
    raiseStatus(TESTING);
    m_statusString = "";

    if (!collectNetClasses())
        return raiseError(CDICErrors::T20_CANTCOLLECTNETCLASSES);

    Lumo::IteratorT<const Lumo::INorvElectricalNet> nets;
    Lumo::Result netsWalk = m_config->GetIterElectricalNets(nets);
    for (; walkOn(nets, netsWalk); ++nets)
        checkElectricalNet(nets);
    if (!netsWalk)
        return raiseError(CDICErrors::T20_ERRITERENETS);

    Lumo::IteratorT<const Lumo::INorvDiffPair> pairs;
    Lumo::Result pairsWalk = m_config->GetIterDiffPairs(pairs);
    for (; walkOn(pairs, pairsWalk); ++pairs)
        checkDiffPair(pairs);
    if (!pairsWalk)
        return raiseError(CDICErrors::T20_ERRITERDIFFPAIRS);

    raiseStatus(OK);
    return m_status;
}
