#include "host/HostLog.h"

#include "host/ProgressDisplay.h"
#include "utils/TextUtils.h"

#include <cerrno>

namespace KravikHost {

HostLog::HostLog(FILE* file, bool fixMode) : CTestLog(file, fixMode), m_file(file)
{
}

void HostLog::emitMessage(std::string text)
{
    if (m_pProgress != nullptr)
        m_pProgress->Clear();
    CTestLog::emitMessage(m_bEscapeControls ? LumoUtils::escapeControls(text, "\t\n") : std::move(text));
    // stdio keeps only that a write failed; its reason is in errno just after.
    if (m_writeError == 0 && m_file != nullptr && std::ferror(m_file))
        m_writeError = errno != 0 ? errno : EIO;
}

} // namespace KravikHost
