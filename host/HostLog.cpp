#include "host/HostLog.h"

#include "host/ProgressDisplay.h"
#include "utils/TextUtils.h"

namespace KravikHost {

HostLog::HostLog(FILE* file, bool fixMode) : CTestLog(file, fixMode)
{
}

void HostLog::emitMessage(std::string text)
{
    if (m_pProgress != nullptr)
        m_pProgress->Clear();
    CTestLog::emitMessage(m_bEscapeControls ? LumoUtils::escapeControls(text, "\t\n") : std::move(text));
}

} // namespace KravikHost
