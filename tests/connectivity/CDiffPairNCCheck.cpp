#include "tests/connectivity/CDiffPairNCCheck.h"

#include "framework/CNorvProjectChecker.h"

#include <algorithm>

CDiffPairNCCheck::CDiffPairNCCheck() = default;
CDiffPairNCCheck::~CDiffPairNCCheck() = default;

std::string CDiffPairNCCheck::getTestDescription() const
{
    return CNorvProjectChecker::IsFlowTamsa()
               ? "Test checks if physical nets belonging to differential pair have the same net class"
               : "Test checks if electrical nets belonging to differential pair have the same net class";
}

std::string CDiffPairNCCheck::getTestName() const
{
    return CNorvProjectChecker::IsFlowTamsa()
               ? "Physical nets belonging to differential pair assigned to the same net class"
               : "Electrical nets belonging to differential pair assigned to the same net class";
}

std::string CDiffPairNCCheck::getTestShortName() const { return "NetClassesInElecNetsBelongToDP"; }

TestStatus CDiffPairNCCheck::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvDiffPair> pair;
    Lumo::Result pairWalk = m_config->GetIterDiffPairs(pair);

    for (; walkOn(pair, pairWalk); ++pair) {
        Lumo::Index index;
        if (!pair->GetIndex(index)) {
            raiseError(CDICErrors::T13_ERRINDEXOFDIFFPAIR);
            continue;
        }
        Lumo::String name;
        if (!pair->GetName(name)) {
            raiseError(CDICErrors::T13_ERRNAMEOFDIFFPAIR, index);
            continue;
        }
        Lumo::ContainerT<const Lumo::INorvElectricalNet> first, second;
        if (!pair->GetFirstElecNet(first)) {
            raiseError(CDICErrors::T13_ERRFIRSTENETOFDIFFPAIR, index, name);
            continue;
        }
        if (!pair->GetSecondElecNet(second)) {
            raiseError(CDICErrors::T13_ERRSECONDENETOFDIFFPAIR, index, name);
            continue;
        }
        std::vector<std::string> firstClasses, secondClasses;
        collectNetClassNames(first, firstClasses);
        collectNetClassNames(second, secondClasses);
        if (firstClasses != secondClasses)
            raiseError(CDICErrors::T13_NETCLASSESOFENETSOFDIFFPAIRDIFFERENT, index, name);
    }
    if (!pairWalk)
        return raiseError(CDICErrors::T13_ERRITEROFDIFFPAIRS);

    raiseStatus(OK);
    return m_status;
}

void CDiffPairNCCheck::collectNetClassNames(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                            std::vector<std::string>& names)
{
    Lumo::Index index;
    if (!readThrough(net, [&] { return net->GetIndex(index); })) {
        raiseError(CDICErrors::T13_ERRINDEXOFENET);
        return;
    }
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
    Lumo::Result physNetWalk = net->GetIterPhysicalNets(physNet);
    for (; walkOn(physNet, physNetWalk); ++physNet) {
        Lumo::Index physIndex;
        if (!physNet->GetIndex(physIndex)) {
            raiseError(CDICErrors::T13_ERRINDEXOFPNET);
            return;
        }
        Lumo::String physName;
        if (!physNet->GetName(physName)) {
            raiseError(CDICErrors::T13_ERRNAMEOFPNET, physIndex);
            return;
        }
        Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
        if (!physNet->GetNetClass(netClass)) {
            raiseError(CDICErrors::T13_CANTGETPCLASSFROMPNET, physIndex, physName);
            return;
        }
        Lumo::String className;
        if (!readThrough(netClass, [&] { return netClass->GetHierarchicalName(className, '/'); })) {
            raiseError(CDICErrors::T13_CANTGETVALUEOFPCLASSFROMPNET, physIndex, physName);
            return;
        }
        const std::string text = className.str();
        const auto at = std::lower_bound(names.begin(), names.end(), text);
        if (at == names.end() || *at != text)
            names.insert(at, text);
    }
    if (!physNetWalk) {
        raiseError(CDICErrors::T13_ERRITEROVERPNETS);
        return;
    }
}
