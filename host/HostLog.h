// The check log of the kravik host: the library's CTestLog on standard output or the --log file.
// When the log shares the terminal with the progress line, every write first erases that line, so
// that log lines never run into it. Names and paths reach the log with their control characters
// already written as \xHH; on a terminal, every other control character but tab and line end
// (database texts) is escaped too, so that nothing in a log line can drive the terminal.
#pragma once

#include "framework/CTestLog.h"

#include <cstdio>
#include <string>

namespace KravikHost {

class ProgressDisplay;

class HostLog : public CTestLog
{
public:
    // In fix mode coded lines stay open for the repair outcome that completes them.
    HostLog(FILE* file, bool fixMode);

    // The progress line to erase before each write; null: none. Not owned.
    void SetProgress(ProgressDisplay* progress) { m_pProgress = progress; }
    // Whether to write control characters other than tab and line end as \xHH.
    void SetEscapeControls(bool escape) { m_bEscapeControls = escape; }

    void emitMessage(std::string text) override;

    // The errno of the first write that failed; 0 while none has.
    int WriteError() const { return m_writeError; }

private:
    FILE* m_file;
    ProgressDisplay* m_pProgress = nullptr;
    bool m_bEscapeControls = false;
    int m_writeError = 0;
};

} // namespace KravikHost
