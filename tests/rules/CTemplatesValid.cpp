#include "tests/rules/CTemplatesValid.h"

#include "tests/rules/RuleWalk.h"

#include <unordered_set>

using Lumo::ContainerT;
using Lumo::Index;
using Lumo::IteratorT;

namespace
{

// The one generic object of a device, when it has exactly one.
bool singleGenObj(IteratorT<const Lumo::INorvGenObj>& objects)
{
    int count = 0;
    return objects.GetCount(count) && count == 1 && objects.IsValid();
}

// Raises code with the template's pair and then the pin's (index, name). When the pin's index or
// name cannot be read, raises that failure instead and returns false.
bool raiseWithPin(CNorvDetailChecker& test, unsigned code, const Index& templIndex, const Lumo::String& templName,
                  const ContainerT<const Lumo::INorvGenObj>& pin)
{
    Index pinIndex;
    if (!pin->GetIndex(pinIndex)) {
        test.raiseError(CDICErrors::T63_ERRINDEXGENCOMPOBJ);
        return false;
    }
    Lumo::String pinName;
    if (!pin->GetName(pinName)) {
        test.raiseError(CDICErrors::T63_ERRNAMEGENCOMPOBJ);
        return false;
    }
    test.raiseError(static_cast<int>(code), templIndex, templName, pinIndex, pinName);
    return true;
}

} // namespace

CTemplatesValid::CTemplatesValid() = default;

CTemplatesValid::~CTemplatesValid() = default;

std::string CTemplatesValid::getTestDescription() const
{
    return "Test checks if constraint template is valid";
}

std::string CTemplatesValid::getTestName() const
{
    return "Valid template";
}

std::string CTemplatesValid::getTestShortName() const
{
    return "ValidTemplates";
}

bool CTemplatesValid::getConstraintValue(const Lumo::IObjectNorv* object, const char* name, std::string& value)
{
    return NorvRules::ReadConstraintText(object, name, value);
}

TestStatus CTemplatesValid::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    IteratorT<const Lumo::INorvGenObjType> type;
    Lumo::Result typeWalk = m_design->GetIterGenObjTypes(type);
    for (; walkOn(type, typeWalk); ++type) {
        Lumo::String name;
        if (!type->GetName(name))
            return raiseError(CDICErrors::T63_ERRNAMEGENOBJTYPE);
        if (name != "TOPOTMPL")
            continue;
        IteratorT<const Lumo::INorvGenCompObj> templ;
        Lumo::Result templWalk = type->GetIterGenCompObjs(templ);
        for (; walkOn(templ, templWalk); ++templ)
            checkTemplate(templ);
        if (!templWalk)
            return raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
    }
    if (!typeWalk)
        return raiseError(CDICErrors::T63_ERRITERGENOBJTYPES);
    raiseStatus(OK);
    return m_status;
}

void CTemplatesValid::checkTemplate(const ContainerT<const Lumo::INorvGenCompObj>& templ)
{
    Lumo::String name;
    if (!templ->GetName(name)) {
        raiseError(CDICErrors::T63_ERRNAMEGENCOMPOBJ);
        return;
    }
    Index index;
    if (!templ->GetIndex(index)) {
        raiseError(CDICErrors::T63_ERRINDEXGENCOMPOBJ);
        return;
    }
    Lumo::String level;
    if (!templ->GetLevel(level)) {
        raiseError(CDICErrors::T63_ERRLEVELGENCOMPOBJ);
        return;
    }

    if (level == "DiffPairTemplate") {
        PathGuard::Scope onPath(m_templatePath, index);
        if (!onPath.Entered())
            return;
        IteratorT<const Lumo::INorvGenCompObj> child;
        Lumo::Result childWalk = templ->GetIterGenCompObjs(child);
        for (; walkOn(child, childWalk); ++child)
            checkTemplate(child);
        if (!childWalk)
            raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
        return;
    }
    if (level == "TopoTemplate")
        checkTopologyTemplate(templ, index, name);
}

void CTemplatesValid::checkTopologyTemplate(const ContainerT<const Lumo::INorvGenCompObj>& templ, const Index& index,
                                            const Lumo::String& name)
{
    // Pin-set devices already reported as holding the wrong number of pins, in this template.
    std::unordered_set<Index> reported;

    IteratorT<const Lumo::INorvGenCompObj> net;
    Lumo::Result netWalk = templ->GetIterGenCompObjs(net);
    for (; walkOn(net, netWalk); ++net) {
        Lumo::String netName;
        if (!net->GetName(netName)) {
            raiseError(CDICErrors::T63_ERRNAMEGENCOMPOBJ);
            return;
        }
        Lumo::String netLevel;
        if (!net->GetLevel(netLevel)) {
            raiseError(CDICErrors::T63_ERRLEVELGENCOMPOBJ);
            return;
        }
        if (netLevel != "Net")
            continue;

        std::string orderType;
        if (!getConstraintValue(&*net, "ORDER_TYPE", orderType))
            raiseError(CDICErrors::T63_MISSINGTOPOORDERTYPE, index, name);
        const bool complex = orderType == "Complex";

        IteratorT<const Lumo::INorvGenCompObj> device;
        Lumo::Result deviceWalk = net->GetIterGenCompObjs(device);
        for (; walkOn(device, deviceWalk); ++device) {
            Index deviceIndex;
            if (!device->GetIndex(deviceIndex)) {
                raiseError(CDICErrors::T63_ERRINDEXGENCOMPOBJ);
                return;
            }
            Lumo::String deviceName;
            if (!device->GetName(deviceName)) {
                raiseError(CDICErrors::T63_ERRNAMEGENCOMPOBJ);
                return;
            }
            Lumo::String deviceLevel;
            if (!device->GetLevel(deviceLevel)) {
                raiseError(CDICErrors::T63_ERRLEVELGENCOMPOBJ);
                return;
            }
            if (deviceLevel != "Device")
                continue;
            std::string deviceKind;
            if (!getConstraintValue(&*device, "TOPO_DEVICE", deviceKind) || deviceKind != "<Pin Set>")
                continue;

            if (!complex) {
                IteratorT<const Lumo::INorvGenObj> pin;
                if (!device->GetIterGenObjs(pin)) {
                    raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
                    return;
                }
                if (singleGenObj(pin)) {
                    std::string pinNet;
                    if (getConstraintValue(&*pin, "TOPO_PIN_NET", pinNet)) {
                        if (pinNet == netName.str())
                            raiseError(CDICErrors::T63_NOTALLOWEDTOPOLOGYOFPINSETTEMPLATE, index, name);
                    } else if (!raiseWithPin(*this, CDICErrors::T63_MISSINGTOPOPINNET, index, name, pin)) {
                        return;
                    }
                }
            }

            IteratorT<const Lumo::INorvGenObj> pin;
            if (!device->GetIterGenObjs(pin)) {
                raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
                return;
            }
            if (singleGenObj(pin)) {
                std::string pinSetType;
                if (!getConstraintValue(&*pin, "TOPO_PINSET_TYPE", pinSetType) &&
                    !raiseWithPin(*this, CDICErrors::T63_MISSINGTOPOPINSETTYPE, index, name, pin))
                    return;
            } else if (reported.insert(deviceIndex).second) {
                raiseError(CDICErrors::T63_INCORRECTPINFORPINSET, index, name, deviceIndex, deviceName);
            }
        }
        if (!deviceWalk) {
            raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
            return;
        }
    }
    if (!netWalk) {
        raiseError(CDICErrors::T63_ERRITERGENCOMPOBJS);
        return;
    }
}
