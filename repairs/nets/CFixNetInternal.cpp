#include "repairs/nets/CFixNetInternal.h"

namespace CFixNetInternal
{

const Lumo::String& OrderTypeName()
{
    static const Lumo::String name("ORDER_TYPE");
    return name;
}

const Lumo::String& TopoOrderedName()
{
    static const Lumo::String name("TOPO_ORDERED");
    return name;
}

Lumo::ConstraintData TextValue(const Lumo::String& text)
{
    Lumo::ConstraintData value;
    value.kind = Lumo::CDT_Text;
    value.textValue = text;
    return value;
}

CFixStatus NoDatabase()
{
    return CFixStatus(false, true, "No design database is open");
}

Lumo::Result ReadOrderType(const Lumo::IObjectNorv& object, Lumo::ConstraintData& value, Lumo::String& text)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    Lumo::Result result = object.GetConstraint(constraint, OrderTypeName());
    if (result)
        result = constraint->GetValue(value);
    if (result)
        text = value.GetValueAsString();
    return result;
}

bool LooseMatch(const Lumo::String& value, const char* name)
{
    return value.Compare(Lumo::String(name), Lumo::BitContainerT<Lumo::ESearchParams>(Lumo::SP_0)) == 0;
}

Lumo::Result CountPins(const Lumo::INorvPhysicalNet& net, const Lumo::BitContainerT<Lumo::ENorvPinType>& kinds,
                       int& count)
{
    Lumo::IteratorT<const Lumo::INorvPin> pins;
    Lumo::Result result = net.GetIterPins(pins, kinds);
    return result ? pins.GetCount(count) : result;
}

Lumo::Result CountFromTos(const Lumo::INorvPhysicalNet& net, int& count)
{
    Lumo::IteratorT<const Lumo::INorvFromTo> fromTos;
    Lumo::Result result = net.GetIterFromTos(fromTos);
    return result ? fromTos.GetCount(count) : result;
}

Lumo::BitContainerT<Lumo::ENorvPinType> PinSetKinds()
{
    Lumo::BitContainerT<Lumo::ENorvPinType> kinds(Lumo::NPT_PinSetChained);
    kinds |= Lumo::NPT_PinSetT;
    kinds |= Lumo::NPT_PinSetMst;
    kinds |= Lumo::NPT_PinSetBalanced;
    kinds |= Lumo::NPT_PinSetUnbalanced;
    return kinds;
}

Lumo::BitContainerT<Lumo::ENorvPinType> PinSetAndVirtualPinSetPinKinds()
{
    return PinSetKinds() | Lumo::NPT_VirtualPinSetPin;
}

Lumo::BitContainerT<Lumo::ENorvPinType> PinSetAndVirtualPinKinds()
{
    return PinSetKinds() | Lumo::NPT_VirtualPin;
}

} // namespace CFixNetInternal
