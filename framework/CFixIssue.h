// CFixIssue: one stored finding: a diagnostic code, up to four (object index, name) pairs in the
// order the test raised them, the repair outcome, the severity and the pass in which it was
// queued. A copyable value; pairs fill the slots from the first, and slots beyond the pair count
// hold the empty index and the empty name.
#pragma once

#include "framework/CDICErrors.h"
#include "framework/CFixStatus.h"

#include "lumopi/LumoPI.h"

#include <string>

class CFixIssue
{
public:
    CFixIssue(const DICSeverity& severity, unsigned code, unsigned count);
    CFixIssue(const DICSeverity& severity, unsigned code, unsigned count,
              const Lumo::Index& index1, const std::string& name1);
    CFixIssue(const DICSeverity& severity, unsigned code, unsigned count,
              const Lumo::Index& index1, const std::string& name1,
              const Lumo::Index& index2, const std::string& name2);
    CFixIssue(const DICSeverity& severity, unsigned code, unsigned count,
              const Lumo::Index& index1, const std::string& name1,
              const Lumo::Index& index2, const std::string& name2,
              const Lumo::Index& index3, const std::string& name3);
    CFixIssue(const DICSeverity& severity, unsigned code, unsigned count,
              const Lumo::Index& index1, const std::string& name1,
              const Lumo::Index& index2, const std::string& name2,
              const Lumo::Index& index3, const std::string& name3,
              const Lumo::Index& index4, const std::string& name4);

    unsigned GetCount() const { return count; }
    unsigned GetCode() const { return code; }
    Lumo::Index GetIndex1() const { return index1; }
    Lumo::Index GetIndex2() const { return index2; }
    Lumo::Index GetIndex3() const { return index3; }
    Lumo::Index GetIndex4() const { return index4; }
    std::string GetName1() const { return name1; }
    std::string GetName2() const { return name2; }
    std::string GetName3() const { return name3; }
    std::string GetName4() const { return name4; }
    CFixStatus GetFixStatus() const { return status; }
    DICSeverity GetSeverity() const { return severity; }
    unsigned GetPass() const { return pass; }

    void SetFixStatus(const CFixStatus& fixStatus) { status = fixStatus; }
    void SetPass(unsigned passNumber) { pass = passNumber; }

private:
    unsigned count;
    unsigned code;
    Lumo::Index index1, index2, index3, index4;
    std::string name1, name2, name3, name4;
    CFixStatus status;
    DICSeverity severity;
    unsigned pass = 0;
};
