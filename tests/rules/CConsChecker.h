// CConsChecker: checks every constraint of the Norv data against the definitions of the
// constraints file: forbidden constraints, data types, parent indexes, characters and constraints
// the file does not define; also reports parallel rule definitions without sections.
// Owns the definition set of its latest successful run. Runs on the thread of the check.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/ConstraintDefinitions.h"

#include "ordaxcons/OrdaxConstraintDefs.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CConsChecker : public CNorvDetailChecker
{
public:
    CConsChecker();
    ~CConsChecker() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

    // The level under which the definitions describe an object of this type handed in under
    // owner. A type whose owner differs raises its diagnostic and leaves level unchanged; false
    // only for a type that has no entry.
    bool getLevelName(const Lumo::EObjectType& type, const std::string& owner, std::string& level);
    // Validates every constraint of the object against the definitions of its owner and level.
    void validateObjectConstraints(const Lumo::IObjectNorv* object, Lumo::String objectName, const char* owner);

private:
    void checkConnectivity();
    void checkDesign();
    // Reads the object's name (when named) and validates the object.
    template <class T>
    void visit(const Lumo::ContainerT<const T>& object, const char* owner, bool named);
    // The walks below a physical net and an electrical net; false when a walk query failed.
    bool checkPhysicalNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net);
    bool checkElectricalNet(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);
    bool checkParallelRuleDefinitions();
    bool checkSchemes();

    std::unique_ptr<norv_ordaxcons::COrdaxConstraintDefs> m_pConsDefs;  // owned; null until a load succeeds
    consdefs::DefinitionConstraints m_definitionConstraints;
    // Per object type, the owner and level of the object of that type validated last and their
    // definitions in the set `set` (null: none); an entry counts only while its set is the loaded one.
    // What the definitions say about one constraint name under an owner and level.
    struct NameFacts
    {
        bool known = false;  // filled for name
        std::string name;
        bool powerNet = false;  // passed over without a finding
        const norv_ordaxcons::COrdaxConsDef* definition = nullptr;
        bool ownerListed = false;
        bool disabled = false;
        bool definitionFound = false;  // the database's definition constraint was found this run
        std::string invalidChars;
    };
    struct LevelDefs
    {
        const norv_ordaxcons::COrdaxConstraintDefs* set = nullptr;
        std::string owner;
        std::string level;
        norv_ordaxcons::COrdaxConsOwner* ownerDef = nullptr;
        norv_ordaxcons::COrdaxConsOwnerLevel* levelDef = nullptr;
        // By position in an object's constraint list: objects of one type mostly carry the same
        // constraints in the same order, so the facts of the name met last at a position are
        // compared with the name there and reused when equal.
        std::vector<NameFacts> names;
    };
    NameFacts& factsOf(LevelDefs& defs, std::size_t position, const Lumo::String& name);
    std::array<LevelDefs, 256> m_levelDefs;
};
