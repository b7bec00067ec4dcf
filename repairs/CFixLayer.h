// CFixLayer: repairs of the layer stack-up, of the layer lists of Z-axis clearance rules and the
// re-creation of a net class whose scheme rules lack a layer rule. Static repair methods only (see
// CFixerBase); they run on the checker's thread, never log or throw, and never set the reload flag.
#pragma once

#include "repairs/CFixerBase.h"

class CFixLayer : public CFixerBase
{
public:
    CFixLayer() = default;
    ~CFixLayer() = default;

    // One layer of the list that RenumberLayers sorts.
    struct LayerEntry
    {
        Lumo::ContainerT<const Lumo::INorvLayer> layer;
        int32_t number = -1;
        int32_t newNumber = -1;
    };
    static bool LessByLayerNumber(const LayerEntry& a, const LayerEntry& b);

    static CFixStatus RenumberLayers();
    static CFixStatus MoveDuplicatedLayerNumber();
    static CFixStatus RenameDuplicatedLayer();
    static CFixStatus SetLayerUsage();
    static CFixStatus AddMissingZAxisLayer();
    static CFixStatus RemoveDuplicatedZAxisLayers();

    static CFixStatus RecreateNetClass();

    // The contents of a net class (constraints, attributes, physical nets, child classes and the
    // layer rules and via assigns of its scheme rules) copied or moved from source to target.
    static CFixStatus MoveNetClassContents(const Lumo::ContainerT<const Lumo::INorvNetClass>& source,
                                           const Lumo::MutableContainerT<Lumo::INorvNetClass>& target);
    static CFixStatus CopyLayerRules(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& source,
                                     const Lumo::MutableContainerT<Lumo::INorvSchemaNetClassRule>& target);
    // Copies the constraints of a net class, scheme rule, layer rule or via assign, unless the
    // object belongs to the scheme "(Minimum)".
    static CFixStatus CopyLayerRuleConstraints(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target);

    static CFixStatus CopyConstraintAttributes(const Lumo::INorvConstraint* source, Lumo::INorvConstraint* target);
    static CFixStatus CopySchemaNetClassRuleAttributes(const Lumo::INorvSchemaNetClassRule* source,
                                                       Lumo::INorvSchemaNetClassRule* target);
    static CFixStatus CopyLayerRuleAttributes(const Lumo::INorvLayerRule* source, Lumo::INorvLayerRule* target);
    static CFixStatus CopyViaAssignAttributes(const Lumo::INorvViaAssign* source, Lumo::INorvViaAssign* target);
    static CFixStatus CopyNetClassAttributes(const Lumo::INorvNetClass* source, Lumo::INorvNetClass* target);

private:
    // The Z-axis rule of the finding (name 1 the layer, index 2 the rule); false, with the outcome in
    // status, when the finding names none or the rule cannot be loaded.
    static bool LoadZAxisRule(Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule, CFixStatus& status);
};
