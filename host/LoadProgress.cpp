#include "host/LoadProgress.h"

#include "host/ProgressDisplay.h"
#include "utils/TextUtils.h"

#include <cstdio>

namespace KravikHost {

namespace {

constexpr std::chrono::milliseconds kTick(250);
constexpr std::chrono::milliseconds kLeastBetweenDraws(100);

} // namespace

LoadProgressLine::LoadProgressLine(ProgressDisplay& display, const std::string& path, bool draw)
    : m_display(display), m_path(LumoUtils::escapeControls(path)), m_bStopped(!draw)
{
    if (draw)
        m_ticker = std::thread(&LoadProgressLine::Tick, this);
}

LoadProgressLine::~LoadProgressLine()
{
    Stop();
}

Lumo::StandIn::LoadProgressHook LoadProgressLine::Hook()
{
    if (!m_ticker.joinable())
        return nullptr;
    return [this](const Lumo::StandIn::LoadProgress& load) { OnProgress(load); };
}

void LoadProgressLine::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopped = true;
    }
    m_wake.notify_all();
    if (m_ticker.joinable())
        m_ticker.join();
}

void LoadProgressLine::OnProgress(const Lumo::StandIn::LoadProgress& load)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    char size[32];
    std::snprintf(size, sizeof size, "%.1f MB", static_cast<double>(load.fileBytes) / 1e6);
    m_size = size;
    if (load.phase == Lumo::StandIn::LoadProgress::Reading)
        m_state = std::to_string(load.done) + " objects read";
    else
        m_state = std::to_string(load.total == 0 ? 100 : load.done * 100 / load.total) + "% of "
            + std::to_string(load.total) + " objects set up";
    // The first and the last report of a phase always show; the many between at a readable pace.
    if (load.done == 0 || load.done == load.total || Clock::now() - m_lastDraw >= kLeastBetweenDraws)
        DrawLocked();
}

void LoadProgressLine::DrawLocked()
{
    m_lastDraw = Clock::now();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s",
                  std::chrono::duration<double>(m_lastDraw - m_start).count());
    m_display.ShowText("Loading " + m_path + " (" + m_size + ", " + elapsed + "): " + m_state);
}

void LoadProgressLine::Tick()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, kTick, [this] { return m_bStopped; }))
        if (!m_state.empty())
            DrawLocked();
}

} // namespace KravikHost
