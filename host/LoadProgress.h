// The progress line while a design loads: how far the load has come and how long it has taken. A
// ticker redraws it a few times a second, so that the time runs on while the loader is busy with a
// step that reports nothing (a large design takes seconds).
#pragma once

#include "lumopi/StandIn.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace KravikHost {

class ProgressDisplay;

class LoadProgressLine
{
public:
    // Draws nothing when `draw` is false; then Hook() is empty.
    LoadProgressLine(ProgressDisplay& display, const std::string& path, bool draw);
    ~LoadProgressLine(); // Stop()
    LoadProgressLine(const LoadProgressLine&) = delete;
    LoadProgressLine& operator=(const LoadProgressLine&) = delete;

    // What to hand to the loader.
    Lumo::StandIn::LoadProgressHook Hook();
    // Ends the ticker; the line stays until the display clears it.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;

    void OnProgress(const Lumo::StandIn::LoadProgress& load);
    void DrawLocked();
    void Tick();

    ProgressDisplay& m_display;
    const std::string m_path;
    const Clock::time_point m_start = Clock::now();
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStopped = false;
    std::string m_size;  // "113.3 MB"
    std::string m_state; // "1234 objects read"
    Clock::time_point m_lastDraw;
    std::thread m_ticker;
};

} // namespace KravikHost
