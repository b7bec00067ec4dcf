// CDefaults: checks that every net, component, part, layer, class and rule carries each constraint
// for which the constraints file gives a default value for its kind of object, and validates the
// constraints of the design object itself against the definitions.
//
// Owns the definition set of its latest successful run. The process-wide map of defaults points
// into that set; it is emptied whenever the set is released (a new run, a failed load, the test's
// destruction), so it never outlives what it points to. Runs on the thread of the check; two runs
// at once in one process are not supported.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include "ordaxcons/OrdaxConstraintDefs.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CDefaults : public CNorvDetailChecker
{
public:
    // Also switches on, process-wide, the texts of database results.
    CDefaults();
    ~CDefaults() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

    // Object type of a definitions (owner, level); 0 when none (1, 2, 3 for three levels no walk reads).
    static int objectTypeFromOwnerLevel(const std::string& owner, const std::string& level);
    // Owner and level of an object type; false outside the table.
    static bool ownerLevelFromObjectType(const int& type, std::string& owner, std::string& level);

    // Definitions with a default value per object type, in recording order; points into the set
    // of the latest successful run.
    static std::map<int, std::vector<norv_ordaxcons::COrdaxConsDef*>> s_mapDefaults;

private:
    struct WalkCodes
    {
        unsigned read;
        unsigned name;     // 0: the name is not read
        unsigned missing;
    };

    void checkConfigurationObjects();
    void checkDesignObjects();
    void checkObjectConstraints(const Lumo::IObjectNorv* object, Lumo::String objectName);
    void buildDefaultsMap();
    // Releases the set and, when it points into it, empties the map of defaults.
    void releaseDefinitions();
    template <class T>
    void checkWalk(const Lumo::Result& queried, Lumo::IteratorT<const T>& objects, int type, const WalkCodes& codes);
    // valid: the object's validity; when it failed, every read of the object fails with it.
    void checkDefaultsPresent(const Lumo::IObjectNorv& object, const std::vector<norv_ordaxcons::COrdaxConsDef*>& definitions,
                              const WalkCodes& codes, const Lumo::Result& valid = Lumo::Result());

    std::unique_ptr<norv_ordaxcons::COrdaxConstraintDefs> m_pConsDefs;  // owned; null before the first run and after a failed load
};
