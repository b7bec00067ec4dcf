#include "host/HostLog.h"

#include "host/ProgressDisplay.h"

#include <cerrno>

namespace KravikHost {

HostLog::HostLog(FILE* file, bool fixMode) : CTestLog(file, fixMode), m_file(file)
{
}

void HostLog::emitMessage(std::string text)
{
    if (m_pProgress != nullptr)
        m_pProgress->Clear();
    CTestLog::emitMessage(m_bEscapeControls ? EscapeControls(text) : std::move(text));
    // stdio keeps only that a write failed; its reason is in errno just after.
    if (m_writeError == 0 && m_file != nullptr && std::ferror(m_file))
        m_writeError = errno != 0 ? errno : EIO;
}

std::string EscapeControls(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F)
        {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
        else
            out += c;
    }
    return out;
}

} // namespace KravikHost
