#include "tests/connectivity/CPinInComponent.h"

#include "framework/KeySort.h"

CPinInComponent::CPinInComponent()
{
    m_pinTypes.Clear();
    m_pinTypes |= Lumo::NPT_NetPin;
}

CPinInComponent::~CPinInComponent() = default;

std::string CPinInComponent::getTestDescription() const
{
    return "Test checks if pin belonging to net also belongs to component";
}
std::string CPinInComponent::getTestName() const { return "Pin in net and component"; }
std::string CPinInComponent::getTestShortName() const { return "PinInComponent"; }

TestStatus CPinInComponent::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    bool tooFew = false;
    bool noParent = false;

    // The walk reads the nets and their pins in net order. The parent components are asked after
    // it, pin by pin in index order (the order the store keeps pins in, so that it is read front to
    // back instead of at random), and the findings are then raised in walk order.
    std::vector<NetEntry> nets;
    std::vector<PinEntry> pins;
    const auto stop = [&](auto&&... raise) {
        settle(nets, pins, tooFew, noParent);
        return raiseError(raise...);
    };

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        Lumo::String netName;
        Lumo::Index netIndex;
        if (!net->GetName(netName))
            return stop(CDICErrors::T35_ERRNAMEOFPHYSNET);
        if (!net->GetIndex(netIndex))
            return stop(CDICErrors::T35_ERRINDEXOFPHYSNET, netName.c_str());
        nets.push_back({netIndex, netName.str(), pins.size(), false});
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            if (!pin->GetIndex(pinIndex))
                return stop(CDICErrors::T35_ERRINDEXOFPIN, netIndex, netName.c_str());
            pins.push_back({pin, pinIndex, false});
            nets.back().end = pins.size();
        }
        if (!pinWalk)
            return stop(CDICErrors::T35_ERRITEROVERPINSINPHYSNET, netIndex, netName.c_str());
        nets.back().complete = true;
    }
    settle(nets, pins, tooFew, noParent);
    if (!netWalk)
        return raiseError(CDICErrors::T35_ERRITEROVERPHYSNETS);
    if (tooFew)
        raiseError(CDICErrors::T35_SOMENETHASTOOFEWPINS);
    if (noParent)
        raiseError(CDICErrors::T35_SOMEPINSHAVENOPARENTCOMPONENT);

    raiseStatus(OK);
    return m_status;
}

void CPinInComponent::settle(const std::vector<NetEntry>& nets, std::vector<PinEntry>& pins, bool& tooFew,
                             bool& noParent)
{
    struct Order
    {
        std::uint64_t key;
        std::size_t at;
    };
    std::vector<Order> order;
    order.reserve(pins.size());
    for (std::size_t i = 0; i < pins.size(); ++i)
        order.push_back({pins[i].index.GetValue(), i});
    StableSortByKey(order, [](const Order& o) { return o.key; });
    for (const Order& o : order) {
        PinEntry& entry = pins[o.at];
        Lumo::ContainerT<const Lumo::INorvComp> parent;
        entry.noParent = !entry.pin->GetParentNorvComp(parent) || !parent.IsValid();
    }

    std::size_t first = 0;
    for (const NetEntry& net : nets) {
        for (std::size_t i = first; i < net.end; ++i) {
            if (!pins[i].noParent)
                continue;
            Lumo::String pinName;
            if (!pins[i].pin->GetName(pinName))
                pinName = "(can't get pin name)";
            raiseError(CDICErrors::T35_ERRPARENTCOMPONENTOFPIN, net.index, net.name.c_str(), pins[i].index,
                       pinName.c_str());
            noParent = true;
        }
        if (net.complete && net.end - first < 2) {
            raiseError(CDICErrors::T35_NETHASTOOFEWPINS, net.index, net.name.c_str());
            tooFew = true;
        }
        first = net.end;
    }
}
