// The host's observer of a check run. It keeps track of how far the run got (so the host can tell a
// completed run from one that stopped or threw) and, when drawing is on, keeps one line on its
// stream up to date: "[12/53] <test name>". The observer calls may come from the worker thread
// while the host's log writes from the same thread; Clear and the calls are serialised.
#pragma once

#include "framework/IProjectCheckerObserver.h"

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace KravikHost {

class ProgressDisplay : public IProjectCheckerObserver
{
public:
    // testNames: the names of the registered tests by run number; width: the terminal's columns.
    ProgressDisplay(std::ostream& out, bool draw, std::vector<std::string> testNames, unsigned width = 80);

    void OnStartTests() override;
    void OnEndTests() override;
    void OnSetTotalSteps(unsigned total) override;
    void OnSetCurrentStep(unsigned step) override;
    void OnFixState(bool reload, unsigned fixed) override;

    // The test names, when they are known only after the display was made (it shows the load first).
    void SetTestNames(std::vector<std::string> testNames);
    // Called before each test, ahead of the checker's own stop check: the place to ask it to stop.
    // It returns true when it did; that test is then not shown, as it will not run.
    void SetBeforeTest(std::function<bool()> beforeTest);
    // Draws the text as the line (when drawing is on), e.g. how far the design has loaded.
    void ShowText(const std::string& text);

    // Erases the progress line, so that other output starts on a clean line; the next test
    // draws it again.
    void Clear();

    // The run began: OnStartTests was heard (a fix-mode run that cannot lock the data never begins).
    bool Started() const;
    // The run reached its normal end: the last step was reported before OnEndTests.
    bool Completed() const;

private:
    void Draw();
    void DrawLine(std::string line);
    void ClearLocked();

    mutable std::mutex m_mutex;
    std::ostream& m_out;
    const bool m_bDraw;
    std::vector<std::string> m_testNames;
    std::function<bool()> m_beforeTest;
    const unsigned m_width;

    bool m_bStarted = false;
    unsigned m_total = 0;
    unsigned m_started = 0;      // tests started so far in the run
    unsigned m_fixed = 0;
    bool m_bReachedEnd = false;  // the final step was reported
    bool m_bEnded = false;       // OnEndTests was heard
    bool m_bLineShown = false;
};

} // namespace KravikHost
