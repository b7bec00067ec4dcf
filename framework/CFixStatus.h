// CFixStatus: the outcome of one repair attempt. Every repair method returns one; the repair
// manager stores it in the finding and the log prints it after the finding. A small copyable value.
#pragma once

#include "lumopi/LumoPI.h"

#include <string>
#include <utility>

struct CFixStatus
{
    bool fixed = false;     // the repair succeeded
    bool error = false;     // the repair failed because of an error
    bool postponed = false; // queued for repair after the test instead of repaired now
    std::string message;    // printed with the outcome
    Lumo::Result result;    // the database result that made the repair fail

    CFixStatus() = default;
    explicit CFixStatus(bool isFixed) : fixed(isFixed) {}
    CFixStatus(bool isFixed, bool isError, const char* text)
        : fixed(isFixed), error(isError), message(text ? text : "")
    {
    }
    // A message built from names is kept whole, a NUL in a name included.
    CFixStatus(bool isFixed, bool isError, std::string text)
        : fixed(isFixed), error(isError), message(std::move(text))
    {
    }
    // A failed database call: not fixed, with the error flag and the result kept for the log.
    explicit CFixStatus(Lumo::Result failed) : error(true), result(std::move(failed)) {}

    explicit operator bool() const { return fixed; }
};
