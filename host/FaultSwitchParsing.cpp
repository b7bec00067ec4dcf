#include "host/FaultSwitches.h"

#include "lumopi/StandIn.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace KravikHost {

namespace {

// A whole decimal number in [low, high]; false for anything else (sign, blanks, overflow).
bool ParseNumber(const std::string& text, long long low, long long high, long long& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

// A fault on an operation the design database does not have would never fire.
std::string CheckOperation(const std::string& operation)
{
    return Lumo::StandIn::IsOperationName(operation) ? "" : "unknown operation \"" + operation + "\"";
}

} // namespace

std::string ParseIndexText(const std::string& text, uint64_t& out)
{
    const size_t first = text.find('-', 1); // the low word may be negative
    const size_t second = first == std::string::npos ? first : text.find('-', first + 1);
    long long low = 0, middle = 0, type = 0;
    if (second == std::string::npos
        || !ParseNumber(text.substr(0, first), INT32_MIN, UINT32_MAX, low)
        || !ParseNumber(text.substr(first + 1, second - first - 1), 0, 0xFFFFFF, middle)
        || !ParseNumber(text.substr(second + 1), 0, 0xFF, type))
        return "not an object index of the form 5-0-49: " + text;
    out = (static_cast<uint64_t>(type) << 56) | (static_cast<uint64_t>(middle) << 32)
        | static_cast<uint32_t>(low);
    return "";
}

std::string ParseFailNext(const std::string& text, FailNextSwitch& out)
{
    const size_t equals = text.rfind('=');
    long long count = 0;
    if (equals == std::string::npos || equals == 0
        || !ParseNumber(text.substr(equals + 1), 1, INT_MAX, count))
        return "expected OP=N with N a positive number: " + text;
    out.operation = text.substr(0, equals);
    out.count = static_cast<int>(count);
    return CheckOperation(out.operation);
}

std::string ParseFailOn(const std::string& text, FailOnSwitch& out)
{
    const size_t first = text.find(':');
    if (first == std::string::npos)
        return "expected INDEX:OP[:COUNT]: " + text;
    const std::string error = ParseIndexText(text.substr(0, first), out.index);
    if (!error.empty())
        return error;

    const size_t second = text.find(':', first + 1);
    out.operation = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (out.operation.empty())
        return "expected INDEX:OP[:COUNT]: " + text;
    const std::string unknown = CheckOperation(out.operation);
    if (!unknown.empty())
        return unknown;
    out.count = -1;
    if (second != std::string::npos)
    {
        long long count = 0;
        if (!ParseNumber(text.substr(second + 1), 1, INT_MAX, count))
            return "COUNT must be a positive number: " + text;
        out.count = static_cast<int>(count);
    }
    return "";
}

} // namespace KravikHost
