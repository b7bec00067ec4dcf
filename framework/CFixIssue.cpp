#include "framework/CFixIssue.h"

CFixIssue::CFixIssue(const DICSeverity& sev, unsigned issueCode, unsigned pairCount)
    : count(pairCount), code(issueCode), severity(sev)
{
}

CFixIssue::CFixIssue(const DICSeverity& sev, unsigned issueCode, unsigned pairCount,
                     const Lumo::Index& i1, const std::string& n1)
    : count(pairCount), code(issueCode), index1(i1), name1(n1), severity(sev)
{
}

CFixIssue::CFixIssue(const DICSeverity& sev, unsigned issueCode, unsigned pairCount,
                     const Lumo::Index& i1, const std::string& n1,
                     const Lumo::Index& i2, const std::string& n2)
    : count(pairCount), code(issueCode), index1(i1), index2(i2), name1(n1), name2(n2), severity(sev)
{
}

CFixIssue::CFixIssue(const DICSeverity& sev, unsigned issueCode, unsigned pairCount,
                     const Lumo::Index& i1, const std::string& n1,
                     const Lumo::Index& i2, const std::string& n2,
                     const Lumo::Index& i3, const std::string& n3)
    : count(pairCount), code(issueCode), index1(i1), index2(i2), index3(i3),
      name1(n1), name2(n2), name3(n3), severity(sev)
{
}

CFixIssue::CFixIssue(const DICSeverity& sev, unsigned issueCode, unsigned pairCount,
                     const Lumo::Index& i1, const std::string& n1,
                     const Lumo::Index& i2, const std::string& n2,
                     const Lumo::Index& i3, const std::string& n3,
                     const Lumo::Index& i4, const std::string& n4)
    : count(pairCount), code(issueCode), index1(i1), index2(i2), index3(i3), index4(i4),
      name1(n1), name2(n2), name3(n3), name4(n4), severity(sev)
{
}
