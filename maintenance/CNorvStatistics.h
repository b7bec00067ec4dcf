// CNorvStatistics: the statistics report of one snapshot. GenerateStats opens the snapshot's Norv
// data, counts the objects, constraints, default-valued constraints and attributes of every kind
// into process-wide counters (reset at the start of each run) and prints the report through the
// checker's log, one emitMessage per label, value and fill character.
//
// It is a checker that never runs in fix mode and is never registered as a test. One statistics
// run at a time in a process: the counters have no lock. Runs on the caller's thread.
#pragma once

#include "framework/CNorvProjectChecker.h"

#include <string>

class CNorvStatistics : public CNorvProjectChecker
{
public:
    // The checker's arguments without the fix-mode switch, which is always off here.
    CNorvStatistics(Lumo::LumoPI* session, std::string topBlock, IKravikLog* log, std::string cnsFile, int logLevel,
                    int useFilter, std::string filterFile, bool runArg, std::string text, bool backEnd);
    CNorvStatistics(const CNorvStatistics& other);
    CNorvStatistics& operator=(const CNorvStatistics&) = delete;
    ~CNorvStatistics() override;

    // Opens, counts and prints. False when the snapshot, its UID manager, the top block's Norv
    // configuration or its design cannot be opened (reported on standard output), a counter
    // meets a null object, or a walk, count, constraint or attribute read of a valid object fails:
    // a report of made-up counts is never printed.
    bool GenerateStats(std::string snapshotName);

protected:
    bool Init(std::string snapshotName);
    // Constraints, attributes (the object's and its constraints') and default-valued constraints
    // of one object; a null object leaves the three untouched.
    void GetObjectInfo(const Lumo::IObjectNorv* object, int& constraints, int& attributes, int& defaults);
    bool CountConnectivity();
    bool CountDesign();
    bool CountCustomObjs(const Lumo::INorvGenCompObj* object);
    bool CountTopoTemplates(const Lumo::INorvGenCompObj* object);
    bool CountSchemaNetClassRules(const Lumo::INorvSchemaNetClassRule* rule);
    bool CountNetClasses(const Lumo::INorvNetClass* netClass);
    bool CountConstraintClasses(const Lumo::INorvConstraintClass* constraintClass);
    bool PrintStats();

private:
    template <class T, class Nested>
    void countKind(Lumo::Result opened, Lumo::IteratorT<const T>& it, int kind, bool set, int info, Nested nested);
    template <class T, class Recurse>
    bool countChildren(Lumo::Result opened, Lumo::IteratorT<const T>& it, int kind, Recurse recurse, bool set = false);
    void addObjectInfo(const Lumo::IObjectNorv* object, int kind, int info);
    // Notes a read that failed through an object that is valid: the counts would be made up, so
    // the counting fails at its end. A call through an object flagged not valid fails as the
    // object's state and counts nothing, as a failed read of its own kind.
    Lumo::Result read(Lumo::Result result);

    Lumo::ContainerT<const Lumo::ISnapshot> m_statSnapshot;
    Lumo::IUIDManager m_statUIDManager;
    Lumo::ContainerT<const Lumo::INorvConfig> m_statConfig;
    Lumo::ContainerT<const Lumo::INorvDesign> m_statDesign;
    bool m_readFailed = false; // a read of this run failed: the counts are incomplete
};
