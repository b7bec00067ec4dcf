#include "quilflow/QuilFlowID.h"
#include "quilflow/QuilFlowIDStandIn.h"

#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>

namespace {

// Every text ever handed out is kept until the process ends, so that a reader on
// another thread that still holds an older pointer never reads freed memory. Only
// tests and the host replace the text, a handful of times per run.
struct FlowIdState
{
    std::mutex mutex;
    std::deque<std::string> texts;
    const char* current = nullptr;
    bool built = false;
};

// Function-local so that the state exists before any caller's static initialisers run.
FlowIdState& State()
{
    static FlowIdState state;
    return state;
}

std::string TextFromEnvironment()
{
    std::string text;
    if (const char* flow = std::getenv("KRAVIK_FLOW_ID"))
        text += std::string("Flow Id: ") + flow + "\r\n";
    if (const char* install = std::getenv("KRAVIK_INSTALL_ID"))
        text += std::string("KVT Install Id: ") + install + "\r\n";
    return text;
}

// Caller holds the mutex.
void Publish(FlowIdState& state, const char* text)
{
    if (text) {
        state.texts.emplace_back(text);
        state.current = state.texts.back().c_str();
    } else {
        state.current = nullptr;
    }
    state.built = true;
}

} // namespace

extern "C" const char* QuilFlowID(void)
{
    FlowIdState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.built)
        Publish(state, TextFromEnvironment().c_str());
    return state.current;
}

extern "C" void QuilFlowIDStandIn_SetText(const char* text)
{
    FlowIdState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    Publish(state, text);
}

extern "C" void QuilFlowIDStandIn_Reset(void)
{
    FlowIdState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    Publish(state, TextFromEnvironment().c_str());
}
