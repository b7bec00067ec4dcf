// A named time counter of the log. A plain copyable value; nothing in the checker fills its
// counters yet, so its total reads as a placeholder text.
#pragma once

#include <string>

class CTimeCounter
{
public:
    explicit CTimeCounter(std::string description);

    std::string getDescription() const;
    std::string getTotalStr() const;

private:
    std::string m_description;
    // Part of the record's layout for callers that copy it; nothing reads them yet.
    [[maybe_unused]] int m_start = 0;
    [[maybe_unused]] int m_total = 0;
};
