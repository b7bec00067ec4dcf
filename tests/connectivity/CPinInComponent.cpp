#include "tests/connectivity/CPinInComponent.h"

#include "framework/KeySort.h"

#include <algorithm>
#include <utility>

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
            pins.push_back({pin, pinIndex, pins.size()});
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
    // The pins are sorted themselves (not a list of their positions), so that the parent queries
    // read the entries front to back as well.
    StableSortByKey(pins, [](const PinEntry& entry) { return entry.index.GetValue(); });
    std::vector<std::pair<std::size_t, std::size_t>> failed; // (walk position, sorted position)
    for (std::size_t i = 0; i < pins.size(); ++i) {
        Lumo::ContainerT<const Lumo::INorvComp> parent;
        if (!pins[i].pin->GetParentNorvComp(parent) || !parent.IsValid())
            failed.emplace_back(pins[i].walked, i);
    }
    std::sort(failed.begin(), failed.end());

    auto next = failed.begin();
    std::size_t first = 0;
    for (const NetEntry& net : nets) {
        for (; next != failed.end() && next->first < net.end; ++next) {
            const PinEntry& pin = pins[next->second];
            Lumo::String pinName;
            if (!pin.pin->GetName(pinName))
                pinName = "(can't get pin name)";
            raiseError(CDICErrors::T35_ERRPARENTCOMPONENTOFPIN, net.index, net.name.c_str(), pin.index,
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
