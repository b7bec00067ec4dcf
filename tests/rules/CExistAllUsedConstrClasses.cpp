#include "tests/rules/CExistAllUsedConstrClasses.h"

#include "framework/CDICErrors.h"

CExistAllUsedConstrClasses::CExistAllUsedConstrClasses() = default;

CExistAllUsedConstrClasses::~CExistAllUsedConstrClasses() = default;

std::string CExistAllUsedConstrClasses::getTestDescription() const
{
    return "Test checks if all constraint classes used by electrical nets and differential pairs exist in the design";
}

std::string CExistAllUsedConstrClasses::getTestName() const
{
    return "All used constraint classes valid";
}

std::string CExistAllUsedConstrClasses::getTestShortName() const
{
    return "ExistAllUsedConsClasses";
}

bool CExistAllUsedConstrClasses::containsName(const std::string& name) const
{
    return m_existingNames.count(name) != 0;
}

bool CExistAllUsedConstrClasses::collectConstraintClasses()
{
    Lumo::IteratorT<const Lumo::INorvConstraintClass> it;
    Lumo::Result walk = m_design->GetIterConstraintClasses(it);
    if (walk && collectChildConstraintClasses(it, std::string(), walk))
        return true;
    if (!walk)
        raiseError(CDICErrors::T19_ERRITERCHILDRENOFCC);
    return false;
}

bool CExistAllUsedConstrClasses::collectChildConstraintClasses(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it,
                                                               const std::string& parentPath, Lumo::Result& walk)
{
    static const NorvRules::ClassWalkCodes codes{CDICErrors::T19_ERRNAMEOFCONSTRAINTCLASS,
                                                 CDICErrors::T19_ERRINDEXOFCONSTRAINTCLASS,
                                                 CDICErrors::T19_ERRITEROFCHILDRENOFCONSTRAINTCLASS_2, false};
    return NorvRules::CollectClassPaths(*this, it, parentPath, &Lumo::INorvConstraintClass::GetIterChildConstraintClasses,
                                        codes, {m_existingClasses, m_existingNames, m_path}, walk);
}

TestStatus CExistAllUsedConstrClasses::runTest(bool /*runArg*/)
{
    m_existingClasses.clear();
    m_existingNames.clear();
    m_path.Clear();
    raiseStatus(TESTING);
    m_statusString = "";

    if (!collectConstraintClasses())
        return raiseError(CDICErrors::T19_CANTCOLLECTCONSTRAINTCLASSES);

    Lumo::IteratorT<const Lumo::INorvElectricalNet> nets;
    Lumo::Result netsWalk = m_config->GetIterElectricalNets(nets);
    for (; walkOn(nets, netsWalk); ++nets)
    {
        Lumo::Index netIndex;
        if (!nets->GetIndex(netIndex))
            return raiseError(CDICErrors::T19_ERRINDEXOFENET);
        Lumo::ContainerT<const Lumo::INorvConstraintClass> cls;
        if (!nets->GetConstraintClass(cls))
        {
            raiseError(CDICErrors::T19_ERRCONSTRAINTCLASSOFENET, netIndex);
            continue;
        }
        Lumo::String name;
        if (!cls->GetHierarchicalName(name, '/'))
        {
            raiseError(CDICErrors::T19_ERRVALUEOFCONSTRAINTCLASSOFENET, netIndex);
            continue;
        }
        if (!containsName(name.str()))
            raiseError(CDICErrors::T19_CANTFINDCONSTRAINTCLASSOFENET, netIndex);
    }
    if (!netsWalk)
        return raiseError(CDICErrors::T19_ERRITEROFENETS);

    // The differential pairs are not visited; only their iterator has to be readable.
    Lumo::IteratorT<const Lumo::INorvDiffPair> pairs;
    if (!m_config->GetIterDiffPairs(pairs))
        return raiseError(CDICErrors::T19_ERRITEROFDIFFPAIRS);

    raiseStatus(OK);
    return m_status;
}
