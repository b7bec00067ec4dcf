// CTestLog: the library's log, writing every line to a C stream. The stream is not owned: the log
// never closes or flushes it. A log without a stream (null) discards everything it is given.
// Not locked: one check run writes through a log at a time.
#pragma once

#include "framework/IKravikLog.h"

#include <cstdio>
#include <string>

class CTestLog : public IKravikLog
{
public:
    // noNewline: coded lines are left open so that the repair outcome that follows
    // (logFixStatus) completes them. Plain lines always end the line.
    CTestLog(FILE* file, bool noNewline);
    CTestLog(const CTestLog&) = default;
    CTestLog& operator=(const CTestLog&) = default;
    ~CTestLog() override = default;

    void setLogLevel(int level) override;
    int getLogLevel() override;

    void onTestStart(const std::string& name, const std::string& description) override;
    void onTestEnd(const std::string& name, TestStatus status, long seconds) override;
    void onPassStart(unsigned pass) override;

    void emitMessage(std::string text) override;

    void logError(const CNorvDetailChecker* test, std::string text) override;
    void logWarning(const CNorvDetailChecker* test, std::string text) override;
    void logInfo(const CNorvDetailChecker* test, std::string text) override;

    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                std::string name3, const Lumo::Index& index3, std::string name4,
                const Lumo::Index& index4) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                std::string name3, const Lumo::Index& index3) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                std::string name1, const Lumo::Index& index1, std::string name2,
                const Lumo::Index& index2) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                std::string name1, const Lumo::Index& index1) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code) override;

    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                std::string name3, const Lumo::Index& index3, std::string name4,
                const Lumo::Index& index4) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                std::string name3, const Lumo::Index& index3) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                std::string name1, const Lumo::Index& index1, std::string name2,
                const Lumo::Index& index2) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                std::string name1, const Lumo::Index& index1) override;
    void logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text) override;

    void logFixStatus(CFixStatus& status) override;

    bool checkLogging(DICSeverity severity, int code) override;
    const char* retrieveMessage(int code) override;

    void logSpace() override;
    void indexToString(Lumo::Index index, std::string& out) override;
    void addIndexToString(Lumo::Index index, std::string& out) override;

private:
    struct Pair
    {
        const std::string* name;
        const Lumo::Index* index;
    };

    void internalLogError(const CNorvDetailChecker* test, std::string text, unsigned code, bool endLine);
    void internalLogWarning(const CNorvDetailChecker* test, std::string text, unsigned code, bool endLine);
    void internalLogInfo(const CNorvDetailChecker* test, std::string text, unsigned code, bool endLine);
    // Fills the placeholders of text with the pairs, then writes the line under the severity's word.
    void internalLogMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                        unsigned code, const Pair* pairs, unsigned count, bool endLine);
    void logCoded(DICSeverity severity, const CNorvDetailChecker* test, int code, const Pair* pairs,
                  unsigned count);
    void plainLine(const char* word, const CNorvDetailChecker* test, const std::string& text);

    int logLevel = 0;
    FILE* file;
    bool inTextMode = true;
    bool noNewline;
};
