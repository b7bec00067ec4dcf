#include "framework/CTestLog.h"

#include "framework/CNorvDetailChecker.h"
#include "framework/ReadThrough.h"
#include "utils/TextUtils.h"

#include <cinttypes>
#include <cstdint>

namespace
{

// Replaces the first occurrence of a two-character marker; a missing marker is skipped. Control
// characters of the value (a name from the design) are escaped so that it cannot start a line.
void replaceFirst(std::string& text, const char* marker, const std::string& value)
{
    const std::string::size_type at = text.find(marker);
    if (at == std::string::npos)
        return;
    if (LumoUtils::hasControlChars(value))
        text.replace(at, 2, LumoUtils::escapeControls(value));
    else
        text.replace(at, 2, value);
}

// A text the log writes inside one line, with its control characters escaped.
std::string oneLine(const std::string& text)
{
    return LumoUtils::escapeControls(text);
}

std::string testName(const CNorvDetailChecker* test)
{
    return test ? test->getTestName() : std::string();
}

} // namespace

CTestLog::CTestLog(FILE* stream, bool openLines) : file(stream), noNewline(openLines)
{
}

void CTestLog::setLogLevel(int level)
{
    logLevel = level;
}

int CTestLog::getLogLevel()
{
    return logLevel;
}

void CTestLog::onTestStart(const std::string& name, const std::string& /*description*/)
{
    emitMessage("Test: " + name + "\n");
}

void CTestLog::onTestEnd(const std::string& /*name*/, TestStatus status, long seconds)
{
    switch (status) {
    case NOT_TESTED: emitMessage("Result: NOT TESTED (test broken?)\n"); break;
    case TESTING: emitMessage("Result: TESTING (test broken?)\n"); break;
    case OK: emitMessage("Result: OK\n"); break;
    case WARNINGS: emitMessage("Result: WARNINGS\n"); break;
    case FAILED: emitMessage("Result: FAILED\n"); break;
    default: emitMessage("Result: UNKNOWN STATUS (test broken?)\n"); break;
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "Time: %ld seconds\n", seconds);
    emitMessage(buffer);
    logSpace();
    emitMessage(std::string(99, '-') + "\n");
}

void CTestLog::onPassStart(unsigned pass)
{
    if (inTextMode)
        emitMessage("----- Pass #" + std::to_string(pass) + "\n");
}

void CTestLog::emitMessage(std::string text)
{
    if (file)
        std::fwrite(text.data(), 1, text.size(), file);
}

void CTestLog::plainLine(const char* word, const CNorvDetailChecker* test, const std::string& text)
{
    emitMessage(word + testName(test) + "\t" + oneLine(text) + "\n");
}

void CTestLog::logError(const CNorvDetailChecker* test, std::string text)
{
    plainLine("ERROR: ", test, text);
}

void CTestLog::logWarning(const CNorvDetailChecker* test, std::string text)
{
    if (logLevel > 0)
        plainLine("WARNING: ", test, text);
}

void CTestLog::logInfo(const CNorvDetailChecker* test, std::string text)
{
    if (logLevel > 1)
        plainLine("INFO: ", test, text);
}

void CTestLog::internalLogError(const CNorvDetailChecker*, std::string text, unsigned code, bool endLine)
{
    emitMessage("ERROR " + std::to_string(code) + ": " + text + (endLine ? "\n" : ""));
}

void CTestLog::internalLogWarning(const CNorvDetailChecker*, std::string text, unsigned code, bool endLine)
{
    emitMessage("WARNING " + std::to_string(code) + ": " + text + (endLine ? "\n" : ""));
}

void CTestLog::internalLogInfo(const CNorvDetailChecker*, std::string text, unsigned code, bool endLine)
{
    emitMessage("INFO " + std::to_string(code) + ": " + text + (endLine ? "\n" : ""));
}

void CTestLog::internalLogMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                              unsigned code, const Pair* pairs, unsigned count, bool endLine)
{
    for (unsigned k = 0; k < count; ++k) {
        replaceFirst(text, "%N", *pairs[k].name);
        std::string indexText;
        addIndexToString(*pairs[k].index, indexText);
        replaceFirst(text, "%I", indexText);
    }
    for (unsigned k = 0; k < count; ++k)
        replaceFirst(text, "%C", *pairs[k].name);

    if (severity == DIC_ERROR)
        internalLogError(test, text, code, endLine);
    else if (severity == DIC_WARNING)
        internalLogWarning(test, text, code, endLine);
    else
        internalLogInfo(test, text, code, endLine);
}

void CTestLog::logCoded(DICSeverity severity, const CNorvDetailChecker* test, int code, const Pair* pairs,
                        unsigned count)
{
    if (!checkLogging(severity, code))
        return;
    const char* text = retrieveMessage(code);
    internalLogMsg(severity, test, text ? text : "", static_cast<unsigned>(code), pairs, count, !noNewline);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                      std::string name3, const Lumo::Index& index3, std::string name4, const Lumo::Index& index4)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}, {&name3, &index3}, {&name4, &index4}};
    logCoded(severity, test, code, pairs, 4);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                      std::string name3, const Lumo::Index& index3)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}, {&name3, &index3}};
    logCoded(severity, test, code, pairs, 3);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}};
    logCoded(severity, test, code, pairs, 2);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code,
                      std::string name1, const Lumo::Index& index1)
{
    const Pair pairs[] = {{&name1, &index1}};
    logCoded(severity, test, code, pairs, 1);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, int code)
{
    logCoded(severity, test, code, nullptr, 0);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                      std::string name3, const Lumo::Index& index3, std::string name4, const Lumo::Index& index4)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}, {&name3, &index3}, {&name4, &index4}};
    internalLogMsg(severity, test, std::move(text), 0, pairs, 4, true);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2,
                      std::string name3, const Lumo::Index& index3)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}, {&name3, &index3}};
    internalLogMsg(severity, test, std::move(text), 0, pairs, 3, true);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                      std::string name1, const Lumo::Index& index1, std::string name2, const Lumo::Index& index2)
{
    const Pair pairs[] = {{&name1, &index1}, {&name2, &index2}};
    internalLogMsg(severity, test, std::move(text), 0, pairs, 2, true);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text,
                      std::string name1, const Lumo::Index& index1)
{
    const Pair pairs[] = {{&name1, &index1}};
    internalLogMsg(severity, test, std::move(text), 0, pairs, 1, true);
}

void CTestLog::logMsg(DICSeverity severity, const CNorvDetailChecker* test, std::string text)
{
    if (severity == DIC_ERROR)
        logError(test, std::move(text));
    else if (severity == DIC_WARNING)
        logWarning(test, std::move(text));
    else
        logInfo(test, std::move(text));
}

void CTestLog::logFixStatus(CFixStatus& status)
{
    std::string text;
    if (status.fixed) {
        text = " - Fixed.";
    } else {
        text = " - Not Fixed.";
        if (status.error) {
            if (!status.message.empty())
                text += " Error: " + oneLine(status.message) + ".";
            if (!status.result)
                text += " Database error: " + oneLine(failureText(status.result).str()) + ".";
        }
    }
    emitMessage(text + "\n");
}

bool CTestLog::checkLogging(DICSeverity /*severity*/, int code)
{
    return CDICErrors::GetOutLogging(static_cast<unsigned>(code)) != 0;
}

const char* CTestLog::retrieveMessage(int code)
{
    return inTextMode ? CDICErrors::GetInText(static_cast<unsigned>(code))
                      : CDICErrors::GetOutText(static_cast<unsigned>(code));
}

void CTestLog::logSpace()
{
    emitMessage("\n");
}

void CTestLog::indexToString(Lumo::Index index, std::string& out)
{
    out.clear();
    addIndexToString(index, out);
}

void CTestLog::addIndexToString(Lumo::Index index, std::string& out)
{
    const uint64_t value = index.GetValue();
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%d", static_cast<int>(static_cast<int32_t>(value & 0xFFFFFFFFu)),
                  static_cast<int>((value >> 32) & 0xFFFFFFu), static_cast<int>(value >> 56));
    out += buffer;
}
