// One full walk of a loaded design through the product-facing interface: every
// object reached through its owner's lists, with its index, its name and its
// constraints (name and value) read, and for pins their net and design pin.
// This is the baseline that check runs are compared with. Header-only, shared by
// the store benchmark and the generator's smoke test.
#pragma once

#include "lumopi/LumoPI.h"

#include <cstdint>

namespace kravik_bench {

struct WalkCounts
{
    uint64_t objects = 0;       // objects visited (each once), constraint records excluded
    uint64_t ownConstraints = 0;
    uint64_t inherited = 0;     // session definitions yielded through "inherits"
    uint64_t references = 0;    // single references read successfully
    uint64_t memberships = 0;   // entries of membership lists walked (net pins, page-net pins)
    uint64_t failures = 0;      // failed reads (a broken design has some)
    uint64_t nameBytes = 0;     // keeps the reads from being optimised away
};

class StoreWalk
{
public:
    WalkCounts Run(const Lumo::LumoPI& session, const char* snapshot, const char* topBlock)
    {
        m = WalkCounts();
        Lumo::ContainerT<const Lumo::ISnapshot> snap;
        if (!session.GetSnapshotByName(snap, snapshot)) {
            ++m.failures;
            return m;
        }
        Visit(*snap);
        Lumo::ContainerT<const Lumo::IConfig> schematic;
        if (snap->GetDefaultConfig(schematic, topBlock))
            WalkSchematic(*schematic);
        Lumo::ContainerT<const Lumo::INorvConfig> config;
        if (!snap->GetNorvConfig(config, topBlock)) {
            ++m.failures;
            return m;
        }
        Visit(*config);
        Lumo::ContainerT<const Lumo::INorvDesign> design;
        if (config->GetNorvDesign(design))
            WalkDesign(*design);
        WalkConnectivity(*config);
        return m;
    }

private:
    bool Ok(const Lumo::Result& r)
    {
        if (!r)
            ++m.failures;
        return static_cast<bool>(r);
    }

    void Visit(const Lumo::IObject& o)
    {
        Lumo::Index index;
        Lumo::String name;
        if (!o.GetIndex(index) || !o.GetName(name))
            ++m.failures;
        m.nameBytes += name.Length() + (index.GetValue() & 1);
        ++m.objects;
    }

    void VisitNorv(const Lumo::IObjectNorv& o)
    {
        Visit(o);
        Lumo::IteratorT<const Lumo::INorvConstraint> it;
        if (!o.GetIterConstraints(it)) {
            ++m.failures;
            return;
        }
        for (; it.IsValid(); ++it) {
            Lumo::Index index;
            Lumo::String name;
            Lumo::ConstraintData value;
            if (!it->GetIndex(index) || !it->GetName(name) || !it->GetValue(value))
                ++m.failures;
            m.nameBytes += name.Length();
            if (index.GetType() == Lumo::OT_NorvConstraintDef)
                ++m.inherited;
            else
                ++m.ownConstraints;
        }
    }

    template <class C>
    void ReadRef(const Lumo::Result& r, const C& c)
    {
        if (r && c.IsValid())
            ++m.references;
        else
            ++m.failures;
    }

    void WalkSchematic(const Lumo::IConfig& config)
    {
        Visit(config);
        Lumo::IteratorT<const Lumo::IComp> comp;
        if (config.GetIterComps(comp)) {
            for (; comp.IsValid(); ++comp) {
                Visit(*comp);
                Lumo::IteratorT<const Lumo::IPin> pin;
                if (!comp->GetIterPins(pin))
                    ++m.failures;
                for (; pin.IsValid(); ++pin) {
                    Visit(*pin);
                    Lumo::String number;
                    if (!pin->GetAttribute("Pin Number", number, Lumo::AT_3))
                        ++m.failures;
                    m.nameBytes += number.Length();
                }
            }
        }
        Lumo::IteratorT<const Lumo::IFlatNet> flat;
        if (config.GetIterFlatNets(flat)) {
            for (; flat.IsValid(); ++flat) {
                Visit(*flat);
                Lumo::IteratorT<const Lumo::INet> page;
                if (!flat->GetIterNetsConnected(page))
                    ++m.failures;
                for (; page.IsValid(); ++page) {
                    Visit(*page);
                    Lumo::ContainerT<const Lumo::IPath> path;
                    if (page->GetPath(path))
                        Visit(*path);
                    Lumo::IteratorT<const Lumo::IPin> pin;
                    if (page->GetIterPinsConnected(pin)) {
                        for (; pin.IsValid(); ++pin)
                            ++m.memberships;
                    }
                }
            }
        }
    }

    void WalkNetClasses(Lumo::IteratorT<const Lumo::INorvNetClass>& it)
    {
        for (; it.IsValid(); ++it) {
            VisitNorv(*it);
            Lumo::IteratorT<const Lumo::INorvNetClass> child;
            if (it->GetIterChildNetClasses(child))
                WalkNetClasses(child);
        }
    }

    void WalkConstraintClasses(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it)
    {
        for (; it.IsValid(); ++it) {
            VisitNorv(*it);
            Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
            ReadRef(it->GetNetClass(netClass), netClass);
            Lumo::IteratorT<const Lumo::INorvConstraintClass> child;
            if (it->GetIterChildConstraintClasses(child))
                WalkConstraintClasses(child);
        }
    }

    void WalkSchemaRules(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& it)
    {
        for (; it.IsValid(); ++it) {
            VisitNorv(*it);
            Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
            ReadRef(it->GetParentNetClass(netClass), netClass);
            WalkFlat<Lumo::INorvLayerRule>(*it, &Lumo::INorvSchemaNetClassRule::GetIterLayerRules);
            WalkFlat<Lumo::INorvViaAssign>(*it, &Lumo::INorvSchemaNetClassRule::GetIterViaAssigns);
            Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> child;
            if (it->GetIterSchemeNetClassRuleChild(child))
                WalkSchemaRules(child);
        }
    }

    void WalkGenCompObjs(Lumo::IteratorT<const Lumo::INorvGenCompObj>& it)
    {
        for (; it.IsValid(); ++it) {
            VisitNorv(*it);
            WalkFlat<Lumo::INorvGenObj>(*it, &Lumo::INorvGenCompObj::GetIterGenObjs);
            Lumo::IteratorT<const Lumo::INorvGenCompObj> child;
            if (it->GetIterGenCompObjs(child))
                WalkGenCompObjs(child);
        }
    }

    // Walks a plain list of the owner whose elements own nothing.
    template <class I, class Owner, class Getter>
    void WalkFlat(const Owner& owner, Getter get)
    {
        Lumo::IteratorT<const I> it;
        if ((owner.*get)(it)) {
            for (; it.IsValid(); ++it)
                VisitNorv(*it);
        }
    }

    void WalkDesign(const Lumo::INorvDesign& design)
    {
        VisitNorv(design);
        WalkFlat<Lumo::INorvLayer>(design, &Lumo::INorvDesign::GetIterLayers);
        Lumo::IteratorT<const Lumo::INorvNetClass> netClasses;
        if (design.GetIterNetClasses(netClasses))
            WalkNetClasses(netClasses);
        Lumo::IteratorT<const Lumo::INorvConstraintClass> constraintClasses;
        if (design.GetIterConstraintClasses(constraintClasses))
            WalkConstraintClasses(constraintClasses);
        WalkFlat<Lumo::INorvClearRule>(design, &Lumo::INorvDesign::GetIterClearRules);
        Lumo::IteratorT<const Lumo::INorvScheme> scheme;
        if (design.GetIterSchemes(scheme)) {
            for (; scheme.IsValid(); ++scheme) {
                VisitNorv(*scheme);
                Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> rules;
                if (scheme->GetIterSchemaNetClassRules(rules))
                    WalkSchemaRules(rules);
                Lumo::IteratorT<const Lumo::INorvSchemaClearRule> clear;
                if (scheme->GetIterSchemaClearRules(clear)) {
                    for (; clear.IsValid(); ++clear) {
                        VisitNorv(*clear);
                        Lumo::ContainerT<const Lumo::INorvClearRule> parent;
                        ReadRef(clear->GetParentClearRule(parent), parent);
                        WalkFlat<Lumo::INorvLayerClearRule>(*clear,
                                                            &Lumo::INorvSchemaClearRule::GetIterLayerClearRules);
                    }
                }
            }
        }
        WalkFlat<Lumo::INorvViaSpan>(design, &Lumo::INorvDesign::GetIterViaSpans);
        WalkFlat<Lumo::INorvVia>(design, &Lumo::INorvDesign::GetIterVia);
        WalkFlat<Lumo::INorvPartTech>(design, &Lumo::INorvDesign::GetIterPartTechs);
        WalkFlat<Lumo::INorvConstVar>(design, &Lumo::INorvDesign::GetIterConstVars);
        WalkFlat<Lumo::INorvC2CClearRule>(design, &Lumo::INorvDesign::GetIterC2CClearRules);
        WalkFlat<Lumo::INorvPkgTypeClearRule>(design, &Lumo::INorvDesign::GetIterPkgTypeClearRules);
        WalkFlat<Lumo::INorvP2PClearRule>(design, &Lumo::INorvDesign::GetIterP2PClearRules);
        WalkFlat<Lumo::INorvNoiseRule>(design, &Lumo::INorvDesign::GetIterNoiseRules);
        Lumo::IteratorT<const Lumo::INorvParRuleDef> parRule;
        if (design.GetIterParRuleDefs(parRule)) {
            for (; parRule.IsValid(); ++parRule) {
                VisitNorv(*parRule);
                WalkFlat<Lumo::INorvParRuleSection>(*parRule, &Lumo::INorvParRuleDef::GetIterParRuleSections);
            }
        }
        Lumo::IteratorT<const Lumo::INorvZAxisClearRule> zaxis;
        if (design.GetIterZAxisClearRules(zaxis)) {
            for (; zaxis.IsValid(); ++zaxis) {
                VisitNorv(*zaxis);
                WalkFlat<Lumo::INorvZAxisLayerRule>(*zaxis, &Lumo::INorvZAxisClearRule::GetIterZAxisLayerRules);
            }
        }
        Lumo::IteratorT<const Lumo::INorvGenObjType> genType;
        if (design.GetIterGenObjTypes(genType)) {
            for (; genType.IsValid(); ++genType) {
                VisitNorv(*genType);
                Lumo::IteratorT<const Lumo::INorvGenCompObj> comp;
                if (genType->GetIterGenCompObjs(comp))
                    WalkGenCompObjs(comp);
            }
        }
        Lumo::ContainerT<const Lumo::INorvGenClear> genClear;
        if (design.GetNorvGenClear(genClear))
            VisitNorv(*genClear);
    }

    void WalkConnectivity(const Lumo::INorvConfig& config)
    {
        Lumo::BitContainerT<Lumo::ENorvPinType> allPins;
        for (int k = Lumo::NPT_NetPin; k <= Lumo::NPT_VirtualPinSetPin; ++k)
            allPins |= static_cast<Lumo::ENorvPinType>(k);
        Lumo::BitContainerT<Lumo::EPinPairType> allPairs;
        allPairs |= Lumo::PPT_Ordinary;
        allPairs |= Lumo::PPT_Connection;

        Lumo::IteratorT<const Lumo::INorvElectricalNet> enet;
        if (Ok(config.GetIterElectricalNets(enet))) {
            for (; enet.IsValid(); ++enet) {
                VisitNorv(*enet);
                Lumo::ContainerT<const Lumo::INorvConstraintClass> cc;
                ReadRef(enet->GetConstraintClass(cc), cc);
                Lumo::IteratorT<const Lumo::INorvPhysicalNet> member;
                if (enet->GetIterPhysicalNets(member)) {
                    for (; member.IsValid(); ++member)
                        ++m.memberships;
                }
                Lumo::IteratorT<const Lumo::INorvPinPair> pair;
                if (enet->GetIterPinPairs(pair, allPairs)) {
                    for (; pair.IsValid(); ++pair)
                        VisitNorv(*pair);
                }
            }
        }
        Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
        if (Ok(config.GetIterPhysicalNets(net))) {
            for (; net.IsValid(); ++net) {
                VisitNorv(*net);
                Lumo::ContainerT<const Lumo::INorvElectricalNet> parent;
                ReadRef(net->GetParentElectricalNet(parent), parent);
                Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
                ReadRef(net->GetNetClass(netClass), netClass);
                Lumo::IteratorT<const Lumo::INorvPin> pin;
                if (net->GetIterPins(pin, allPins)) {
                    for (; pin.IsValid(); ++pin)
                        ++m.memberships;
                }
                WalkFlat<Lumo::INorvFromTo>(*net, &Lumo::INorvPhysicalNet::GetIterFromTos);
            }
        }
        Lumo::IteratorT<const Lumo::INorvDiffPair> diffPair;
        if (Ok(config.GetIterDiffPairs(diffPair))) {
            for (; diffPair.IsValid(); ++diffPair) {
                VisitNorv(*diffPair);
                Lumo::ContainerT<const Lumo::INorvElectricalNet> first, second;
                ReadRef(diffPair->GetFirstElecNet(first), first);
                ReadRef(diffPair->GetSecondElecNet(second), second);
            }
        }
        Lumo::IteratorT<const Lumo::INorvComp> comp;
        if (Ok(config.GetIterNorvComps(comp))) {
            for (; comp.IsValid(); ++comp) {
                VisitNorv(*comp);
                Lumo::ContainerT<const Lumo::INorvPart> part;
                ReadRef(comp->GetParentPart(part), part);
                Lumo::IteratorT<const Lumo::INorvPin> pin;
                if (comp->GetIterPins(pin, allPins)) {
                    for (; pin.IsValid(); ++pin) {
                        VisitNorv(*pin);
                        Lumo::ContainerT<const Lumo::INorvPhysicalNet> pinNet;
                        ReadRef(pin->GetParentPhysicalNet(pinNet), pinNet);
                        Lumo::ContainerT<const Lumo::IPin> designPin;
                        ReadRef(pin->GetPin(designPin), designPin);
                    }
                }
            }
        }
        Lumo::IteratorT<const Lumo::INorvPart> part;
        if (Ok(config.GetIterParts(part))) {
            for (; part.IsValid(); ++part) {
                VisitNorv(*part);
                WalkFlat<Lumo::INorvPartPin>(*part, &Lumo::INorvPart::GetIterPartPins);
                WalkFlat<Lumo::INorvPartPinPair>(*part, &Lumo::INorvPart::GetIterPartPinPairs);
            }
        }
    }

    WalkCounts m;
};

} // namespace kravik_bench
