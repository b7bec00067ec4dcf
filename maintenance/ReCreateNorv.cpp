// Re-creating the Norv data of a snapshot from its schematic: the top block's configuration is
// removed and initialised again, then every flat net gets a physical net and an electrical net over
// it, and every forwarded logical component with forwarded pins gets a Norv component bound to
// those pins. A failure stops the run and undoes nothing, and a walk of the schematic that breaks
// off fails as one that cannot be started; the locks it holds are released, the objects just
// created first and the configuration last.
#include "framework/CNorvProjectChecker.h"
#include "framework/IKravikLog.h"
#include "framework/ReadThrough.h"

using Lumo::ContainerT;
using Lumo::IteratorT;
using Lumo::LockerT;
using Lumo::MutableContainerT;

namespace
{

// The type words of the schematic side: only forwarded components and pins are rebuilt.
const uint32_t kForwardedComponent = 0x800; // component type 11
const uint32_t kForwardedPin = 0x100000;    // pin type 20

} // namespace

bool CNorvProjectChecker::ReCreate_NorvLUMO(std::string snapshotName)
{
    if (!Format_NorvLUMO(snapshotName))
        return false;
    if (!Init_NorvLUMO(snapshotName))
        return false;
    m_pLog->emitMessage("Recreating electrical nets...\n");

    ContainerT<const Lumo::ISnapshot> snapshot;
    if (!m_pSession->GetSnapshotByName(snapshot, Lumo::String(m_strSnapshotName)) || !snapshot.IsValid())
        return false;
    ContainerT<const Lumo::INorvConfig> config;
    if (!snapshot->GetNorvConfig(config, m_strTopBlock)) {
        m_pLog->emitMessage("ERROR: Cannot get NORV config\n");
        return false;
    }
    MutableContainerT<Lumo::INorvConfig> lockedConfig;
    if (!LockerT<Lumo::INorvConfig>::Lock(config, lockedConfig)) {
        m_pLog->emitMessage("ERROR: Cannot lock NORV config\n");
        return false;
    }
    auto fail = [&](const char* message) {
        LockerT<Lumo::INorvConfig>::UnLock(lockedConfig);
        m_pLog->emitMessage(message);
        return false;
    };

    // The data was removed above: a walk that breaks off is a failure, not a shorter schematic.
    IteratorT<const Lumo::IFlatNet> flatNet;
    Lumo::Result flatNets = config->GetIterFlatNets(flatNet);
    Lumo::String name;
    for (; walkOn(flatNet, flatNets); ++flatNet) {
        if (!flatNet->GetName(name))
            continue;
        MutableContainerT<Lumo::INorvPhysicalNet> physicalNet;
        if (!lockedConfig->AddPhysicalNet(physicalNet, name, *flatNet))
            return fail("Cannot add physical net\n");
        MutableContainerT<Lumo::INorvElectricalNet> electricalNet;
        if (!lockedConfig->AddElectricalNet(electricalNet, physicalNet)) {
            LockerT<Lumo::INorvPhysicalNet>::UnLock(physicalNet);
            return fail("Cannot add electrical net\n");
        }
        LockerT<Lumo::INorvPhysicalNet>::UnLock(physicalNet);
        LockerT<Lumo::INorvElectricalNet>::UnLock(electricalNet);
    }
    if (!flatNets)
        return fail("Cannot get flatnets\n");

    m_pLog->emitMessage("Recreating connectivity...\n");
    IteratorT<const Lumo::IComp> comp;
    Lumo::Result comps = config->GetIterComps(comp);
    for (; walkOn(comp, comps); ++comp) {
        Lumo::BitContainerT<Lumo::ECompType> compType;
        if (!comp->GetType(compType))
            return fail("Cannot get type of logical components\n");
        if ((compType.GetWord() & kForwardedComponent) == 0)
            continue;
        IteratorT<const Lumo::IPin> pin;
        Lumo::Result pins = comp->GetIterPins(pin);

        const Lumo::ListT<ContainerT<const Lumo::INorvPin>> norvPins; // none: pins are bound by number
        Lumo::ListT<ContainerT<const Lumo::IPin>> designPins;
        for (; walkOn(pin, pins); ++pin) {
            Lumo::BitContainerT<Lumo::EPinType> pinType;
            if (pin->GetType(pinType) && (pinType.GetWord() & kForwardedPin) != 0)
                designPins.Add(pin);
        }
        if (!pins)
            return fail("Cannot get pins of logical components\n");
        if (designPins.Count() == 0)
            continue;

        MutableContainerT<Lumo::INorvComp> norvComp;
        if (!lockedConfig->AddNorvComp(norvComp, ContainerT<const Lumo::INorvPart>(), ""))
            return fail("Cannot add NORV component\n");
        const ContainerT<const Lumo::IComp> logicComp = comp;
        MutableContainerT<Lumo::IComp> lockedComp;
        if (!LockerT<Lumo::IComp>::Lock(logicComp, lockedComp)) {
            LockerT<Lumo::INorvComp>::UnLock(norvComp);
            return fail("Cannot lock logical component\n");
        }
        if (!norvComp->AddLogicComp(*lockedComp, norvPins, designPins)) {
            LockerT<Lumo::IComp>::UnLock(lockedComp);
            LockerT<Lumo::INorvComp>::UnLock(norvComp);
            return fail("Cannot connect pins to NORV component\n");
        }
        LockerT<Lumo::IComp>::UnLock(lockedComp);
        LockerT<Lumo::INorvComp>::UnLock(norvComp);
    }
    if (!comps)
        return fail("Cannot get logical components\n");

    LockerT<Lumo::INorvConfig>::UnLock(lockedConfig);
    return true;
}
