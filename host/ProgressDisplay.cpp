#include "host/ProgressDisplay.h"

namespace KravikHost {

ProgressDisplay::ProgressDisplay(std::ostream& out, bool draw, std::vector<std::string> testNames, unsigned width)
    : m_out(out), m_bDraw(draw), m_testNames(std::move(testNames)), m_width(width < 10 ? 10 : width)
{
}

void ProgressDisplay::OnStartTests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStarted = true;
    m_total = 0;
    m_started = 0;
    m_fixed = 0;
    m_bReachedEnd = false;
    m_bEnded = false;
}

void ProgressDisplay::OnEndTests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bEnded = true;
    ClearLocked();
}

void ProgressDisplay::OnSetTotalSteps(unsigned total)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_total = total;
}

void ProgressDisplay::OnSetCurrentStep(unsigned step)
{
    // The checker reports no step before the first test of a pass, so tests are counted through
    // OnFixState; the step only tells the normal end of the run.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (step == m_total && m_started >= m_total)
        m_bReachedEnd = true;
}

void ProgressDisplay::OnFixState(bool, unsigned fixed)
{
    // Called before every test (and before the stop check), so each call starts the next step.
    const bool stopping = m_beforeTest && m_beforeTest();
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_started;
    m_fixed = fixed;
    if (!stopping)
        Draw();
}

void ProgressDisplay::SetTestNames(std::vector<std::string> testNames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_testNames = std::move(testNames);
}

void ProgressDisplay::SetBeforeTest(std::function<bool()> beforeTest)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_beforeTest = std::move(beforeTest);
}

void ProgressDisplay::ShowText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bDraw)
        DrawLine(text);
}

void ProgressDisplay::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ClearLocked();
}

bool ProgressDisplay::Started() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bStarted;
}

bool ProgressDisplay::Completed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bReachedEnd && m_bEnded;
}

void ProgressDisplay::Draw()
{
    if (!m_bDraw)
        return;
    std::string line = "[" + std::to_string(m_started) + "/" + std::to_string(m_total) + "]";
    if (!m_testNames.empty())
        line += " " + m_testNames[(m_started - 1) % m_testNames.size()];
    if (m_fixed > 0)
        line += " (" + std::to_string(m_fixed) + " fixed)";
    DrawLine(std::move(line));
}

void ProgressDisplay::DrawLine(std::string line)
{
    if (line.size() >= m_width)
        line.resize(m_width - 1); // a wrapped line could not be redrawn in place
    m_out << '\r' << line << "\x1b[K" << std::flush;
    m_bLineShown = true;
}

void ProgressDisplay::ClearLocked()
{
    if (!m_bLineShown)
        return;
    m_out << "\r\x1b[K" << std::flush;
    m_bLineShown = false;
}

} // namespace KravikHost
