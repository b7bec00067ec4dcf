#include "tests/connectivity/ConnectivityHelpers.h"

#include <cctype>

namespace connectivity
{

const char* const ORDER_TYPE = "ORDER_TYPE";
const char* const TOPO_ORDERED = "TOPO_ORDERED";
const char* const ANALOG = "ANALOG";
const char* const TOPOLOGY_CUSTOM = "Custom";
const char* const TOPOLOGY_COMPLEX = "Complex";

bool isImplicitNetName(const char* name)
{
    static const char prefix[] = "(net0)-";
    for (std::size_t i = 0; i + 1 < sizeof(prefix); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '\0' || std::tolower(c) != prefix[i])
            return false;
    }
    return true;
}

std::string toUpperText(const std::string& text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool readConstraintText(const Lumo::IObjectNorv& object, const char* name, std::string& out)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    if (!object.GetConstraint(constraint, name))
        return false;
    Lumo::String text;
    Lumo::EConstraintType type;
    if (!constraint->GetValueByString(text, type))
        return false;
    out = text.str();
    return true;
}

NetPinIndexes readNetPinIndexes(const Lumo::INorvPhysicalNet& net, const Lumo::BitContainerT<Lumo::ENorvPinType>& kinds)
{
    NetPinIndexes read;
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    Lumo::Result pinWalk = net.GetIterPins(pin, kinds);
    for (; walkOn(pin, pinWalk); ++pin) {
        Lumo::Index index;
        if (!pin->GetIndex(index)) {
            read.indexFailed = true;
            break;
        }
        read.pins.insert(index);
    }
    if (!pinWalk) {
        read.iteratorFailed = true;
        return read;
    }
    return read;
}

bool hierarchyHasForwardPcbComp(const Lumo::IUIDManager& uidManager, const Lumo::ListT<Lumo::Index>& hierarchy,
                                Lumo::Index skip)
{
    for (auto it = hierarchy.GetIterator(); it.IsValid(); ++it) {
        if (it->GetType() != Lumo::OT_Comp || *it == skip)
            continue;
        Lumo::ContainerT<const Lumo::IComp> comp;
        if (!uidManager.GetComp(comp, *it))
            continue;
        Lumo::BitContainerT<Lumo::ECompType> types;
        readThrough(comp, [&] { return comp->GetType(types); });
        if (types.Contains(Lumo::CT_ForwardPCB))
            return true;
    }
    return false;
}

} // namespace connectivity
