// IKravikLog: the one interface through which every line of the check log passes. The host may
// give the checker its own implementation; CTestLog is the library's. A log is used by one check
// run at a time, on the thread that runs the check; the checker does not own a log the host gave.
//
// A coded message takes its text from the error catalogue and fills the placeholders "%N" (name)
// and "%I" (index) with the (name, index) pairs in order, then "%C" with the names again.
#pragma once

#include "framework/CDICErrors.h"
#include "framework/CFixStatus.h"
#include "framework/TestStatus.h"

#include "lumopi/LumoPI.h"

#include <string>

class CNorvDetailChecker;

class IKravikLog
{
public:
    IKravikLog() = default;
    IKravikLog(const IKravikLog&) = default;
    IKravikLog& operator=(const IKravikLog&) = default;
    virtual ~IKravikLog() = default;

    virtual void setLogLevel(int level) = 0;
    virtual int getLogLevel() = 0;

    virtual void onTestStart(const std::string& name, const std::string& description) = 0;
    virtual void onTestEnd(const std::string& name, TestStatus status, long seconds) = 0;
    virtual void onPassStart(unsigned pass) { (void)pass; }
    virtual void onPassEnd(unsigned pass) { (void)pass; }

    // Writes the text unchanged: no line end is added.
    virtual void emitMessage(std::string text) = 0;

    // Plain lines: word, test name, tab, text.
    virtual void logError(const CNorvDetailChecker* test, std::string text) = 0;
    virtual void logWarning(const CNorvDetailChecker* test, std::string text) = 0;
    virtual void logInfo(const CNorvDetailChecker* test, std::string text) = 0;

    // Coded lines: the catalogue text of the code with its placeholders filled.
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2,
                        std::string name3, const Lumo::Index& index3,
                        std::string name4, const Lumo::Index& index4) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2,
                        std::string name3, const Lumo::Index& index3) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                        std::string name1, const Lumo::Index& index1) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code) = 0;

    // Given-text lines: the caller's text with its placeholders filled, written as code 0.
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2,
                        std::string name3, const Lumo::Index& index3,
                        std::string name4, const Lumo::Index& index4) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2,
                        std::string name3, const Lumo::Index& index3) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                        std::string name1, const Lumo::Index& index1,
                        std::string name2, const Lumo::Index& index2) = 0;
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                        std::string name1, const Lumo::Index& index1) = 0;
    // Text only: a plain error, warning or info line by severity.
    virtual void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text) = 0;

    // The outcome of a repair, written right after its finding; always ends the line.
    virtual void logFixStatus(CFixStatus& status) = 0;

    // Whether a code is reported at all.
    virtual bool checkLogging(DICSeverity severity, int code) = 0;
    // The catalogue text of a code (null for a code without a record).
    virtual const char* retrieveMessage(int code) = 0;

    virtual void logSpace() = 0;
    // The "%d-%d-%d" text of an index: assigned to, or appended to, out.
    virtual void indexToString(Lumo::Index index, std::string& out) = 0;
    virtual void addIndexToString(Lumo::Index index, std::string& out) = 0;
};
