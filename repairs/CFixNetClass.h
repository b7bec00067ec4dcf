// CFixNetClass: repairs of net classes. Here: bringing the global net classes and the net-class rules
// of the schemes back into correspondence, by moving a class so that the database makes its rules
// again, or by re-creating a class that has no rule. Static repair methods only (see CFixerBase);
// they never log or throw, and set CFixMgr::m_bReloadFlag on success.
#pragma once

#include "repairs/CFixerBase.h"

#include <string>

class CFixNetClass : public CFixerBase
{
public:
    CFixNetClass() = default;
    ~CFixNetClass() = default;

    static CFixStatus RecreateMissingNetClass();
    static CFixStatus RecreateNetClassWithoutRule();

    // text without its trailing run of c.
    static std::string TrimRight(const std::string& text, char c);
    // The part of text after the last c, once the trailing run of c is trimmed: a/b/c and a/b/c/ give c.
    static std::string LastNameComponent(const std::string& text, char c);
};
